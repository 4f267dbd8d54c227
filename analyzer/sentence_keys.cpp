#include "analyzer/sentence_keys.h"

#include <string>

#include "base/text.h"

namespace quillon::analyzer {
namespace {

constexpr uint8_t S = kShiftBit;

// Two-set layout keys (HID usages) of the Johab initial consonants 2..20:
// ㄱ ㄲ ㄴ ㄷ ㄸ ㄹ ㅁ ㅂ ㅃ ㅅ ㅆ ㅇ ㅈ ㅉ ㅊ ㅋ ㅌ ㅍ ㅎ.
constexpr uint8_t kInitialKeys[21] = {
    0,        0,        0x15 /*r*/, 0x15 | S, 0x16 /*s*/, 0x08 /*e*/, 0x08 | S,   0x09 /*f*/, 0x04 /*a*/, 0x14 /*q*/,
    0x14 | S, 0x17 /*t*/, 0x17 | S, 0x07 /*d*/, 0x1A /*w*/, 0x1A | S, 0x06 /*c*/, 0x1D /*z*/, 0x1B /*x*/,
    0x19 /*v*/, 0x0A /*g*/,
};

// Vowel keys.
constexpr uint8_t kA = 0x0E /*ㅏ k*/, kAe = 0x12 /*ㅐ o*/, kYa = 0x0C /*ㅑ i*/, kYae = 0x12 | S, kEo = 0x0D /*ㅓ j*/,
                  kE = 0x13 /*ㅔ p*/, kYeo = 0x18 /*ㅕ u*/, kYe = 0x13 | S, kO = 0x0B /*ㅗ h*/, kYo = 0x1C /*ㅛ y*/,
                  kU = 0x11 /*ㅜ n*/, kYu = 0x05 /*ㅠ b*/, kEu = 0x10 /*ㅡ m*/, kI = 0x0F /*ㅣ l*/;

struct Keys {
    uint8_t first = 0;
    uint8_t second = 0;
};

// Johab medial codes 3..29 (gaps are unused codes).
Keys medialKeys(int code) {
    switch (code) {
    case 3: return {kA};
    case 4: return {kAe};
    case 5: return {kYa};
    case 6: return {kYae};
    case 7: return {kEo};
    case 10: return {kE};
    case 11: return {kYeo};
    case 12: return {kYe};
    case 13: return {kO};
    case 14: return {kO, kA};  // ㅘ
    case 15: return {kO, kAe}; // ㅙ
    case 18: return {kO, kI};  // ㅚ
    case 19: return {kYo};
    case 20: return {kU};
    case 21: return {kU, kEo}; // ㅝ
    case 22: return {kU, kE};  // ㅞ
    case 23: return {kU, kI};  // ㅟ
    case 26: return {kYu};
    case 27: return {kEu};
    case 28: return {kEu, kI}; // ㅢ
    case 29: return {kI};
    default: return {};
    }
}

// Johab final codes 2..29.
Keys finalKeys(int code) {
    const uint8_t g = 0x15, n = 0x16, d = 0x08, r = 0x09, m = 0x04, b = 0x14, s = 0x17, ng = 0x07, j = 0x1A, ch = 0x06,
                  k = 0x1D, t = 0x1B, p = 0x19, h = 0x0A;
    switch (code) {
    case 2: return {g};
    case 3: return {static_cast<uint8_t>(g | S)}; // ㄲ
    case 4: return {g, s};                        // ㄳ
    case 5: return {n};
    case 6: return {n, j}; // ㄵ
    case 7: return {n, h}; // ㄶ
    case 8: return {d};
    case 9: return {r};
    case 10: return {r, g}; // ㄺ
    case 11: return {r, m}; // ㄻ
    case 12: return {r, b}; // ㄼ
    case 13: return {r, s}; // ㄽ
    case 14: return {r, t}; // ㄾ
    case 15: return {r, p}; // ㄿ
    case 16: return {r, h}; // ㅀ
    case 17: return {m};
    case 19: return {b};
    case 20: return {b, s}; // ㅄ
    case 21: return {s};
    case 22: return {static_cast<uint8_t>(s | S)}; // ㅆ
    case 23: return {ng};
    case 24: return {j};
    case 25: return {ch};
    case 26: return {k};
    case 27: return {t};
    case 28: return {p};
    case 29: return {h};
    default: return {};
    }
}

void push(std::vector<uint8_t>& out, Keys keys) {
    if (keys.first) {
        out.push_back(keys.first);
    }
    if (keys.second) {
        out.push_back(keys.second);
    }
}

bool isAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

} // namespace

uint8_t usLayoutKey(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<uint8_t>(0x04 + (c - 'a'));
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<uint8_t>(0x84 + (c - 'A'));
    }
    if (c >= '1' && c <= '9') {
        return static_cast<uint8_t>(0x1E + (c - '1'));
    }
    switch (c) {
    case ' ': return 0x2C;
    case '!': return 0x9E;
    case '"': return 0xB4;
    case '#': return 0xA0;
    case '$': return 0xA1;
    case '%': return 0xA2;
    case '&': return 0xA4;
    case '\'': return 0x34;
    case '(': return 0xA6;
    case ')': return 0xA7;
    case '*': return 0xA5;
    case '+': return 0xAE;
    case ',': return 0x36;
    case '-': return 0x2D;
    case '.': return 0x37;
    case '/': return 0x38;
    case '0': return 0x27;
    case ':': return 0xB3;
    case ';': return 0x33;
    case '<': return 0xB6;
    case '=': return 0x2E;
    case '>': return 0xB7;
    case '?': return 0xB8;
    case '@': return 0x9F;
    case '[': return 0x2F;
    case '\\': return 0x31;
    case ']': return 0x30;
    case '^': return 0xA3;
    case '_': return 0xAD;
    case '`': return 0x35;
    case '{': return 0xAF;
    case '|': return 0xB1;
    case '}': return 0xB0;
    case '~': return 0xB5;
    default: return 0;
    }
}

std::vector<uint8_t> sentenceKeyCodesFromJohab(std::string_view johab) {
    std::vector<uint8_t> out;
    bool korean = true; // the text starts in Korean input mode
    for (size_t i = 0; i < johab.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(johab[i]);
        if (c >= 0x80) {
            if (i + 1 >= johab.size()) {
                break;
            }
            unsigned code = (static_cast<unsigned>(c) << 8) | static_cast<unsigned char>(johab[++i]);
            int initial = (code >> 10) & 0x1F, medial = (code >> 5) & 0x1F, final = code & 0x1F;
            // Johab Hangul runs from lead byte 0x84 to 0xD3; other double-byte
            // characters (symbols, Hanja) have no keys.
            if (c > 0xD3) {
                continue;
            }
            if (!korean) {
                out.push_back(kToggleKey);
                korean = true;
            }
            if (initial < 21 && kInitialKeys[initial]) {
                out.push_back(kInitialKeys[initial]);
            }
            push(out, medialKeys(medial));
            push(out, finalKeys(final));
            continue;
        }
        if (c == '\r') {
            out.push_back(kEnterKey);
            if (i + 1 < johab.size() && johab[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        if (c < 0x20) {
            continue;
        }
        uint8_t key = usLayoutKey(c);
        if (!key) {
            continue;
        }
        if (isAsciiLetter(c) && korean) {
            out.push_back(kToggleKey);
            korean = false;
        }
        out.push_back(key);
    }
    return out;
}

std::vector<uint8_t> sentenceKeyCodes(std::string_view cp949) {
    return sentenceKeyCodesFromJohab(text::cp949ToJohab(cp949));
}

} // namespace quillon::analyzer

#include "control/key_stream.h"

#include <cstring>

#include "base/text.h"
#include "control/line_kinds.h"

namespace quillon::control {

namespace {

constexpr uint8_t letterKey(char c) { return static_cast<uint8_t>(0x04 + (c - 'A')); }
constexpr uint8_t shifted(uint8_t key) { return static_cast<uint8_t>(key | kShiftBit); }

// Keys of the two-set layout for each jamo, by Johab index. Zero = no jamo.
struct JamoKeys {
    uint8_t first = 0, second = 0;
};

JamoKeys initialKeys(int index) {
    switch (index) {
    case 2: return {letterKey('R')};            // ㄱ
    case 3: return {shifted(letterKey('R'))};   // ㄲ
    case 4: return {letterKey('S')};            // ㄴ
    case 5: return {letterKey('E')};            // ㄷ
    case 6: return {shifted(letterKey('E'))};   // ㄸ
    case 7: return {letterKey('F')};            // ㄹ
    case 8: return {letterKey('A')};            // ㅁ
    case 9: return {letterKey('Q')};            // ㅂ
    case 10: return {shifted(letterKey('Q'))};  // ㅃ
    case 11: return {letterKey('T')};           // ㅅ
    case 12: return {shifted(letterKey('T'))};  // ㅆ
    case 13: return {letterKey('D')};           // ㅇ
    case 14: return {letterKey('W')};           // ㅈ
    case 15: return {shifted(letterKey('W'))};  // ㅉ
    case 16: return {letterKey('C')};           // ㅊ
    case 17: return {letterKey('Z')};           // ㅋ
    case 18: return {letterKey('X')};           // ㅌ
    case 19: return {letterKey('V')};           // ㅍ
    case 20: return {letterKey('G')};           // ㅎ
    default: return {};
    }
}

JamoKeys medialKeys(int index) {
    switch (index) {
    case 3: return {letterKey('K')};                    // ㅏ
    case 4: return {letterKey('O')};                    // ㅐ
    case 5: return {letterKey('I')};                    // ㅑ
    case 6: return {shifted(letterKey('O'))};           // ㅒ
    case 7: return {letterKey('J')};                    // ㅓ
    case 10: return {letterKey('P')};                   // ㅔ
    case 11: return {letterKey('U')};                   // ㅕ
    case 12: return {shifted(letterKey('P'))};          // ㅖ
    case 13: return {letterKey('H')};                   // ㅗ
    case 14: return {letterKey('H'), letterKey('K')};   // ㅘ
    case 15: return {letterKey('H'), letterKey('O')};   // ㅙ
    case 18: return {letterKey('H'), letterKey('L')};   // ㅚ
    case 19: return {letterKey('Y')};                   // ㅛ
    case 20: return {letterKey('N')};                   // ㅜ
    case 21: return {letterKey('N'), letterKey('J')};   // ㅝ
    case 22: return {letterKey('N'), letterKey('P')};   // ㅞ
    case 23: return {letterKey('N'), letterKey('L')};   // ㅟ
    case 26: return {letterKey('B')};                   // ㅠ
    case 27: return {letterKey('M')};                   // ㅡ
    case 28: return {letterKey('M'), letterKey('L')};   // ㅢ
    case 29: return {letterKey('L')};                   // ㅣ
    default: return {};
    }
}

JamoKeys finalKeys(int index) {
    switch (index) {
    case 2: return {letterKey('R')};                    // ㄱ
    case 3: return {shifted(letterKey('R'))};           // ㄲ
    case 4: return {letterKey('R'), letterKey('T')};    // ㄳ
    case 5: return {letterKey('S')};                    // ㄴ
    case 6: return {letterKey('S'), letterKey('W')};    // ㄵ
    case 7: return {letterKey('S'), letterKey('G')};    // ㄶ
    case 8: return {letterKey('E')};                    // ㄷ
    case 9: return {letterKey('F')};                    // ㄹ
    case 10: return {letterKey('F'), letterKey('R')};   // ㄺ
    case 11: return {letterKey('F'), letterKey('A')};   // ㄻ
    case 12: return {letterKey('F'), letterKey('Q')};   // ㄼ
    case 13: return {letterKey('F'), letterKey('T')};   // ㄽ
    case 14: return {letterKey('F'), letterKey('X')};   // ㄾ
    case 15: return {letterKey('F'), letterKey('V')};   // ㄿ
    case 16: return {letterKey('F'), letterKey('G')};   // ㅀ
    case 17: return {letterKey('A')};                   // ㅁ
    case 19: return {letterKey('Q')};                   // ㅂ
    case 20: return {letterKey('Q'), letterKey('T')};   // ㅄ
    case 21: return {letterKey('T')};                   // ㅅ
    case 22: return {shifted(letterKey('T'))};          // ㅆ
    case 23: return {letterKey('D')};                   // ㅇ
    case 24: return {letterKey('W')};                   // ㅈ
    case 25: return {letterKey('C')};                   // ㅊ
    case 26: return {letterKey('Z')};                   // ㅋ
    case 27: return {letterKey('X')};                   // ㅌ
    case 28: return {letterKey('V')};                   // ㅍ
    case 29: return {letterKey('G')};                   // ㅎ
    default: return {};
    }
}

void emit(std::vector<uint8_t>& out, JamoKeys keys) {
    if (keys.first) out.push_back(keys.first);
    if (keys.second) out.push_back(keys.second);
}

// US-layout key of a printable ASCII character, 0 when it has none.
uint8_t asciiKey(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(0x04 + (c - 'a'));
    if (c >= 'A' && c <= 'Z') return shifted(letterKey(c));
    if (c >= '1' && c <= '9') return static_cast<uint8_t>(0x1E + (c - '1'));
    static const char unshifted[] = "0 -=[]\\;'`,./";
    static const uint8_t unshiftedKeys[] = {0x27, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38};
    static const char shiftedChars[] = "!@#$%^&*()_+{}|:\"~<>?";
    static const uint8_t shiftedKeys[] = {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D,
                                          0x2E, 0x2F, 0x30, 0x31, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38};
    for (size_t i = 0; i + 1 < sizeof(unshifted); ++i) {
        if (unshifted[i] == c) return unshiftedKeys[i];
    }
    for (size_t i = 0; i + 1 < sizeof(shiftedChars); ++i) {
        if (shiftedChars[i] == c) return shifted(shiftedKeys[i]);
    }
    return 0;
}

} // namespace

std::vector<uint8_t> textToKeyStream(std::string_view cp949) {
    const std::string johab = text::cp949ToJohab(cp949);
    std::vector<uint8_t> out;
    bool korean = true;
    for (size_t i = 0; i < johab.size(); ++i) {
        const uint8_t lead = static_cast<uint8_t>(johab[i]);
        if (lead >= 0x80) {
            if (i + 1 >= johab.size()) break;
            const uint16_t code = static_cast<uint16_t>((lead << 8) | static_cast<uint8_t>(johab[i + 1]));
            ++i;
            // Only Hangul (lead bytes 0x84..0xD3) splits into jamo; Johab's
            // symbols and Hanja have no keystrokes and are dropped.
            if (lead < 0x84 || lead > 0xD3) continue;
            if (!korean) {
                out.push_back(kSwitchLanguage);
                korean = true;
            }
            emit(out, initialKeys((code >> 10) & 0x1F));
            emit(out, medialKeys((code >> 5) & 0x1F));
            emit(out, finalKeys(code & 0x1F));
            continue;
        }
        const char c = static_cast<char>(lead);
        if (c == '\r') {
            out.push_back(0x28);
            continue;
        }
        if (c == '\n') continue;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter && korean) {
            out.push_back(kSwitchLanguage);
            korean = false;
        }
        if (uint8_t key = asciiKey(c)) out.push_back(key);
    }
    return out;
}

int lowestFreeSlot(const TextStore& store) {
    for (int i = 0; i < kTextSlotCount; ++i) {
        if (store.slots[i].inUse != 1) return i;
    }
    return -1;
}

int linesUsingSlot(const MacroDocument& document, int slot, int except) {
    int count = 0;
    int lines = document.head.lineCount;
    if (lines < 0 || lines > kMaxLines) lines = 0;
    for (int i = 0; i < lines; ++i) {
        const EditLine& line = document.lines[i];
        if (i != except && line.kind == kind::kTypeText && P(line, 8) == slot) ++count;
    }
    return count;
}

void fillTextSlot(TextSlot& slot, std::string_view cp949Text, const std::vector<uint8_t>& keyStream, int speed) {
    std::memset(&slot, 0, sizeof(slot));
    size_t textLength = std::min(cp949Text.size(), sizeof(slot.text) - 1);
    size_t streamLength = std::min(keyStream.size(), sizeof(slot.keyStream));
    slot.inUse = 1;
    slot.textLength = static_cast<int32_t>(textLength + 1);
    slot.keyStreamLength = static_cast<int32_t>(streamLength);
    slot.speed = speed;
    slot.interval = speed > 0 ? 60000 / speed + 1 : 0;
    if (textLength) std::memcpy(slot.text, cp949Text.data(), textLength);
    if (streamLength) std::memcpy(slot.keyStream, keyStream.data(), streamLength);
}

Built<int> placeTypingText(TextStore& store, const MacroDocument& document, int editedLine,
                           const std::string& utf8Text, int speed, const MacroDocument* sharing) {
    if (speed <= 0) {
        return Built<int>::refused("타자 속도를 입력해주세요");
    }
    if (utf8Text.empty()) {
        return Built<int>::refused("타이핑할 문장을 입력해주세요");
    }
    const std::string cp949 = text::utf8ToCp949(utf8Text);
    size_t characters = 0;
    for (size_t i = 0; i < cp949.size(); ++i, ++characters) {
        if (static_cast<uint8_t>(cp949[i]) >= 0x80) ++i;
    }
    const std::vector<uint8_t> stream = textToKeyStream(cp949);
    // The slot's fields hold 32,768 bytes each; a text that does not fit is
    // refused rather than cut.
    if (characters > kMaxTypingCharacters || cp949.size() + 1 > kTextFieldSize || stream.size() > kTextFieldSize) {
        return Built<int>::refused("문장이 너무 깁니다.");
    }
    int slot = -1;
    if (editedLine >= 0 && editedLine < document.head.lineCount &&
        document.lines[editedLine].kind == kind::kTypeText) {
        int own = P(document.lines[editedLine], 8);
        if (own >= 0 && own < kTextSlotCount) {
            const TextSlot& current = store.slots[own];
            bool sameStream = current.keyStreamLength == static_cast<int32_t>(stream.size()) &&
                              (stream.empty() || std::memcmp(current.keyStream, stream.data(), stream.size()) == 0);
            int others = linesUsingSlot(document, own, editedLine) + (sharing ? linesUsingSlot(*sharing, own, -1) : 0);
            if (others == 0 || sameStream) slot = own;
        }
    }
    if (slot < 0) slot = lowestFreeSlot(store);
    if (slot < 0) {
        return Built<int>::refused("문장 저장 공간이 가득 찼습니다.\n필요없는 문장출력 명령을 삭제한 후 다시 시도해주세요.");
    }
    fillTextSlot(store.slots[slot], cp949, stream, speed);
    return Built<int>::of(slot);
}

} // namespace quillon::control

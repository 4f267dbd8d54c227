#include "base/text.h"

#include "base/text_codec.h"

namespace quillon::text {
namespace {

using detail::CodePage;

constexpr char16_t kReplacement = u'?';

// Decodes one UTF-8 sequence at `i`; returns the code point or -1 for a bad
// sequence (overlong, surrogate, out of range, truncated), consuming one byte.
long nextCodePoint(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    size_t length = 0;
    long cp = 0;
    long minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return -1;
    }
    if (i + length > s.size()) {
        ++i;
        return -1;
    }
    for (size_t k = 1; k < length; ++k) {
        unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += length;
    return cp;
}

// Length of the code-page character starting at `i`: 2 for a lead byte with a
// trail byte after it, otherwise 1.
size_t characterLength(CodePage page, std::string_view s, size_t i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    bool lead = page == CodePage::Cp949 ? (b >= 0x81 && b <= 0xFE) : (b >= 0x84 && b <= 0xF9);
    return lead && i + 1 < s.size() ? 2 : 1;
}

std::u16string decode(CodePage page, std::string_view bytes) {
    if (auto whole = detail::decodeStrict(page, bytes)) {
        return *whole;
    }
    // Slow path, only for bad input: character by character.
    std::u16string out;
    for (size_t i = 0; i < bytes.size();) {
        size_t n = characterLength(page, bytes, i);
        if (auto one = detail::decodeStrict(page, bytes.substr(i, n))) {
            out += *one;
            i += n;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

std::string encode(CodePage page, std::u16string_view utf16) {
    if (auto whole = detail::encodeStrict(page, utf16)) {
        return *whole;
    }
    std::string out;
    for (size_t i = 0; i < utf16.size();) {
        size_t n = (utf16[i] >= 0xD800 && utf16[i] <= 0xDBFF && i + 1 < utf16.size()) ? 2 : 1;
        if (auto one = detail::encodeStrict(page, utf16.substr(i, n))) {
            out += *one;
        } else {
            out += static_cast<char>(kReplacement);
        }
        i += n;
    }
    return out;
}

} // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        long cp = nextCodePoint(utf8, i);
        if (cp < 0) {
            out += kReplacement;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (size_t i = 0; i < utf16.size(); ++i) {
        unsigned long cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement; // lone surrogate
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string cp949ToUtf16(std::string_view cp949) { return decode(CodePage::Cp949, cp949); }
std::string utf16ToCp949(std::u16string_view utf16) { return encode(CodePage::Cp949, utf16); }
std::string utf8ToCp949(std::string_view utf8) { return utf16ToCp949(utf8ToUtf16(utf8)); }
std::string cp949ToUtf8(std::string_view cp949) { return utf16ToUtf8(cp949ToUtf16(cp949)); }

std::string cp949ToJohab(std::string_view cp949) {
    return encode(CodePage::Johab, decode(CodePage::Cp949, cp949));
}

} // namespace quillon::text

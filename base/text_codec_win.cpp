// Win32 conversions: code page 949 and 1361, strict, so that bad input takes
// the shared replacement path of base/text.
#include <windows.h>

#include "base/text_codec.h"

namespace quillon::text::detail {
namespace {

UINT codePage(CodePage page) { return page == CodePage::Cp949 ? 949 : 1361; }

// Windows maps a few single bytes to C1 controls and unassigned codes to the
// private-use area; neither names a real character of these code pages (and
// iconv refuses them), so both count as bad input.
bool isCodePageCharacter(char16_t c) { return !(c >= 0x80 && c <= 0x9F) && !(c >= 0xE000 && c <= 0xF8FF); }

} // namespace

std::optional<std::u16string> decodeStrict(CodePage page, std::string_view bytes) {
    if (bytes.empty()) {
        return std::u16string();
    }
    int n = MultiByteToWideChar(codePage(page), MB_ERR_INVALID_CHARS, bytes.data(),
                                static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) {
        return std::nullopt;
    }
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(codePage(page), MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    for (char16_t c : out) {
        if (!isCodePageCharacter(c)) {
            return std::nullopt;
        }
    }
    return out;
}

std::optional<std::string> encodeStrict(CodePage page, std::u16string_view utf16) {
    if (utf16.empty()) {
        return std::string();
    }
    for (char16_t c : utf16) {
        if (!isCodePageCharacter(c)) {
            return std::nullopt;
        }
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage(page), 0, wide, static_cast<int>(utf16.size()), nullptr, 0, nullptr,
                                &usedDefault);
    if (n <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage(page), 0, wide, static_cast<int>(utf16.size()), out.data(), n, nullptr,
                        &usedDefault);
    if (usedDefault) {
        return std::nullopt;
    }
    // The round trip must give the same characters (no best-fit mapping).
    auto back = decodeStrict(page, out);
    if (!back || *back != utf16) {
        return std::nullopt;
    }
    return out;
}

} // namespace quillon::text::detail

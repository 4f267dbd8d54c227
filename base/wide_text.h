// UTF-8 <-> UTF-16 for Win32 calls (wchar_t is 16 bits there). Included only
// by Windows code.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace quillon {

inline std::wstring widen(std::string_view utf8) {
    std::u16string u = text::utf8ToUtf16(utf8);
    return std::wstring(u.begin(), u.end());
}

inline std::string narrow(std::wstring_view wide) {
    return text::utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

} // namespace quillon

// The one platform-specific step of base/text: converting one code-page
// character or a run of them through the system. Everything else, including
// the handling of bad input, is shared so that both platforms answer alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon::text::detail {

enum class CodePage { Cp949, Johab };

// Strict conversions: nullopt when any part of the input does not convert.
std::optional<std::u16string> decodeStrict(CodePage page, std::string_view bytes);
std::optional<std::string> encodeStrict(CodePage page, std::u16string_view utf16);

} // namespace quillon::text::detail

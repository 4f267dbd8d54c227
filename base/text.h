// Text encodings at the system's boundaries.
//
// Program logic holds UTF-8. Records, files and the machine hold CP949 bytes;
// typed Hangul travels as Johab (code page 1361); Win32 takes UTF-16.
// Linux converts with iconv, Windows with MultiByteToWideChar and
// WideCharToMultiByte; both give the same bytes.
//
// Bad input never fails: every byte sequence that does not convert becomes one
// '?' (U+003F), and conversion goes on with the next byte.
#pragma once

#include <string>
#include <string_view>

namespace quillon::text {

std::string utf8ToCp949(std::string_view utf8);
std::string cp949ToUtf8(std::string_view cp949);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

std::u16string cp949ToUtf16(std::string_view cp949);
std::string utf16ToCp949(std::u16string_view utf16);

// Johab of the same characters; ASCII stays one byte.
std::string cp949ToJohab(std::string_view cp949);

// Number of CP949 bytes the UTF-8 text takes in a record field.
inline size_t cp949Length(std::string_view utf8) { return utf8ToCp949(utf8).size(); }

} // namespace quillon::text

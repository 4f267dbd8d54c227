// Fixed-size text fields of records, files and the machine: CP949 bytes up
// to the first NUL or the field's end.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillon {

// The field's text: up to the first NUL, or the whole field when it has none.
std::string_view fixedText(const char* field, size_t capacity);
template <size_t N>
std::string_view fixedText(const char (&field)[N]) {
    return fixedText(field, N);
}

// Stores CP949 bytes (up to their first NUL), cut so that a NUL always fits
// and no double-byte character is split; the rest of the field is zeroed.
// Returns the number of bytes kept.
size_t storeFixedText(char* field, size_t capacity, std::string_view cp949);
template <size_t N>
size_t storeFixedText(char (&field)[N], std::string_view cp949) {
    return storeFixedText(field, N, cp949);
}

} // namespace quillon

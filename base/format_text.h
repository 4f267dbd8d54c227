// printf-style formatting into std::string: the programs write their messages
// and sentences with printf patterns ("%s(MainLine=%d)", "%.3f초").
#pragma once

#include <string>

#if defined(__GNUC__)
#define QUILLON_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define QUILLON_PRINTF(a, b)
#endif

namespace quillon {

// The formatted text.
std::string formatText(const char* pattern, ...) QUILLON_PRINTF(1, 2);
// Appends the formatted text to `out`.
void appendFormat(std::string& out, const char* pattern, ...) QUILLON_PRINTF(2, 3);

} // namespace quillon

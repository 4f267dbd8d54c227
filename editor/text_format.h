// printf-style formatting into std::string, for the editor's sentences and
// messages (the product writes its texts with printf patterns).
#pragma once

#include <string>

namespace quillon::editor {

#if defined(__GNUC__)
#define QUILLON_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define QUILLON_PRINTF(a, b)
#endif

// Appends the formatted text to `out`.
void appendFormat(std::string& out, const char* pattern, ...) QUILLON_PRINTF(2, 3);
// The formatted text.
std::string format(const char* pattern, ...) QUILLON_PRINTF(1, 2);

} // namespace quillon::editor

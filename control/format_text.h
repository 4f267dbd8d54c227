// printf-style formatting into a std::string; messages and sentences are built
// with the formats the program shows.
#pragma once

#include <string>

namespace quillon::control {

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace quillon::control

#include "base/format_text.h"

#include <cstdarg>
#include <cstdio>

namespace quillon {
namespace {

void appendFormatV(std::string& out, const char* pattern, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int size = std::vsnprintf(nullptr, 0, pattern, measure);
    va_end(measure);
    if (size <= 0) {
        return;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(size) + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(size) + 1, pattern, args);
    out.resize(start + static_cast<size_t>(size));
}

} // namespace

std::string formatText(const char* pattern, ...) {
    std::string out;
    va_list args;
    va_start(args, pattern);
    appendFormatV(out, pattern, args);
    va_end(args);
    return out;
}

void appendFormat(std::string& out, const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    appendFormatV(out, pattern, args);
    va_end(args);
}

} // namespace quillon

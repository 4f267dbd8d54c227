#include "base/fixed_text.h"

#include <cstring>

namespace quillon {

std::string_view fixedText(const char* field, size_t capacity) {
    const void* end = std::memchr(field, 0, capacity);
    const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : capacity;
    return std::string_view(field, length);
}

size_t storeFixedText(char* field, size_t capacity, std::string_view cp949) {
    if (capacity == 0) {
        return 0;
    }
    // Walk whole characters: a lead byte (0x81..0xFE) with a byte after it
    // starts a two-byte character, and the cut never splits one.
    size_t keep = 0;
    while (keep < cp949.size() && cp949[keep] != '\0') {
        const auto lead = static_cast<unsigned char>(cp949[keep]);
        const size_t step = lead >= 0x81 && lead <= 0xFE && keep + 1 < cp949.size() ? 2 : 1;
        if (keep + step > capacity - 1) {
            break;
        }
        keep += step;
    }
    std::memcpy(field, cp949.data(), keep);
    std::memset(field + keep, 0, capacity - keep);
    return keep;
}

} // namespace quillon

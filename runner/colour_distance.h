// The one colour rule of every comparison: two pixels match when the
// Euclidean RGB distance is at most (100 - S) x 5 for a similarity of S
// percent. Distances are compared squared in integers; for whole-number
// limits this is exactly the decision of the square root in double precision.
#pragma once

#include <cstdint>

namespace quillon::runner {

// The squared limit for a similarity; -1 (nothing matches) above 100 %.
inline int32_t squaredLimit(int similarity) {
    long long limit = (100LL - similarity) * 5;
    if (limit < 0) return -1;
    if (limit > 450) limit = 450; // beyond the largest distance (441.7)
    return static_cast<int32_t>(limit * limit);
}

// Pixels as blue, green, red bytes.
inline int32_t squaredDistance(const uint8_t* a, const uint8_t* b) {
    const int32_t db = a[0] - b[0];
    const int32_t dg = a[1] - b[1];
    const int32_t dr = a[2] - b[2];
    return db * db + dg * dg + dr * dr;
}

inline bool withinLimit(const uint8_t* a, const uint8_t* b, int32_t limitSquared) {
    return squaredDistance(a, b) <= limitSquared;
}

// 0x00RRGGBB into blue, green, red, 0.
inline void colourBytes(uint32_t rgb, uint8_t out[4]) {
    out[0] = static_cast<uint8_t>(rgb);
    out[1] = static_cast<uint8_t>(rgb >> 8);
    out[2] = static_cast<uint8_t>(rgb >> 16);
    out[3] = 0;
}

} // namespace quillon::runner

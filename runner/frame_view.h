// A read-only view of 32-bit pixels (blue, green, red, unused), rows top to
// bottom: the capture buffer as the comparisons read it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::runner {

struct FrameView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes per row

    const uint8_t* pixel(int x, int y) const {
        return pixels + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 4;
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

} // namespace quillon::runner

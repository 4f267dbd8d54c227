// A locked surface for the capture tests, shared with the screenshot tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/screen_capture.h"

namespace quillon::capture_test {

// A surface whose pixel at (x, y) has a value that says where it came from.
struct FakeSurface {
    int32_t width, height, bitsPerPixel, pitch;
    std::vector<uint8_t> bytes;

    FakeSurface(int32_t w, int32_t h, int32_t bits, int32_t extraPitch = 0)
        : width(w), height(h), bitsPerPixel(bits), pitch(w * bits / 8 + extraPitch),
          bytes(static_cast<size_t>(pitch) * static_cast<size_t>(h)) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
        }
    }
    LockedSurface lockedAt(int32_t left, int32_t top) const {
        return {bytes.data() + static_cast<size_t>(top) * static_cast<size_t>(pitch) +
                    static_cast<size_t>(left) * static_cast<size_t>(bitsPerPixel / 8),
                pitch, bitsPerPixel};
    }
};

} // namespace quillon::capture_test

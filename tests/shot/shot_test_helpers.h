// Helpers shared by the shot tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runner/screen_capture.h"

namespace quillon::shot_test {

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

inline uint32_t le32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

inline uint16_t le16At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint16_t value;
    std::memcpy(&value, bytes.data() + offset, 2);
    return value;
}

} // namespace quillon::shot_test

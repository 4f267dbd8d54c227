// Helpers shared by the shot tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "capture/screen_capture.h"
#include "tests/capture/fake_surface.h"

namespace quillon::shot_test {

using capture_test::FakeSurface;

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

// Pictures for the run report: a screenshot scaled down and written as a PNG
// (8-bit RGB, deflate with fixed codes), and base64 for a data: address.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::cli {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top to bottom, 3 bytes a pixel
};

// The image averaged down to fit `largest` x `largest` (never scaled up).
RgbImage scaledDown(const RgbImage& image, int largest);

std::vector<uint8_t> encodePng(const RgbImage& image);
std::string base64(const std::vector<uint8_t>& bytes);

} // namespace quillon::cli

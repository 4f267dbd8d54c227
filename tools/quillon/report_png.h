// Pictures for the run report: a screenshot scaled down and written as a PNG
// (8-bit RGB, deflate with fixed codes), and base64 for a data: address.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::cli {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top to bottom, 3 bytes a pixel
};

// An image of width x height given by `pixel(x, y)` (0xRRGGBB), averaged down
// to fit `largest` x `largest` (never scaled up). Each pixel is read once.
template <class Pixel>
RgbImage scaledDown(int width, int height, int largest, Pixel pixel) {
    int side = width > height ? width : height;
    RgbImage out;
    out.width = side > largest ? static_cast<int>(static_cast<int64_t>(width) * largest / side) : width;
    out.height = side > largest ? static_cast<int>(static_cast<int64_t>(height) * largest / side) : height;
    out.width = out.width < 1 ? 1 : out.width;
    out.height = out.height < 1 ? 1 : out.height;
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    std::vector<uint64_t> sums(static_cast<size_t>(out.width) * 3);
    std::vector<int> column(static_cast<size_t>(width)); // the picture's column of each source column
    for (int x = 0; x < width; ++x) column[x] = static_cast<int>(static_cast<int64_t>(x) * out.width / width);
    int sy = 0;
    for (int y = 0; y < out.height; ++y) {
        int rowsEnd = static_cast<int>(static_cast<int64_t>(y + 1) * height / out.height);
        std::fill(sums.begin(), sums.end(), 0);
        int rowsIn = 0;
        for (; sy < rowsEnd; ++sy, ++rowsIn) {
            for (int x = 0; x < width; ++x) {
                uint32_t rgb = pixel(x, sy);
                uint64_t* s = &sums[static_cast<size_t>(column[x]) * 3];
                s[0] += rgb >> 16 & 0xFF;
                s[1] += rgb >> 8 & 0xFF;
                s[2] += rgb & 0xFF;
            }
        }
        for (int x = 0; x < out.width; ++x) {
            // The source columns of picture column x: those whose column[] is x.
            uint64_t columns = static_cast<uint64_t>((static_cast<int64_t>(x + 1) * width + out.width - 1) / out.width -
                                                     (static_cast<int64_t>(x) * width + out.width - 1) / out.width);
            uint64_t count = columns * static_cast<uint64_t>(rowsIn);
            for (int c = 0; c < 3; ++c) {
                out.rgb[(static_cast<size_t>(y) * out.width + x) * 3 + c] =
                    static_cast<uint8_t>(count ? (sums[static_cast<size_t>(x) * 3 + c] + count / 2) / count : 0);
            }
        }
    }
    return out;
}

std::vector<uint8_t> encodePng(const RgbImage& image);
std::string base64(const std::vector<uint8_t>& bytes);

} // namespace quillon::cli

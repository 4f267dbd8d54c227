// Reading a screenshot bitmap for display. Screenshots are BMP files with a
// version-4 info header, rows top to bottom (negative height), at 16, 24 or
// 32 bits per pixel. The bytes come from a file the user chose, so the header
// is checked before anything is read past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::editor {

enum class BitmapStatus {
    Ok,
    Damaged,     // not a bitmap, or cut short
    Unsupported, // a bit depth other than 16, 24 and 32, or compressed
};

struct ScreenshotBitmap {
    int width = 0;
    int height = 0; // rows, always positive: the rows below run top to bottom
    int bitsPerPixel = 0;
    int stride = 0; // bytes per row, a multiple of 4
    std::vector<uint8_t> pixels;
};

// The largest side accepted; beyond it a file is taken as damaged.
inline constexpr int kLargestBitmapSide = 32768;

BitmapStatus readScreenshotBitmap(const uint8_t* bytes, size_t size, ScreenshotBitmap& bitmap);

// Row stride for a width and bit depth: rounded up to a multiple of 4.
int bitmapStride(int width, int bitsPerPixel);

} // namespace quillon::editor

#include "editor/screenshot_bitmap.h"

#include <cstring>

#include "base/byte_order.h"

namespace quillon::editor {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kSmallestInfoHeader = 40;
constexpr uint32_t kPlainRgb = 0;
constexpr uint32_t kBitFields = 3;

} // namespace

int bitmapStride(int width, int bitsPerPixel) {
    int64_t bytes = (static_cast<int64_t>(width) * bitsPerPixel + 7) / 8;
    return static_cast<int>((bytes + 3) / 4 * 4);
}

BitmapStatus readScreenshotBitmap(const uint8_t* bytes, size_t size, ScreenshotBitmap& bitmap) {
    bitmap = {};
    if (size < kFileHeaderBytes + kSmallestInfoHeader || bytes[0] != 'B' || bytes[1] != 'M') {
        return BitmapStatus::Damaged;
    }
    const uint8_t* info = bytes + kFileHeaderBytes;
    uint32_t infoSize = loadLe32(info);
    int32_t width = static_cast<int32_t>(loadLe32(info + 4));
    int32_t height = static_cast<int32_t>(loadLe32(info + 8));
    uint16_t bitsPerPixel = loadLe16(info + 14);
    uint32_t compression = loadLe32(info + 16);
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return BitmapStatus::Unsupported;
    }
    if (compression != kPlainRgb && compression != kBitFields) {
        return BitmapStatus::Unsupported;
    }
    if (infoSize < kSmallestInfoHeader || width <= 0 || width > kLargestBitmapSide || height == 0 ||
        height < -kLargestBitmapSide || height > kLargestBitmapSide) {
        return BitmapStatus::Damaged;
    }
    // The pixels start where the file header says; the screenshot tool puts
    // them right behind its 108-byte info header.
    uint64_t pixelOffset = loadLe32(bytes + 10);
    if (pixelOffset < kFileHeaderBytes + infoSize) {
        pixelOffset = kFileHeaderBytes + infoSize;
    }
    int rows = height < 0 ? -height : height;
    int stride = bitmapStride(width, bitsPerPixel);
    uint64_t imageBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(rows);
    if (pixelOffset > size || imageBytes > size - pixelOffset) {
        return BitmapStatus::Damaged;
    }
    bitmap.width = width;
    bitmap.height = rows;
    bitmap.bitsPerPixel = bitsPerPixel;
    bitmap.stride = stride;
    bitmap.pixels.resize(static_cast<size_t>(imageBytes));
    const uint8_t* source = bytes + pixelOffset;
    if (height < 0) {
        std::memcpy(bitmap.pixels.data(), source, static_cast<size_t>(imageBytes));
    } else {
        // Rows stored bottom to top are turned around.
        for (int r = 0; r < rows; ++r) {
            std::memcpy(bitmap.pixels.data() + static_cast<size_t>(r) * stride,
                        source + static_cast<size_t>(rows - 1 - r) * stride, static_cast<size_t>(stride));
        }
    }
    return BitmapStatus::Ok;
}

} // namespace quillon::editor

// The device-independent bitmap header and row size, as files, the system
// and the cursor bitmaps lay them out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

#pragma pack(push, 1)
// The 40-byte BITMAPINFOHEADER.
struct DibInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(DibInfoHeader) == 40);
static_assert(offsetof(DibInfoHeader, bitCount) == 14);
static_assert(offsetof(DibInfoHeader, imageSize) == 20);

inline constexpr uint32_t kDibRgb = 0;
inline constexpr uint32_t kDibBitFields = 3;
// RGB565, the layout of a 16-bit screen.
inline constexpr uint32_t kRgb565RedMask = 0xF800;
inline constexpr uint32_t kRgb565GreenMask = 0x07E0;
inline constexpr uint32_t kRgb565BlueMask = 0x001F;

// Bytes per row of a bitmap: width × bits ÷ 8, rounded up to a multiple of 4.
// 0 for a width or depth that is not positive or a row that would not fit.
constexpr uint32_t dibRowSize(int32_t width, int32_t bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) {
        return 0;
    }
    uint64_t bytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    return bytes > 0x7FFFFFFF ? 0 : static_cast<uint32_t>(bytes);
}
static_assert(dibRowSize(1919, 32) == 7676);
static_assert(dibRowSize(101, 16) == 204);

} // namespace quillon

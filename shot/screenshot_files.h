// The screenshot set: three files with one time-stamped base name.
//   <base>.bmp  the captured rectangle: a BMP with a 108-byte (version 4) info
//               header, no colour table, rows top to bottom (negative height)
//   <base>.cfg  the 10,240-byte settings block as held at the capture
//   <base>.dat  the cursor file: where the cursor was in the capture and, when
//               it was recorded, its mask and colour bitmaps
// analyzer-editor finds the .cfg and .dat of a chosen .bmp by swapping the
// extension, so the three names differ only there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "capture/cursor.h"
#include "capture/screen_capture.h"

namespace quillon {

#pragma pack(push, 1)
// File header (14 bytes) and version-4 info header (108 bytes) of the bitmap file.
struct ScreenshotBitmapHeader {
    uint16_t type = 0x4D42; // "BM"
    uint32_t fileSize = 0;  // image size + 122
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t pixelOffset = 122;
    uint32_t headerSize = 108;
    int32_t width = 0;
    int32_t height = 0; // negative: rows run top to bottom
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
    uint32_t colourSpaceType = 0;
    uint8_t endPoints[36] = {};
    uint32_t gammaRed = 0;
    uint32_t gammaGreen = 0;
    uint32_t gammaBlue = 0;
};
#pragma pack(pop)
static_assert(sizeof(ScreenshotBitmapHeader) == 122);
static_assert(offsetof(ScreenshotBitmapHeader, fileSize) == 2);
static_assert(offsetof(ScreenshotBitmapHeader, pixelOffset) == 10);
static_assert(offsetof(ScreenshotBitmapHeader, headerSize) == 14);
static_assert(offsetof(ScreenshotBitmapHeader, width) == 18);
static_assert(offsetof(ScreenshotBitmapHeader, height) == 22);
static_assert(offsetof(ScreenshotBitmapHeader, planes) == 26);
static_assert(offsetof(ScreenshotBitmapHeader, bitsPerPixel) == 28);
static_assert(offsetof(ScreenshotBitmapHeader, compression) == 30);
static_assert(offsetof(ScreenshotBitmapHeader, imageSize) == 34);
static_assert(offsetof(ScreenshotBitmapHeader, redMask) == 54);
static_assert(offsetof(ScreenshotBitmapHeader, alphaMask) == 66);
static_assert(offsetof(ScreenshotBitmapHeader, colourSpaceType) == 70);
static_assert(offsetof(ScreenshotBitmapHeader, endPoints) == 74);
static_assert(offsetof(ScreenshotBitmapHeader, gammaRed) == 110);

inline constexpr size_t kScreenshotPixelOffset = 122;
inline constexpr size_t kSettingsCopySize = 10240;
inline constexpr size_t kCursorFileHeadSize = 12; // x, y, flags

// Header of the bitmap file for a captured image.
ScreenshotBitmapHeader screenshotBitmapHeader(const CapturedImage& image);

// The whole bitmap file: header, then the image's rows.
std::vector<uint8_t> buildBitmapFile(const CapturedImage& image);

// The cursor file. `shape` null (or without flags): the 12-byte file of a
// cursor that was not recorded, position (0, 0) and flags 0.
std::vector<uint8_t> buildCursorFile(Point position, const CursorImage* shape);

// ----- readers (the editor's import, the tests, the command-line tool) -----

struct BitmapFileView {
    ScreenshotBitmapHeader header;
    int32_t width = 0;
    int32_t height = 0;   // positive
    bool topDown = false; // negative height in the file
    uint32_t stride = 0;
    const uint8_t* pixels = nullptr; // inside the bytes passed in
};

// Checks everything that a reader relies on: the type, the header size, the
// pixel offset, a positive width, a depth of 16, 24 or 32 bits, an image size
// of at least height × row size inside the file. nullopt otherwise.
std::optional<BitmapFileView> readBitmapFile(const std::vector<uint8_t>& bytes);

// A pixel of the bitmap as 0xRRGGBB (32 and 24 bits: blue, green, red bytes;
// 16 bits: the header's bit fields, or 5-5-5 without them, widened to 8 bits
// per channel). Rows counted from the top.
uint32_t bitmapPixel(const BitmapFileView& view, int32_t x, int32_t y);

struct CursorFileView {
    Point position;
    uint32_t flags = 0;
    std::optional<DibInfoHeader> maskHeader, colourHeader;
    std::vector<uint8_t> maskBits, colourBits;
};

// nullopt when the file is shorter than its flags and headers say, a header
// is not 40 bytes, or bytes are left over.
std::optional<CursorFileView> readCursorFile(const std::vector<uint8_t>& bytes);

// ----- names -----


// program folder + screenshot path + "YYYYMMDDhhmmss".
std::string screenshotBaseName(const std::string& programFolder, const std::string& screenshotPath,
                               const LocalTime& time);

struct ScreenshotFileNames {
    std::string bitmap, settings, cursor;
};
ScreenshotFileNames screenshotFileNames(const std::string& baseName, const std::string& bitmapExtension,
                                        const std::string& settingsExtension, const std::string& cursorExtension);

} // namespace quillon

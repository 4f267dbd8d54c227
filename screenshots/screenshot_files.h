// The screenshot set's file format: three files with one time-stamped base
// name, their writers (shot-taker) and their one set of readers (the editor's
// import and display, the tests, the fuzz targets).
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
// File header (14 bytes) and version-4 info header (108 bytes: the 40-byte
// header, then the bit fields and the colour space) of the bitmap file.
struct ScreenshotBitmapHeader {
    uint16_t type = 0x4D42; // "BM"
    uint32_t fileSize = 0;  // image size + 122
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t pixelOffset = 122;
    DibInfoHeader info{.size = 108}; // height negative: rows run top to bottom
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
static_assert(offsetof(ScreenshotBitmapHeader, info) == 14);
static_assert(offsetof(ScreenshotBitmapHeader, redMask) == 54);
static_assert(offsetof(ScreenshotBitmapHeader, alphaMask) == 66);
static_assert(offsetof(ScreenshotBitmapHeader, colourSpaceType) == 70);
static_assert(offsetof(ScreenshotBitmapHeader, endPoints) == 74);
static_assert(offsetof(ScreenshotBitmapHeader, gammaRed) == 110);

inline constexpr size_t kScreenshotPixelOffset = 122;
inline constexpr size_t kSettingsCopySize = 10240;
inline constexpr size_t kCursorFileHeadSize = 12; // x, y, flags
// A position, flags and two images that each fit a cursor sample; a reader
// needs no more.
inline constexpr size_t kLargestCursorFile = kCursorFileHeadSize + 2 * (kBitmapHeaderSize + kCursorBitsSize);
// The largest side a reader takes; beyond it a bitmap is taken as damaged.
inline constexpr int kLargestBitmapSide = 32768;

// Header of the bitmap file for a captured image.
ScreenshotBitmapHeader screenshotBitmapHeader(const CapturedImage& image);

// The whole bitmap file: header, then the image's rows.
std::vector<uint8_t> buildBitmapFile(const CapturedImage& image);

// The cursor file. `shape` null (or without flags): the 12-byte file of a
// cursor that was not recorded, position (0, 0) and flags 0.
std::vector<uint8_t> buildCursorFile(Point position, const CursorImage* shape);

// ----- readers (the editor's import, the tests, the command-line tool) -----

enum class BitmapStatus {
    Ok,
    Damaged,     // not a bitmap, or cut short, or its header contradicts itself
    Unsupported, // a depth other than 16, 24 and 32 bits, or compressed
};

struct BitmapFileView {
    ScreenshotBitmapHeader header; // a 40-byte info header leaves the version-4 fields as the bytes after it
    int32_t width = 0;
    int32_t height = 0;   // positive
    bool topDown = false; // negative height in the file
    uint32_t stride = 0;
    const uint8_t* pixels = nullptr; // inside the bytes passed in
};

// The one bitmap reader. Any info header of 40 bytes or more; a width of 1 to
// 32768 and a height of 1 to 32768 rows either way; one plane; 16, 24 or 32
// bits, plain or with bit fields; pixels at or after the headers, every row
// inside the file (the header's image size is not relied on).
BitmapStatus readBitmapFile(const uint8_t* bytes, size_t size, BitmapFileView& view);
inline std::optional<BitmapFileView> readBitmapFile(const std::vector<uint8_t>& bytes) {
    BitmapFileView view;
    return readBitmapFile(bytes.data(), bytes.size(), view) == BitmapStatus::Ok ? std::optional(view) : std::nullopt;
}

// A pixel of the bitmap as 0xRRGGBB (32 and 24 bits: blue, green, red bytes;
// 16 bits: the header's bit fields, or 5-5-5 without them, widened to 8 bits
// per channel). Rows counted from the top.
uint32_t bitmapPixel(const BitmapFileView& view, int32_t x, int32_t y);

// A bitmap held in memory for display, rows top to bottom `stride` bytes apart.
struct ScreenshotBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int stride = 0; // dibRowSize: a multiple of 4
    std::vector<uint8_t> pixels;
};
BitmapStatus readScreenshotBitmap(const uint8_t* bytes, size_t size, ScreenshotBitmap& bitmap);

// The cursor file as read: the position, and the images that were read whole.
// One rule for a damaged part: it is refused (with every part after it, which
// can no longer be found), what was whole is kept, and the caller says so.
struct CursorFile {
    CursorImage image;    // position; flags = the parts read whole, with their headers and bits
    uint32_t refused = 0; // parts the flags announce that were damaged: cut short, a header
                          // that is not 40 bytes, or larger than a cursor sample holds
    bool damaged = false; // a part refused, the head cut short, unknown flags or bytes left over
};

// Nothing when not even the position is there (fewer than 8 bytes).
std::optional<CursorFile> readCursorFile(const uint8_t* bytes, size_t size);
inline std::optional<CursorFile> readCursorFile(const std::vector<uint8_t>& bytes) {
    return readCursorFile(bytes.data(), bytes.size());
}

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

#include <gtest/gtest.h>

#include "shot/capture_area.h"
#include "screenshots/screenshot_files.h"
#include "shot_test_helpers.h"

namespace quillon {
namespace {

using shot_test::FakeSurface;
using shot_test::le16At;
using shot_test::le32At;

// A full-screen shot of a 1920 × 1080 × 32 screen, through the clamp, the row
// copy and the file writer, read back by the reader.
TEST(ScreenshotBitmapFile, FullScreen1920x1080At32Bits) {
    ShotGeometry geometry;
    geometry.screenWidth = 1920;
    geometry.screenHeight = 1080;
    geometry.desktop = {0, 0, 1920, 1080};
    auto area = captureArea(geometry, CaptureMode::FullScreen);
    ASSERT_TRUE(area);
    FakeSurface screen(1920, 1080, 32);
    CapturedImage image;
    ASSERT_TRUE(copySurfaceRows(screen.lockedAt(0, 0), area->rect.width(), area->rect.height(), image));

    std::vector<uint8_t> file = buildBitmapFile(image);
    EXPECT_EQ(file.size(), 8282526u);
    EXPECT_EQ(le16At(file, 0), 0x4D42);
    EXPECT_EQ(le32At(file, 2), 8282526u);
    EXPECT_EQ(le32At(file, 6), 0u);
    EXPECT_EQ(le32At(file, 10), 122u);
    EXPECT_EQ(le32At(file, 14), 108u);
    EXPECT_EQ(static_cast<int32_t>(le32At(file, 18)), 1919);
    EXPECT_EQ(static_cast<int32_t>(le32At(file, 22)), -1079);
    EXPECT_EQ(le16At(file, 26), 1);
    EXPECT_EQ(le16At(file, 28), 32);
    EXPECT_EQ(le32At(file, 30), 0u);
    EXPECT_EQ(le32At(file, 34), 8282404u);
    for (size_t offset = 38; offset < 122; offset += 4) {
        EXPECT_EQ(le32At(file, offset), 0u) << "offset " << offset;
    }

    auto view = readBitmapFile(file);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->stride, 7676u);
    EXPECT_EQ(view->width, 1919);
    EXPECT_EQ(view->height, 1079);
    EXPECT_TRUE(view->topDown);
    // Rows top to bottom, straight from the surface.
    for (auto [x, y] : {std::pair{0, 0}, {1918, 0}, {0, 1078}, {1918, 1078}, {777, 333}}) {
        const uint8_t* p = screen.bytes.data() + static_cast<size_t>(y) * 7680 + static_cast<size_t>(x) * 4;
        uint32_t expected = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
        EXPECT_EQ(bitmapPixel(*view, x, y), expected) << x << "," << y;
    }
}

TEST(ScreenshotBitmapFile, SixteenBitsUseRgb565BitFields) {
    FakeSurface screen(640, 40, 16, 64); // a pitch wider than the rows
    CapturedImage image;
    ASSERT_TRUE(copySurfaceRows(screen.lockedAt(10, 5), 101, 20, image));
    EXPECT_EQ(image.stride, 204u);
    std::vector<uint8_t> file = buildBitmapFile(image);
    EXPECT_EQ(le16At(file, 28), 16);
    EXPECT_EQ(le32At(file, 30), 3u);
    EXPECT_EQ(le32At(file, 34), 204u * 20);
    EXPECT_EQ(le32At(file, 54), 0xF800u);
    EXPECT_EQ(le32At(file, 58), 0x07E0u);
    EXPECT_EQ(le32At(file, 62), 0x001Fu);
    EXPECT_EQ(le32At(file, 66), 0u);
    EXPECT_EQ(file.size(), 122u + 204 * 20);
    // Row 7 of the file is row 12 of the surface from column 10, stepped by the pitch.
    const uint8_t* source = screen.bytes.data() + 12 * static_cast<size_t>(screen.pitch) + 20;
    EXPECT_EQ(0, std::memcmp(file.data() + 122 + 7 * 204, source, 204));

    auto view = readBitmapFile(file);
    ASSERT_TRUE(view);
    uint16_t raw = static_cast<uint16_t>(source[0] | source[1] << 8);
    uint32_t r = raw >> 11, g = (raw >> 5) & 0x3F, b = raw & 0x1F;
    EXPECT_EQ(bitmapPixel(*view, 0, 7), ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2));
}

TEST(ScreenshotBitmapFile, RowCopyRefusesSurfacesThatCannotHoldTheRows) {
    FakeSurface screen(100, 10, 32);
    CapturedImage image;
    struct Case {
        const char* what;
        LockedSurface locked;
        int32_t width, height;
    } cases[] = {
        {"pitch shorter than a row", {screen.bytes.data(), 100, 32}, 50, 2},
        {"no memory", {nullptr, 400, 32}, 10, 2},
        {"no depth", {screen.bytes.data(), 400, 0}, 10, 2},
        {"empty rectangle", {screen.bytes.data(), 400, 32}, 0, 2},
        {"negative height", {screen.bytes.data(), 400, 32}, 10, -1},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(copySurfaceRows(c.locked, c.width, c.height, image)) << c.what;
    }
}

std::vector<uint8_t> validBitmap() {
    FakeSurface screen(8, 4, 32);
    CapturedImage image;
    copySurfaceRows(screen.lockedAt(0, 0), 7, 3, image);
    return buildBitmapFile(image);
}

TEST(ScreenshotBitmapFile, ReaderRefusesDamagedFiles) {
    ASSERT_TRUE(readBitmapFile(validBitmap()));
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        int width; // bytes written at offset
    } cases[] = {
        {"type", 0, 0x4D43, 2},
        {"pixel offset", 10, 54, 4},
        {"header size", 14, 12, 4},
        {"header beyond the file", 14, 4096, 4},
        {"zero width", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFF0u, 4},
        {"zero height", 22, 0, 4},
        {"most negative height", 22, 0x80000000u, 4},
        {"height beyond the pixels", 22, static_cast<uint32_t>(-4), 4},
        {"planes", 26, 2, 2},
        {"eight bits", 28, 8, 2},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = validBitmap();
        std::memcpy(file.data() + c.offset, &c.value, static_cast<size_t>(c.width));
        EXPECT_FALSE(readBitmapFile(file)) << c.what;
    }
    std::vector<uint8_t> truncated = validBitmap();
    truncated.pop_back();
    EXPECT_FALSE(readBitmapFile(truncated)) << "truncated pixels";
    EXPECT_FALSE(readBitmapFile(std::vector<uint8_t>(121, 0))) << "short header";
}

CursorImage monochromeArrow() {
    CursorImage cursor;
    cursor.showing = true;
    cursor.flags = kCursorHasMask;
    cursor.maskHeader.width = 32;
    cursor.maskHeader.height = 64; // AND mask over XOR mask
    cursor.maskHeader.bitCount = 32;
    cursor.maskHeader.imageSize = dibRowSize(32, 32) * 64;
    cursor.maskBits.assign(cursor.maskHeader.imageSize, 0xA5);
    return cursor;
}

TEST(ScreenshotCursorFile, CursorNotRecordedGivesTwelveBytes) {
    CursorImage hidden = monochromeArrow();
    hidden.flags = 0;
    for (const CursorImage* shape : std::initializer_list<const CursorImage*>{nullptr, &hidden}) {
        std::vector<uint8_t> file = buildCursorFile({512, 300}, shape);
        EXPECT_EQ(file, std::vector<uint8_t>(12, 0));
        auto view = readCursorFile(file);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->image.flags, 0u);
        EXPECT_FALSE(view->damaged);
    }
}

TEST(ScreenshotCursorFile, MonochromeArrowHasOnlyItsDoubleHeightMask) {
    CursorImage arrow = monochromeArrow();
    std::vector<uint8_t> file = buildCursorFile({-3, 17}, &arrow);
    ASSERT_EQ(file.size(), 12u + 40 + 128 * 64);
    EXPECT_EQ(static_cast<int32_t>(le32At(file, 0)), -3);
    EXPECT_EQ(le32At(file, 4), 17u);
    EXPECT_EQ(le32At(file, 8), 1u);
    EXPECT_EQ(le32At(file, 12), 40u);
    EXPECT_EQ(le32At(file, 16), 32u);
    EXPECT_EQ(le32At(file, 20), 64u);
    EXPECT_EQ(le16At(file, 24), 1);
    EXPECT_EQ(le16At(file, 26), 32);
    EXPECT_EQ(le32At(file, 32), 128u * 64);
    EXPECT_EQ(file[52], 0xA5);
    auto view = readCursorFile(file);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->image.maskHeader.height, 2 * view->image.maskHeader.width);
    EXPECT_EQ(view->image.flags, 1u);
    EXPECT_EQ(view->image.maskBits.size(), 128u * 64);
}

TEST(ScreenshotCursorFile, ColourCursorCarriesMaskThenColour) {
    CursorImage cursor = monochromeArrow();
    cursor.flags = kCursorHasMask | kCursorHasColour;
    cursor.maskHeader.height = 32;
    cursor.maskHeader.bitCount = 16;
    cursor.maskHeader.imageSize = dibRowSize(32, 16) * 32;
    cursor.maskBits.assign(cursor.maskHeader.imageSize, 1);
    cursor.colourHeader = cursor.maskHeader;
    cursor.colourBits.assign(cursor.colourHeader.imageSize - 10, 2); // short: padded with zeros
    std::vector<uint8_t> file = buildCursorFile({5, 6}, &cursor);
    ASSERT_EQ(file.size(), 12u + 2 * (40 + 64 * 32));
    auto view = readCursorFile(file);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->image.flags, 3u);
    EXPECT_EQ(view->image.colourBits.front(), 2);
    EXPECT_EQ(view->image.colourBits.back(), 0);
    EXPECT_EQ(view->image.maskBits.front(), 1);
}

TEST(ScreenshotCursorFile, ReaderFindsDamagedFiles) {
    CursorImage arrow = monochromeArrow();
    std::vector<uint8_t> good = buildCursorFile({1, 2}, &arrow);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"shorter than its head", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"unknown flag", [] { auto b = std::vector<uint8_t>(12, 0); b[8] = 4; return b; }()},
        {"mask announced, none there", [] { auto b = std::vector<uint8_t>(12, 0); b[8] = 1; return b; }()},
        {"mask cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"bytes left over", [&] { auto b = good; b.push_back(0); return b; }()},
        {"header size not 40", [&] { auto b = good; b[12] = 108; return b; }()},
        {"image size beyond the file", [&] { auto b = good; b[33] = 0x7F; return b; }()},
    };
    for (const Case& c : cases) {
        auto file = readCursorFile(c.bytes);
        EXPECT_TRUE(!file || file->damaged) << c.what;
    }
}

TEST(ScreenshotNames, BaseNameIsFolderPathAndTimeStamp) {
    struct Case {
        LocalTime time;
        const char* stamp;
    } cases[] = {
        {{.year = 2016, .month = 3, .day = 7, .hour = 9, .minute = 5, .second = 2}, "20160307090502"},
        {{.year = 2026, .month = 12, .day = 31, .hour = 23, .minute = 59, .second = 59}, "20261231235959"},
        {{.year = 999, .month = 1, .day = 1, .hour = 0, .minute = 0, .second = 0}, "09990101000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(screenshotBaseName("C:\\Quillon", "\\ScreenShot\\", c.time),
                  std::string("C:\\Quillon\\ScreenShot\\") + c.stamp);
    }
    ScreenshotFileNames names = screenshotFileNames("D:\\x\\20160307090502", "bmp", "cfg", "dat");
    EXPECT_EQ(names.bitmap, "D:\\x\\20160307090502.bmp");
    EXPECT_EQ(names.settings, "D:\\x\\20160307090502.cfg");
    EXPECT_EQ(names.cursor, "D:\\x\\20160307090502.dat");
}

} // namespace
} // namespace quillon

namespace quillon {
namespace {

// 16-bit pixels as the header's bit fields say (the GDI method may report
// 5-5-5 where the DirectDraw methods give 5-6-5).
TEST(ScreenshotBitmapFile, SixteenBitPixelsFollowTheHeaderMasks) {
    struct Case {
        const char* what;
        uint32_t compression, red, green, blue;
        uint16_t raw;
        uint32_t rgb;
    } cases[] = {
        {"565 white", kDibBitFields, 0xF800, 0x07E0, 0x001F, 0xFFFF, 0xFFFFFF},
        {"565 pure green", kDibBitFields, 0xF800, 0x07E0, 0x001F, 0x07E0, 0x00FF00},
        {"565 mid grey", kDibBitFields, 0xF800, 0x07E0, 0x001F, (16 << 11) | (32 << 5) | 16, 0x848284},
        {"555 by bit fields", kDibBitFields, 0x7C00, 0x03E0, 0x001F, 0x7FFF, 0xFFFFFF},
        {"555 red 1", kDibBitFields, 0x7C00, 0x03E0, 0x001F, 1 << 10, 0x080000},
        {"plain RGB is 555", kDibRgb, 0, 0, 0, 0x03E0, 0x00FF00},
    };
    for (const Case& c : cases) {
        CapturedImage image;
        image.width = 2;
        image.height = 1;
        image.stride = 4;
        image.bitsPerPixel = 16;
        image.compression = c.compression;
        image.redMask = c.red;
        image.greenMask = c.green;
        image.blueMask = c.blue;
        image.imageSize = 4;
        image.pixels = {static_cast<uint8_t>(c.raw), static_cast<uint8_t>(c.raw >> 8), 0, 0};
        std::vector<uint8_t> file = buildBitmapFile(image);
        auto view = readBitmapFile(file);
        ASSERT_TRUE(view) << c.what;
        EXPECT_EQ(bitmapPixel(*view, 0, 0), c.rgb) << c.what;
        EXPECT_EQ(bitmapPixel(*view, 1, 0), 0u) << c.what;
    }
}

} // namespace
} // namespace quillon

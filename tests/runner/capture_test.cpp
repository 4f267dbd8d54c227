// Capture rules on the synthetic screen: target rectangles and clipping,
// unusable targets, the 51 ms reuse rule with the depth check, the cursor's
// 100 ms rule, and screens loaded from BMP files.
#include "runner/capture.h"
#include "runner/synthetic_screen.h"

#include "base/byte_order.h"

#include <gtest/gtest.h>

namespace quillon::runner {
namespace {

TEST(ClipTarget, RectanglesByTheRules) {
    const Size screen{1920, 1080};
    struct Case {
        Rect raw;
        bool usable;
        Rect clipped;
    } cases[] = {
        {{0, 0, 1920, 1080}, true, {0, 0, 1919, 1079}},      // the whole screen: (W-1) x (H-1)
        {{-8, -8, 1928, 1048}, true, {0, 0, 1919, 1048}},    // a maximised window
        {{100, 50, 500, 400}, true, {100, 50, 500, 400}},
        {{1920, 0, 2400, 500}, false, {}},                   // wholly right of the screen
        {{-500, 0, -10, 500}, false, {}},                    // wholly left
        {{-500, 0, 0, 500}, false, {}},                      // nothing left after clipping
        {{10, 1100, 400, 1300}, false, {}},                  // wholly below
    };
    for (const Case& c : cases) {
        Rect out{};
        EXPECT_EQ(clipTarget(c.raw, screen, out), c.usable) << c.raw.left << "," << c.raw.top;
        if (c.usable) {
            EXPECT_EQ(out, c.clipped);
        }
    }
    EXPECT_EQ(dibRowSize(3, 32), 12u);
    EXPECT_EQ(dibRowSize(3, 16), 8u);
    EXPECT_EQ(dibRowSize(5, 24), 16u);
}

struct CaptureFixture : ::testing::Test {
    VirtualClock clock{5000};
    SyntheticScreen screen{200, 100, 0x101010};
    ScreenCapture capture{screen, clock};
    void SetUp() override { ASSERT_TRUE(capture.startRun()); }
};

TEST_F(CaptureFixture, TargetsTakeTheirRectangles) {
    screen.setForegroundWindow({-8, 10, 120, 90}, {0, 30, 112, 82});
    screen.setPixel(0, 30, 0xABCDEF);
    struct Case {
        CaptureTarget target;
        Rect origin;
    } cases[] = {{CaptureTarget::FullScreen, {0, 0, 199, 99}},
                 {CaptureTarget::Window, {0, 10, 120, 90}},
                 {CaptureTarget::ClientArea, {0, 30, 112, 82}}};
    for (const Case& c : cases) {
        capture.setTarget(c.target);
        ASSERT_EQ(capture.captureScreen(), CaptureStatus::Ok);
        EXPECT_EQ(capture.buffer().origin, c.origin);
        EXPECT_EQ(capture.buffer().width, c.origin.right - c.origin.left);
        EXPECT_EQ(capture.buffer().height, c.origin.bottom - c.origin.top);
        EXPECT_EQ(capture.buffer().stride, capture.buffer().width * 4);
    }
    // Client area: its top-left pixel is the buffer's first.
    const uint8_t* p = capture.frame().pixel(0, 0);
    EXPECT_EQ(p[0] | (p[1] << 8) | (p[2] << 16), 0xABCDEF);
}

TEST_F(CaptureFixture, UnusableTargetsAndFailedCopies) {
    capture.setTarget(CaptureTarget::ClientArea);
    screen.removeForegroundWindow();
    EXPECT_EQ(capture.captureScreen(), CaptureStatus::UnusableTarget);
    screen.setForegroundWindow({300, 0, 400, 50}, {300, 0, 400, 50});
    EXPECT_EQ(capture.captureScreen(), CaptureStatus::UnusableTarget);
    EXPECT_EQ(screen.copies(), 0);
    screen.setForegroundWindow({0, 0, 50, 50}, {0, 0, 50, 50});
    screen.failCopies(true);
    EXPECT_EQ(capture.captureScreen(), CaptureStatus::BitmapFailed);
}

TEST_F(CaptureFixture, CapturesCloserThan51MsShareOneCopy) {
    capture.setTarget(CaptureTarget::FullScreen);
    EXPECT_TRUE(capture.freshCapture().usable);
    clock.advance(30);
    EXPECT_TRUE(capture.freshCapture().usable);
    EXPECT_EQ(screen.copies(), 1);
    clock.advance(20); // 50 ms after the copy
    capture.freshCapture();
    EXPECT_EQ(screen.copies(), 1);
    clock.advance(1); // 51 ms
    capture.freshCapture();
    EXPECT_EQ(screen.copies(), 2);
}

TEST_F(CaptureFixture, SixteenBitScreensAreNeverUsable) {
    capture.setTarget(CaptureTarget::FullScreen);
    screen.setBitsPerPixel(16);
    const FreshCapture first = capture.freshCapture();
    EXPECT_EQ(first.status, CaptureStatus::Ok);
    EXPECT_FALSE(first.usable);
    EXPECT_EQ(capture.buffer().bitsPerPixel, 16);
    EXPECT_EQ(capture.buffer().stride, 199 * 2 + 2);
    // Reusing the 16-bit buffer 30 ms later does not make it readable.
    clock.advance(30);
    EXPECT_FALSE(capture.freshCapture().usable);
    clock.advance(60);
    screen.setBitsPerPixel(32);
    EXPECT_TRUE(capture.freshCapture().usable);
}

TEST_F(CaptureFixture, CursorIsTakenAgainOnlyAfter100Ms) {
    CursorImage shape;
    shape.flags = kCursorHasMask;
    shape.drawPosition = {40, 50};
    screen.setCursor(shape);
    EXPECT_TRUE(capture.freshCursor());
    EXPECT_EQ(capture.cursor().drawPosition, (Point{40, 50}));
    clock.advance(100);
    EXPECT_TRUE(capture.freshCursor());
    EXPECT_EQ(screen.cursorReads(), 1);
    clock.advance(1);
    screen.setCursorReadable(false);
    EXPECT_FALSE(capture.freshCursor());
    EXPECT_EQ(screen.cursorReads(), 2);
}

std::vector<uint8_t> bmp(int width, int height, int bits, bool topDown) {
    const int stride = ((width * bits + 31) / 32) * 4;
    std::vector<uint8_t> f(54 + static_cast<size_t>(stride) * height);
    f[0] = 'B';
    f[1] = 'M';
    storeLe32(&f[2], static_cast<uint32_t>(f.size()));
    storeLe32(&f[10], 54);
    storeLe32(&f[14], 40);
    storeLe32(&f[18], static_cast<uint32_t>(width));
    storeLe32(&f[22], static_cast<uint32_t>(topDown ? -height : height));
    storeLe16(&f[26], 1);
    storeLe16(&f[28], static_cast<uint16_t>(bits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Pixel (x, y) of the picture: blue = x, green = y, red = 7.
            const int row = topDown ? y : height - 1 - y;
            uint8_t* p = &f[54 + static_cast<size_t>(row) * stride + static_cast<size_t>(x) * (bits / 8)];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
        }
    return f;
}

TEST(SyntheticScreenBmp, LoadsBottomUpAndTopDownPictures) {
    for (int bits : {24, 32})
        for (bool topDown : {false, true}) {
            auto screen = SyntheticScreen::fromBmp(bmp(5, 3, bits, topDown));
            ASSERT_TRUE(screen.has_value());
            EXPECT_EQ(screen->width(), 5);
            EXPECT_EQ(screen->pixel(4, 2), 0x070204u);
            EXPECT_EQ(screen->pixel(1, 0), 0x070001u);
        }
    std::vector<uint8_t> cut = bmp(5, 3, 24, false);
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(SyntheticScreen::fromBmp(cut).has_value());
    EXPECT_FALSE(SyntheticScreen::fromBmp(std::vector<uint8_t>(20, 'B')).has_value());
}

} // namespace
} // namespace quillon::runner

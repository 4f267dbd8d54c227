#include <gtest/gtest.h>

#include "shot/capture_area.h"

namespace quillon {
namespace {

ShotGeometry screen1280x800() {
    ShotGeometry g;
    g.screenWidth = 1280;
    g.screenHeight = 800;
    g.desktop = {0, 0, 1280, 800};
    g.hasForeground = true;
    g.window = {100, 50, 500, 350};
    g.client = {108, 80, 492, 342};
    g.cursor = {300, 200};
    return g;
}

TEST(CaptureArea, ModeFollowsTheSettingsFullScreenFirst) {
    EXPECT_EQ(captureModeOf(0, 0), CaptureMode::ClientWindow);
    EXPECT_EQ(captureModeOf(1, 0), CaptureMode::FramedWindow);
    EXPECT_EQ(captureModeOf(1, 1), CaptureMode::FullScreen);
    EXPECT_EQ(captureModeOf(0, 1), CaptureMode::FullScreen);
    EXPECT_EQ(captureModeOf(2, 2), CaptureMode::ClientWindow);
}

TEST(CaptureArea, RectangleAndCursorPerMode) {
    struct Case {
        const char* what;
        CaptureMode mode;
        Rect window, client;
        Rect rect;
        Point cursor;
    } cases[] = {
        {"full screen: one pixel in at right and bottom", CaptureMode::FullScreen, {}, {}, {0, 0, 1279, 799}, {300, 200}},
        {"framed window", CaptureMode::FramedWindow, {100, 50, 500, 350}, {}, {100, 50, 500, 350}, {200, 150}},
        {"client area", CaptureMode::ClientWindow, {}, {108, 80, 492, 342}, {108, 80, 492, 342}, {192, 120}},
        {"maximised window at -8 starts at column 0, cursor stays window-relative", CaptureMode::FramedWindow,
         {-8, -8, 1288, 768}, {}, {0, 0, 1279, 768}, {308, 208}},
        {"window partly off the left edge", CaptureMode::ClientWindow, {}, {-150, 100, 350, 400}, {0, 100, 350, 400},
         {450, 100}},
        {"window past the bottom right", CaptureMode::FramedWindow, {1000, 600, 1400, 900}, {}, {1000, 600, 1279, 799},
         {-700, -400}},
    };
    for (const Case& c : cases) {
        ShotGeometry g = screen1280x800();
        g.window = c.window;
        g.client = c.client;
        auto area = captureArea(g, c.mode);
        ASSERT_TRUE(area) << c.what;
        EXPECT_EQ(area->rect.left, c.rect.left) << c.what;
        EXPECT_EQ(area->rect.top, c.rect.top) << c.what;
        EXPECT_EQ(area->rect.right, c.rect.right) << c.what;
        EXPECT_EQ(area->rect.bottom, c.rect.bottom) << c.what;
        EXPECT_EQ(area->cursor.x, c.cursor.x) << c.what;
        EXPECT_EQ(area->cursor.y, c.cursor.y) << c.what;
    }
}

TEST(CaptureArea, NothingToTakeWhenNoWindowOrAllOffScreen) {
    ShotGeometry g = screen1280x800();
    g.hasForeground = false;
    EXPECT_FALSE(captureArea(g, CaptureMode::ClientWindow));
    EXPECT_FALSE(captureArea(g, CaptureMode::FramedWindow));
    EXPECT_TRUE(captureArea(g, CaptureMode::FullScreen)) << "the desktop needs no foreground window";

    g = screen1280x800();
    g.window = {1300, 10, 1600, 300}; // right of the screen
    EXPECT_FALSE(captureArea(g, CaptureMode::FramedWindow));
    g.client = {-500, 10, -100, 300}; // left of the screen
    EXPECT_FALSE(captureArea(g, CaptureMode::ClientWindow));
    g.client = {10, 10, 10, 300}; // minimised to nothing
    EXPECT_FALSE(captureArea(g, CaptureMode::ClientWindow));
}

TEST(CaptureArea, CursorIsRecordedOnlyStrictlyInsideWhenShowing) {
    Rect rect{100, 50, 500, 350};
    struct Case {
        bool showing;
        Point draw;
        bool recorded;
    } cases[] = {
        {true, {300, 200}, true},  {true, {101, 51}, true},   {true, {499, 349}, true},
        {true, {100, 200}, false}, {true, {500, 200}, false}, {true, {300, 50}, false},
        {true, {300, 350}, false}, {true, {-5, 200}, false},  {false, {300, 200}, false},
    };
    for (const Case& c : cases) {
        CursorImage cursor;
        cursor.showing = c.showing;
        cursor.drawPosition = c.draw;
        EXPECT_EQ(cursorIsRecorded(cursor, rect), c.recorded) << c.draw.x << "," << c.draw.y;
    }
}

} // namespace
} // namespace quillon

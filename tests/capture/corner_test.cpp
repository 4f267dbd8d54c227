// The corner rule that places the runner's status windows and shot-taker's
// button.
#include <gtest/gtest.h>

#include "capture/corner.h"

namespace quillon {
namespace {

TEST(PlaceInCorner, CornersFromTheSetting) {
    struct Case {
        int setting;
        int x, y;
    };
    // 1920 x 1080 screen, a 300 x 200 window, offsets 7 and 4.
    for (Case c : {Case{0, 1920 - 7 - 300, 1080 - 4 - 40 - 200}, Case{4, 1613, 836}, Case{-1, 1613, 836},
                   Case{1, 7, 836}, Case{2, 7, 4}, Case{3, 1613, 4}}) {
        Point p = placeInCorner(cornerFromSetting(c.setting), 1920, 1080, 300, 200, 7, 4);
        EXPECT_EQ(p.x, c.x) << c.setting;
        EXPECT_EQ(p.y, c.y) << c.setting;
    }
}

TEST(PlaceInCorner, ShotTakersButtonWindow) {
    struct Case {
        int32_t corner;
        Point at;
    } cases[] = {
        {1, {7, 1080 - 60 - 11 - 40}},
        {2, {7, 11}},
        {3, {1920 - 100 - 7, 11}},
        {0, {1920 - 100 - 7, 1080 - 60 - 11 - 40}},
        {4, {1920 - 100 - 7, 1080 - 60 - 11 - 40}},
        {-1, {1920 - 100 - 7, 1080 - 60 - 11 - 40}},
    };
    for (const Case& c : cases) {
        Point p = placeInCorner(cornerFromSetting(c.corner), 1920, 1080, 100, 60, 7, 11);
        EXPECT_EQ(p.x, c.at.x) << c.corner;
        EXPECT_EQ(p.y, c.at.y) << c.corner;
    }
}

} // namespace
} // namespace quillon

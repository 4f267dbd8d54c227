#include <gtest/gtest.h>

#include "runner/interpreter.h"
#include "runner/preview_fit.h"

namespace quillon::runner {
namespace {

TEST(PreviewFit, PicturesFitTheirBoxKeepingTheirProportions) {
    struct Case {
        int boxW, boxH, srcW, srcH;
        PreviewPlacement expected;
    };
    const Case cases[] = {
        // A 60 x 60 image in a larger box: its own size, centred.
        {200, 100, 60, 60, {70, 20, 60, 60}},
        // Taller than the box: the inner height, width in proportion.
        {200, 100, 50, 194, {87, 1, 25, 97}},
        // Wider than the box: the inner width, height in proportion.
        {200, 100, 392, 98, {2, 25, 196, 49}},
        // Wide and tall: scaled by the long side, then by the other.
        {100, 100, 1919, 1079, {2, 23, 96, 53}},
        {100, 60, 400, 300, {12, 1, 76, 57}},
        // Degenerate sizes never give an empty or negative drawing.
        {10, 10, 0, 0, {4, 4, 1, 1}},
    };
    for (const Case& c : cases) {
        PreviewPlacement p = fitPreview(c.boxW, c.boxH, c.srcW, c.srcH);
        EXPECT_EQ(p.x, c.expected.x) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(p.y, c.expected.y) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(p.width, c.expected.width) << c.srcW << "x" << c.srcH;
        EXPECT_EQ(p.height, c.expected.height) << c.srcW << "x" << c.srcH;
    }
}

} // namespace
} // namespace quillon::runner

namespace quillon::runner {
namespace {

TEST(DateConditionDisplay, FormatHasOnlyThePartsTheConditionUses) {
    EXPECT_EQ(dateConditionFormat(0x7F), "yyyy'년 'M'월 'd'일 'dddd' 'H'시 'm'분 's'초'");
    EXPECT_EQ(dateConditionFormat(0x44), "yyyy'년 'H'시 '");
    EXPECT_EQ(dateConditionFormat(0x10), "dddd' '");
    EXPECT_EQ(dateConditionFormat(0), "");
}

} // namespace
} // namespace quillon::runner

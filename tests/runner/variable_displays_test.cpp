#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "runner/variable_displays.h"

namespace quillon::runner {
namespace {

using Kind = VariableDisplay::Kind;

ImageBlock imageOf(int width, int height) {
    ImageBlock image(static_cast<analyzer::RecognitionImage*>(std::calloc(1, sizeof(analyzer::RecognitionImage))));
    image->width = width;
    image->height = height;
    // Row r, column c: blue = r, green = c.
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            image->pixels[r * analyzer::kImageRowStride + c * 4] = static_cast<uint8_t>(r);
            image->pixels[r * analyzer::kImageRowStride + c * 4 + 1] = static_cast<uint8_t>(c);
        }
    }
    return image;
}

TEST(VariableDisplays, EachTypeShowsItsOwnWay) {
    const DisplayTarget window{false, true, {100, 100}};
    const DisplayTarget fullScreen{true, true, {0, 0}};
    const auto names = [](int item) { return item == 4 ? std::string("사냥") : std::string("?"); };
    Variable number;
    number.value = -42;
    Variable monitorPoint;
    monitorPoint.type = VarPoint;
    monitorPoint.x = 200;
    monitorPoint.y = 300;
    monitorPoint.coordinateMode = kMonitorCoordinates;
    Variable windowPoint = {};
    windowPoint.type = VarRangeMatch;
    windowPoint.x = 7;
    windowPoint.y = 8;
    Variable colour;
    colour.type = VarColour;
    colour.red = 0x12;
    colour.green = 0x34;
    colour.blue = 0x56;
    Variable previous;
    previous.type = VarPreviousItem;
    previous.previousItem = 4;
    Variable date;
    date.type = VarDateNumber;
    date.value = 20261210;
    const struct {
        const Variable* variable;
        const DisplayTarget* target;
        Kind kind;
        const char* text;
        uint32_t colour;
    } cases[] = {
        {&number, &window, Kind::Text, "-42", 0},
        {&date, &window, Kind::Text, "20261210", 0},
        // A monitor point goes through the captured window's origin, on two lines.
        {&monitorPoint, &window, Kind::Text, "X=100\r\nY=200", 0},
        // A full-screen capture shows it as it is.
        {&monitorPoint, &fullScreen, Kind::Text, "X=200\r\nY=300", 0},
        {&windowPoint, &window, Kind::Text, "X=7\r\nY=8", 0},
        {&colour, &window, Kind::Fill, "", 0x123456},
        {&previous, &window, Kind::Text, "사냥", 0},
    };
    for (const auto& c : cases) {
        const VariableDisplay shown = variableDisplayOf(*c.variable, *c.target, names);
        EXPECT_EQ(shown.kind, c.kind) << c.text;
        EXPECT_EQ(shown.text, c.text);
        EXPECT_EQ(shown.colour, c.colour) << c.text;
    }
    // An image variable is its picture: width x height pixels, rows packed.
    Variable image;
    image.type = VarImage;
    image.valid = true;
    image.image = imageOf(3, 2);
    const VariableDisplay picture = variableDisplayOf(image, window, names);
    ASSERT_EQ(picture.kind, Kind::Picture);
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    ASSERT_EQ(picture.pixels.size(), 24u);
    EXPECT_EQ(picture.pixels[(1 * 3 + 2) * 4], 1);     // row 1 blue
    EXPECT_EQ(picture.pixels[(1 * 3 + 2) * 4 + 1], 2); // column 2 green
    // An image variable without an image shows an empty display.
    image.valid = false;
    EXPECT_EQ(variableDisplayOf(image, window, names).kind, Kind::Text);
}

TEST(VariableDisplays, OnlyTheMainWindowTakesChanges) {
    auto variables = std::make_unique<std::array<Variable, 1000>>();
    std::array<int, kVariableDisplayCount> choices;
    choices.fill(-1);
    choices[0] = 0;
    choices[1] = 5;
    choices[2] = 5;
    (*variables)[0].value = 1;
    (*variables)[5].value = 2;
    (*variables)[5].changed = true;
    VariableDisplays displays;
    const DisplayTarget target;
    // Mini window: nothing drawn, the flags stay for later.
    EXPECT_TRUE(displays.refresh(*variables, choices, false, target, nullptr).empty());
    EXPECT_TRUE((*variables)[5].changed);
    // Main window: the first showing fills every chosen display, flags cleared.
    auto updates = displays.refresh(*variables, choices, true, target, nullptr);
    ASSERT_EQ(updates.size(), 3u);
    EXPECT_EQ(updates[2].display, 2);
    EXPECT_EQ(updates[2].content.text, "2");
    EXPECT_FALSE((*variables)[5].changed);
    // Nothing changed: nothing drawn. A change reaches both displays of it.
    EXPECT_TRUE(displays.refresh(*variables, choices, true, target, nullptr).empty());
    (*variables)[5].value = 9;
    (*variables)[5].changed = true;
    updates = displays.refresh(*variables, choices, true, target, nullptr);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].display, 1);
    EXPECT_EQ(updates[1].content.text, "9");
    // Another choice, and a new analyzer: the display is drawn again.
    choices[0] = 5;
    EXPECT_EQ(displays.refresh(*variables, choices, true, target, nullptr).size(), 1u);
    displays.reset();
    EXPECT_EQ(displays.refresh(*variables, choices, true, target, nullptr).size(), 3u);
}

} // namespace
} // namespace quillon::runner

// What a watcher is told: how similar a comparison came, the conditions of
// one item tested on a still screenshot, and each evaluated item of a run.
#include "tests/runner/interpreter_fixture.h"

#include "runner/colour_distance.h"
#include "runner/run_trace.h"

#include <chrono>
#include <cstring>

namespace quillon::runner::testing {
namespace {

using namespace analyzer;

// 0x00RRGGBB at a pixel of a recognition image.
void paint(RecognitionImage& image, int x, int y, uint32_t rgb) {
    uint8_t* p = image.pixels + y * kImageRowStride + x * 4;
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
}

// A two-coloured 12 x 12 image: a light square with a dark cross.
constexpr uint32_t kLight = 0x3366CC, kDark = 0x102030;
uint32_t pictureAt(int x, int y) { return x == 5 || y == 7 ? kDark : kLight; }
void drawPicture(RecognitionImage& image) {
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) paint(image, x, y, pictureAt(x, y));
}
void drawPicture(SyntheticScreen& screen, int left, int top) {
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) screen.setPixel(left + x, top + y, pictureAt(x, y));
}

Condition colourAt(int x, int y, uint32_t rgb, int similarity) {
    return condition(CondImage, {{4, CompareWithColour}, {8, cond::Image::AtCoordinates}, {20, x}, {24, y},
                                           {32, similarity}, {40, static_cast<int32_t>(rgb)}});
}

TEST(Similarity, TheHighestSettingAtWhichEveryComparedPixelMatches) {
    // Against the one colour rule itself: matches at S, not at S + 1.
    for (int32_t d = 0; d <= 3 * 255 * 255; d += d < 3000 ? 1 : 97) {
        const int s = similarityOfDistance(d);
        ASSERT_LE(d, squaredLimit(s)) << d;
        if (s < 100) {
            ASSERT_GT(d, squaredLimit(s + 1)) << d;
        }
    }
    SyntheticScreen screen(40, 30, 0x808080);
    const FrameView frame{screen.row(0), 40, 30, 40 * 4};
    std::vector<uint8_t> pixels(kImageStride * 4, 0);
    ImageView image{pixels.data(), 3, 3};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) std::memset(pixels.data() + y * kImageStride + x * 4, 0x80, 3);
    struct Case { const char* what; uint32_t screenPixel; bool pattern; int expected; } cases[] = {
        {"identical", 0x808080, false, 100},
        {"one pixel 50 apart", 0x9EA880, false, 90}, // red +30, green +40: within 5 x 10
        {"one pixel 51 apart", 0x9EA88A, false, 89}, // and blue +10
        {"the odd pixel outside a pattern's selection", 0xFFFFFF, true, 100},
    };
    for (const Case& c : cases) {
        screen.fill(0x808080);
        screen.setPixel(11, 21, c.screenPixel);
        image.pattern = c.pattern;
        for (int i = 0; i < 9; ++i) pixels[(i / 3) * kImageStride + (i % 3) * 4 + 3] = i == 4 ? 0 : 1;
        EXPECT_EQ(imageSimilarity(frame, image, {10, 20}, false), c.expected) << c.what;
        // The comparison agrees: it holds at that setting and not above.
        EXPECT_EQ(testImage(frame, image, {10, 20}, c.expected, CompareMode::Same), kTestHeld) << c.what;
        if (c.expected < 100) {
            EXPECT_NE(testImage(frame, image, {10, 20}, c.expected + 1, CompareMode::Same), kTestHeld) << c.what;
        }
    }
    // A pattern's anchor counts in a range search whatever its mask byte says.
    image.anchorColumn = image.anchorRow = 1;
    EXPECT_EQ(imageSimilarity(frame, image, {10, 20}, true), 56); // white against grey: 220 apart
    EXPECT_EQ(imageSimilarity(frame, image, {38, 20}, false), -1); // off the capture
    // A colour: the one pixel's own distance.
    EXPECT_EQ(colourSimilarity(frame, {12, 22}, 0x80807B), 99);
    EXPECT_EQ(colourSimilarity(frame, {40, 0}, 0), -1);
}

struct StillTest : InterpreterFixture {
    SyntheticScreen shot{1920, 1080, 0xF0F0F0};
    StillTest() { shot.setForegroundWindow({0, 0, 1920, 1080}, {0, 0, 1920, 1080}); }
};

TEST_F(StillTest, EveryConditionIsEvaluatedOnTheScreenshotAndTheAnalyzerIsLeftAsItWas) {
    drawPicture(addImage(1, 406, 306, 12, 12));
    drawPicture(addImage(2, 0, 0, 12, 12));
    drawPicture(shot, 400, 300);
    // A near miss for the range search: one pixel 50 apart.
    drawPicture(shot, 1500, 900);
    shot.setPixel(1503, 902, 0x518ECC); // 0x3366CC with red +30, green +40
    RecognitionArea& area = model.image().areas[3];
    area.used = 1;
    area.left = 1000;
    area.top = 500;
    area.width = 900;
    area.height = 560;
    Item& item = addItem(true);
    add(item, colourAt(10, 10, 0x000000, 100)); // does not hold
    add(item, condition(CondImage, {{4, CompareWithImage}, {8, cond::Image::AtImage}, {12, 1}, {16, 1}, {32, 95}}));
    add(item, condition(CondRangeSearch, {{4, CompareWithImage}, {8, 3}, {16, 2}, {24, 1}, {32, 95}}));
    add(item, condition(CondTimer, {{8, 0}, {12, 0}, {20, 0}})); // timer 0 >= 0 s: holds at a run's start

    const std::vector<uint8_t> before(reinterpret_cast<const uint8_t*>(&model.image()),
                                      reinterpret_cast<const uint8_t*>(&model.image()) + sizeof(AnalyzerImage));
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ConditionSeen> seen = testConditionsOnScreen(model, item, shot);
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("still_test_ms", static_cast<int>(ms));

    ASSERT_EQ(seen.size(), 4u);
    EXPECT_FALSE(seen[0].held);
    EXPECT_TRUE(seen[0].located);
    EXPECT_EQ(seen[0].box, (Rect{10, 10, 11, 11}));
    EXPECT_EQ(seen[0].similarity, 16); // 0xF0F0F0 is 415.7 from black: within 5 x 84
    EXPECT_TRUE(seen[1].held);
    EXPECT_EQ(seen[1].box, (Rect{400, 300, 412, 312}));
    EXPECT_EQ(seen[1].x, 406);
    EXPECT_EQ(seen[1].similarity, 100);
    EXPECT_FALSE(seen[2].held);
    EXPECT_EQ(seen[2].area, (Rect{1000, 500, 1900, 1060}));
    ASSERT_TRUE(seen[2].located);
    EXPECT_EQ(seen[2].box, (Rect{1500, 900, 1512, 912}));
    EXPECT_EQ(seen[2].similarity, 90);
    EXPECT_TRUE(seen[3].held);
    EXPECT_EQ(seen[3].kind, CondTimer);
    EXPECT_FALSE(seen[3].located);

    EXPECT_EQ(0, std::memcmp(before.data(), &model.image(), before.size()));
    EXPECT_EQ(shot.copies(), 1); // one capture, as a run takes within 51 ms
}

} // namespace
} // namespace quillon::runner::testing

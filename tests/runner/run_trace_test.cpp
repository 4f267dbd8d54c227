// What a watcher is told: how similar a comparison came, the conditions of
// one item tested on a still screenshot, and each evaluated item of a run.
#include "tests/runner/interpreter_fixture.h"

#include "device/key_table.h"
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

// Light commands make good markers: one action each.
Command marker(int light) { return command(CmdDevice, {{4, light}, {8, 1}}); }

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

// ---- the run's own records ----------------------------------------------------

struct Recorder final : RunObserver {
    std::vector<ItemSeen> items;
    void itemSeen(const ItemSeen& item) override { items.push_back(item); }
};

struct Watched : InterpreterFixture {
    Recorder recorder;
    Watched() { settings.observer = &recorder; }
    void runItems(size_t count) {
        make();
        host.onItem = [this, count](int) {
            if (host.shownItems.size() >= count) interpreter->runActive.store(false);
        };
        interpreter->run();
    }
    static void name(Item& item, const char* text) { std::strncpy(item.name, text, sizeof item.name); }
    // Every action of every record, in order, against what the machine received.
    void expectSameActions() {
        std::vector<std::pair<uint8_t, std::vector<uint8_t>>> recorded, received;
        for (const ItemSeen& item : recorder.items)
            for (const Action& a : item.actions)
                recorded.emplace_back(a.code, std::vector<uint8_t>(a.operands.begin(), a.operands.begin() + a.operandCount));
        for (const Sent& s : actions()) received.emplace_back(s.code, s.operands);
        EXPECT_EQ(recorded, received);
    }
};

Command deviceCommand(int action) { return command(CmdDevice, {{4, action}, {8, 1}}); }

TEST_F(Watched, EachItemCarriesWhatItSawTheActionsTheMachineReceivedAndItsNextSlot) {
    // The client area starts at (108, 80): capture coordinates plus it are screen pixels.
    drawPicture(addImage(1, 46, 46, 12, 12));
    drawPicture(screen, 108 + 40, 80 + 40);
    drawPicture(screen, 108 + 200, 80 + 100); // a near miss of the second search
    screen.setPixel(108 + 203, 80 + 102, 0x518ECC);
    RecognitionArea* areas = model.image().areas;
    areas[0] = RecognitionArea{};
    areas[0].used = 1;
    areas[0].width = 150;
    areas[0].height = 120;
    areas[1] = areas[0];
    areas[1].left = 150;
    areas[1].top = 50;
    Item& a = addItem(true);
    name(a, "find");
    add(a, condition(CondRangeSearch, {{4, CompareWithImage}, {8, 0}, {16, 1}, {24, 1}, {32, 95}}));
    add(a, command(CmdMouse, {{4, cmd::Mouse::MoveToRangeMatch}, {28, 0}}));
    add(a, deviceCommand(cmd::Device::StopSound));
    add(a, command(CmdMouse, {{4, cmd::Mouse::Click}, {16, cmd::Mouse::Left}, {52, 30}}));
    const int rowA = static_cast<int>(*KeyTable(KeyNames::AnalyzerEditor).rowOfCode(0x04));
    add(a, command(CmdKey, {{4, cmd::Key::PressAndRelease}, {8, rowA}, {12, 20}}));
    add(a, command(CmdKey, {{4, cmd::Key::Press}, {8, rowA}}));
    Item& b = addItem(true);
    name(b, "miss");
    add(b, condition(CondRangeSearch, {{4, CompareWithImage}, {8, 1}, {16, 1}, {24, 1}, {32, 95}}));
    add(b, marker(0));
    make();
    host.onItem = [this](int) {
        const size_t shown = host.shownItems.size();
        if (shown == 3) {
            // The near miss moves: the next look measures the new picture.
            screen.fillRect(108 + 200, 80 + 100, 12, 12, 0xFFFFFF);
            drawPicture(screen, 108 + 160, 80 + 60);
            screen.setPixel(108 + 160, 80 + 60, 0x3366A4); // blue 40 apart
        }
        if (shown >= 5) interpreter->runActive.store(false);
    };
    interpreter->run();

    ASSERT_EQ(recorder.items.size(), 5u);
    const ItemSeen& found = recorder.items[0];
    EXPECT_EQ(found.name, "find");
    EXPECT_EQ(found.position, 0);
    EXPECT_TRUE(found.held);
    EXPECT_EQ(found.next, 1);
    EXPECT_EQ(found.nextName, "miss");
    EXPECT_EQ(found.screen, (Size{800, 600}));
    ASSERT_EQ(found.conditions.size(), 1u);
    const ConditionSeen& match = found.conditions[0];
    EXPECT_TRUE(match.held);
    EXPECT_EQ(match.area, (Rect{108, 80, 258, 200}));
    EXPECT_EQ(match.box, (Rect{148, 120, 160, 132}));
    EXPECT_EQ(match.x, 154);
    EXPECT_EQ(match.similarity, 100);
    EXPECT_EQ(actionTexts(found),
              (std::vector<std::string>{"move 154 126", "sound stop", "click left", "key A", "key down A"}));

    const ItemSeen& missed = recorder.items[1];
    EXPECT_EQ(missed.position, 1);
    EXPECT_FALSE(missed.held);
    EXPECT_TRUE(missed.actions.empty());
    EXPECT_EQ(missed.next, 0);
    ASSERT_EQ(missed.conditions.size(), 1u);
    EXPECT_FALSE(missed.conditions[0].held);
    EXPECT_EQ(missed.conditions[0].box, (Rect{308, 180, 320, 192})); // the near miss
    EXPECT_EQ(missed.conditions[0].similarity, 90);
    EXPECT_LE(recorder.items[0].tMs, recorder.items[1].tMs);
    EXPECT_EQ(recorder.items[2].item, 0);
    ASSERT_EQ(recorder.items[3].conditions.size(), 1u);
    EXPECT_EQ(recorder.items[3].conditions[0].box, (Rect{268, 140, 280, 152}));
    EXPECT_EQ(recorder.items[3].conditions[0].similarity, 92);
    expectSameActions();
}

TEST_F(Watched, RestartsStopsAndItemsWithoutConditionsGiveWholeRecords) {
    Item& fixedTrue = addItem(true);
    fixedTrue.ignoreMode = 1;
    add(fixedTrue, condition(CondRemote, {{4, 7}}));
    Item& fixedFalse = addItem(true);
    fixedFalse.ignoreMode = 2;
    Item& loads = addItem(true);
    add(loads, marker(1));
    Command load = command(CmdRunAnalyzer, {});
    std::memcpy(load.body + 4, "next.dat", 8);
    add(loads, load);
    loader.fill = [this](AnalyzerModel&) {
        Item& first = addItem(true);
        name(first, "first");
        add(first, marker(2));
        add(first, deviceCommand(cmd::Device::StopAnalyzer));
        add(first, marker(0)); // never reached
    };
    runItems(10);
    ASSERT_EQ(recorder.items.size(), 4u);
    EXPECT_TRUE(recorder.items[0].held); // "always true": held, nothing listed
    EXPECT_TRUE(recorder.items[0].conditions.empty());
    EXPECT_FALSE(recorder.items[1].held);
    EXPECT_TRUE(recorder.items[1].conditions.empty());
    // The item that loaded another analyzer goes on to the new one's first slot.
    const ItemSeen& loaded = recorder.items[2];
    EXPECT_EQ(loaded.position, 2);
    EXPECT_EQ(loaded.next, 0);
    EXPECT_EQ(loaded.nextName, "first");
    EXPECT_EQ(actionTexts(loaded), std::vector<std::string>{"light yellow on"});
    // Stopped in the middle: what was sent, and no next slot.
    const ItemSeen& stopped = recorder.items[3];
    EXPECT_EQ(stopped.name, "first");
    EXPECT_EQ(stopped.next, -1);
    EXPECT_EQ(actionTexts(stopped), std::vector<std::string>{"light green on"});
    expectSameActions();
}

TEST_F(Watched, TypingIsRecordedKeyByKey) {
    TypingSentence& s = model.sentenceTable().sentences[0];
    s.keyDownMs = s.keyUpMs = 10;
    const uint8_t keys[] = {0x84, 0x05};
    std::memcpy(s.keyCodes, keys, sizeof keys);
    s.keyCount = 2;
    host.imeOpen = false;
    add(addItem(true), command(CmdTypeSentence, {{4, 0}}));
    runItems(2);
    ASSERT_EQ(recorder.items.size(), 2u);
    EXPECT_EQ(actionTexts(recorder.items[0]), (std::vector<std::string>{"key 한/영", "key down 왼쪽Shift", "key A",
                                                                        "key up 왼쪽Shift", "key B"}));
    expectSameActions();
}

} // namespace
} // namespace quillon::runner::testing

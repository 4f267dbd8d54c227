// Each command kind, asserted on the action frames the simulated machine
// received (codes, operands and virtual times) and on the run state.
#include "tests/runner/interpreter_fixture.h"

#include "device/key_table.h"

#include <cstring>
#include <set>

namespace quillon::runner::testing {
namespace {

using namespace analyzer;
namespace ac = action_code;

int keyRow(uint8_t code) { return static_cast<int>(*KeyTable(KeyNames::AnalyzerEditor).rowOfCode(code)); }

struct Commands : InterpreterFixture {
    void SetUp() override { make(); }
    bool run(const Command& c) { return interpreter->runCommand(c); }
    Variable& var(int i) { return interpreter->state().variables[static_cast<size_t>(i)]; }
};

TEST_F(Commands, KeysPressReleaseAndHoldTimes) {
    const int a = keyRow(0x04);
    ASSERT_TRUE(run(command(CmdKey, {{4, 0}, {8, a}})));
    ASSERT_TRUE(run(command(CmdKey, {{4, 1}, {8, a}})));
    ASSERT_TRUE(run(command(CmdKey, {{4, 2}, {8, a}, {12, 0}})));  // hold 0: still 10 ms apart
    ASSERT_TRUE(run(command(CmdKey, {{4, 2}, {8, a}, {12, 35}})));
    const auto sent = actions();
    ASSERT_EQ(sent.size(), 6u);
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].code, i % 2 == 0 ? ac::kKeyDown : ac::kKeyUp);
        EXPECT_EQ(sent[i].operands, std::vector<uint8_t>{0x04});
    }
    EXPECT_EQ(sent[3].time - sent[2].time, 10u);
    EXPECT_EQ(sent[5].time - sent[4].time, 35u);
}

TEST_F(Commands, TypingAVariableValue) {
    struct Case { int64_t value; std::vector<uint8_t> keys; } cases[] = {
        {-305, {0x2D, 0x20, 0x27, 0x22}}, {0, {0x27}}, {1234567890, {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27}},
    };
    for (const Case& c : cases) {
        machine.resetToDefaults();
        const size_t before = actions().size();
        var(7).type = VarNumber;
        var(7).value = c.value;
        ASSERT_TRUE(run(command(CmdKey, {{4, 3}, {16, 7}, {12, 20}})));
        const auto sent = actions();
        ASSERT_EQ(sent.size() - before, c.keys.size() * 2) << c.value;
        for (size_t k = 0; k < c.keys.size(); ++k) {
            EXPECT_EQ(sent[before + 2 * k].code, ac::kKeyDown);
            EXPECT_EQ(sent[before + 2 * k].operands[0], c.keys[k]) << c.value;
            EXPECT_EQ(sent[before + 2 * k + 1].code, ac::kKeyUp);
            // Down, hold 20 ms, up, hold 20 ms.
            EXPECT_EQ(sent[before + 2 * k + 1].time - sent[before + 2 * k].time, 20u);
        }
    }
}

TEST_F(Commands, MouseButtonsWheelAndRelativeMoves) {
    ASSERT_TRUE(run(command(CmdMouse, {{4, 2}, {16, 1}, {52, 40}})));   // click
    ASSERT_TRUE(run(command(CmdMouse, {{4, 3}, {16, 2}, {52, 0}})));    // double-click
    ASSERT_TRUE(run(command(CmdMouse, {{4, 4}, {20, -3}})));            // wheel down 3
    ASSERT_TRUE(run(command(CmdMouse, {{4, 8}, {40, 5}, {44, 7}, {48, 3}})));  // right and up
    ASSERT_TRUE(run(command(CmdMouse, {{4, 8}, {40, 300}, {44, 2}, {48, 0}}))); // left, down; clamped
    const auto sent = actions();
    const std::vector<uint8_t> expected = {ac::kButtonDown, ac::kButtonUp, ac::kButtonDown, ac::kButtonUp, ac::kButtonDown,
                                           ac::kButtonUp, ac::kWheel, ac::kMoveBy, ac::kMoveBy};
    EXPECT_EQ(codes(), expected);
    EXPECT_EQ(sent[1].time - sent[0].time, 40u);
    EXPECT_EQ(sent[2].operands[0], 2);
    EXPECT_EQ(static_cast<int8_t>(sent[6].operands[0]), -3);
    EXPECT_EQ(static_cast<int8_t>(sent[7].operands[0]), 5);
    EXPECT_EQ(static_cast<int8_t>(sent[7].operands[1]), -7);
    EXPECT_EQ(static_cast<int8_t>(sent[8].operands[0]), -128);
    EXPECT_EQ(static_cast<int8_t>(sent[8].operands[1]), 2);
}

// The pixel a logged absolute move lands on.
Point landing(const Sent& s) {
    int x = 0, y = 0;
    fromDeviceScale({loadBe16(s.operands.data()), loadBe16(s.operands.data() + 2)}, 800, 600, x, y);
    return {x, y};
}

TEST_F(Commands, MovesConvertWindowCoordinatesByCaptureTarget) {
    struct Case { CaptureTarget target; int mode; Point expected; size_t beeps; } cases[] = {
        {CaptureTarget::ClientArea, kWindowCoordinates, {118, 100}, 0},
        {CaptureTarget::Window, kWindowCoordinates, {110, 70}, 1},      // beeps and adds the window's corner
        {CaptureTarget::FullScreen, kWindowCoordinates, {10, 20}, 1},
        {CaptureTarget::Window, kMonitorCoordinates, {10, 20}, 0},
    };
    for (const Case& c : cases) {
        host.beeps.clear();
        interpreter->capture().setTarget(c.target);
        ASSERT_TRUE(run(command(CmdMouse, {{4, 5}, {12, c.mode}, {32, 10}, {36, 20}})));
        EXPECT_EQ(landing(actions().back()), c.expected) << static_cast<int>(c.target);
        EXPECT_EQ(host.beeps.size(), c.beeps);
        if (c.beeps) {
            EXPECT_EQ(host.beeps[0], std::make_pair(300, 300));
        }
    }
    // The device scale: x = 0 is sent as 1.
    interpreter->capture().setTarget(CaptureTarget::FullScreen);
    ASSERT_TRUE(run(command(CmdMouse, {{4, 5}, {12, kMonitorCoordinates}, {32, 0}, {36, 599}})));
    EXPECT_EQ(loadBe16(actions().back().operands.data()), 1);
    EXPECT_EQ(loadBe16(actions().back().operands.data() + 2), 599 * 12000 / 600 + 1);
}

TEST_F(Commands, MovesToImagesMatchesAndVariables) {
    interpreter->capture().setTarget(CaptureTarget::ClientArea);
    ASSERT_TRUE(run(command(CmdMouse, {{4, 6}, {32, 50}, {36, 60}})));
    EXPECT_EQ(landing(actions().back()), (Point{158, 140}));
    // A range match that was not found: nothing is sent.
    const size_t before = actions().size();
    interpreter->state().rangeResults[4] = {0, 5, 5};
    ASSERT_TRUE(run(command(CmdMouse, {{4, 7}, {28, 4}})));
    EXPECT_EQ(actions().size(), before);
    interpreter->state().rangeResults[4] = {1, 30, 40};
    ASSERT_TRUE(run(command(CmdMouse, {{4, 7}, {28, 4}})));
    EXPECT_EQ(landing(actions().back()), (Point{138, 120}));
    // Variables: an unset point does nothing; a monitor point is used as is.
    var(3).type = VarPoint;
    ASSERT_TRUE(run(command(CmdMouse, {{4, 9}, {56, 3}})));
    EXPECT_EQ(actions().size(), before + 1);
    var(3).set = true;
    var(3).x = 700;
    var(3).y = 500;
    var(3).coordinateMode = kMonitorCoordinates;
    ASSERT_TRUE(run(command(CmdMouse, {{4, 9}, {56, 3}})));
    EXPECT_EQ(landing(actions().back()), (Point{700, 500}));
    // Random offsets stay within the spread.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(run(command(CmdMouse, {{4, 5}, {8, 1}, {12, kMonitorCoordinates}, {32, 400}, {36, 300}, {60, 3}})));
        const Point p = landing(actions().back());
        EXPECT_LE(std::abs(p.x - 400), 3);
        EXPECT_LE(std::abs(p.y - 300), 3);
    }
}

TEST_F(Commands, MacrosAreNotStartedOverAPlayingOne) {
    ASSERT_TRUE(run(command(CmdMacro, {{4, 0}, {8, 5}, {12, 10}})));
    ASSERT_TRUE(run(command(CmdMacro, {{4, 1}, {8, 65000}, {12, 31}})));
    ASSERT_TRUE(run(command(CmdMacro, {{4, 2}, {8, 1}, {12, 7}})));
    auto sent = actions();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].code, ac::kPlayRecorded);
    EXPECT_EQ(sent[0].operands, (std::vector<uint8_t>{10, 0, 5}));
    EXPECT_EQ(sent[1].code, ac::kPlayEdit);
    EXPECT_EQ(sent[1].operands, (std::vector<uint8_t>{31, 0xFD, 0xE8}));
    EXPECT_EQ(sent[2].code, ac::kPlayCombination);
    interpreter->state().macroPlaying = true;
    ASSERT_TRUE(run(command(CmdMacro, {{4, 0}, {8, 1}, {12, 1}})));
    ASSERT_TRUE(run(command(CmdMacro, {{4, 3}})));
    ASSERT_TRUE(run(command(CmdMacro, {{4, 4}})));
    ASSERT_TRUE(run(command(CmdMacro, {{4, 5}})));
    const std::vector<uint8_t> expected = {ac::kPlayRecorded, ac::kPlayEdit, ac::kPlayCombination, ac::kPauseMacro,
                                           ac::kResumeMacro, ac::kStopMacro};
    EXPECT_EQ(codes(), expected);
}

TEST_F(Commands, MachineActions) {
    struct Case { int action; int on; uint8_t code; std::vector<uint8_t> operands; } cases[] = {
        {0, 1, ac::kRedOn, {}},         {0, 0, ac::kRedOff, {}},        {1, 1, ac::kYellowOn, {}},
        {1, 0, ac::kYellowOff, {}},     {2, 1, ac::kGreenOn, {}},       {2, 0, ac::kGreenOff, {}},
        {11, 0, ac::kKeyboardLock, {1}}, {12, 0, ac::kKeyboardLock, {0}}, {13, 0, ac::kMouseLock, {1}},
        {14, 0, ac::kMouseLock, {0}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(run(command(CmdDevice, {{4, c.action}, {8, c.on}})));
        EXPECT_EQ(actions().back().code, c.code) << c.action;
        EXPECT_EQ(actions().back().operands, c.operands) << c.action;
    }
    EXPECT_FALSE(interpreter->state().keyboardLocked);
    ASSERT_TRUE(run(command(CmdDevice, {{4, 5}, {16, 0}})));
    EXPECT_EQ(actions().back().code, ac::kRemoteCommand);
    EXPECT_EQ(actions().back().operands, std::vector<uint8_t>{0});
}

TEST_F(Commands, SoundsPauseResumeRescanStopAndComputerOff) {
    Command sound = command(CmdDevice, {{4, 3}});
    std::memcpy(sound.body + 24, "alarm.wav", 9);
    ASSERT_TRUE(run(sound));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"Sound\\alarm.wav"});
    EXPECT_TRUE(interpreter->state().soundPlaying);
    // A name that would leave the sound folder is not played.
    Command escape = command(CmdDevice, {{4, 3}});
    std::memcpy(escape.body + 24, "..\\x.wav", 8);
    ASSERT_TRUE(run(escape));
    EXPECT_EQ(host.sounds.size(), 1u);
    ASSERT_TRUE(run(command(CmdDevice, {{4, 6}})));
    EXPECT_TRUE(interpreter->paused.load());
    ASSERT_TRUE(run(command(CmdDevice, {{4, 7}})));
    EXPECT_FALSE(interpreter->paused.load());
    EXPECT_EQ(host.soundStops, 1);
    EXPECT_FALSE(interpreter->state().soundPlaying);
    ASSERT_TRUE(run(command(CmdDevice, {{4, 10}})));
    EXPECT_TRUE(interpreter->state().rescan);
    ASSERT_TRUE(run(command(CmdDevice, {{4, 9}})));  // computer off: asks, and goes on
    EXPECT_TRUE(host.computerOff);
    interpreter->runActive.store(true);
    EXPECT_FALSE(run(command(CmdDevice, {{4, 8}})));  // stop
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopCommand);
}

TEST_F(Commands, TimersAndDelays) {
    // Draws the same numbers as the interpreter, which is seeded alike.
    Interpreter twin(model, link, screen, host, clock, loader, settings);
    clock.advance(1234);
    ASSERT_TRUE(run(command(CmdTimer, {{4, 0}, {8, 3}, {12, 90}})));
    const Timer t = interpreter->state().timers[3];
    EXPECT_EQ(t.value, 90000);
    EXPECT_EQ(t.start, clock.tickCount());
    ASSERT_TRUE(run(command(CmdTimer, {{4, 1}, {8, 4}, {12, 3}})));
    EXPECT_EQ(interpreter->state().timers[4].value, 90000);
    ASSERT_TRUE(run(command(CmdTimer, {{4, 0}, {8, 50}, {12, 1}}))); // no such timer: nothing
    uint32_t before = clock.tickCount();
    ASSERT_TRUE(run(command(CmdDelay, {{4, 0}, {8, 750}})));
    EXPECT_GE(clock.tickCount() - before, 750u);
    for (int i = 0; i < 20; ++i) {
        before = clock.tickCount();
        ASSERT_TRUE(run(command(CmdDelay, {{4, 1}, {8, 100}, {12, 200}})));
        const uint32_t slept = clock.tickCount() - before;
        EXPECT_GE(slept, 100u + static_cast<uint32_t>(twin.random() % 100));
        EXPECT_LT(slept, 200u + 50u); // plus the polls
    }
    // A high bound below the low one: low + rand() % (high - low), whose
    // remainder takes rand()'s sign, so 200..299 for 200 and 100.
    std::set<uint32_t> slept;
    for (int i = 0; i < 20; ++i) {
        const uint32_t expected = 200u + static_cast<uint32_t>(twin.random() % -100);
        before = clock.tickCount();
        ASSERT_TRUE(run(command(CmdDelay, {{4, 1}, {8, 200}, {12, 100}})));
        const uint32_t took = clock.tickCount() - before;
        EXPECT_GE(took, expected);
        EXPECT_LT(took, expected + 50u); // plus the polls
        slept.insert(took / 50);
    }
    EXPECT_GT(slept.size(), 1u);
    before = clock.tickCount();
    ASSERT_TRUE(run(command(CmdDelay, {{4, 1}, {8, 80}, {12, 80}})));
    EXPECT_GE(clock.tickCount() - before, 80u);
    EXPECT_LT(clock.tickCount() - before, 130u);
}

TEST_F(Commands, ALongDelayStillHonoursTheStopHotkey) {
    machine.injectHotkey(settings.stopHotkey);
    const uint32_t before = clock.tickCount();
    EXPECT_FALSE(run(command(CmdDelay, {{4, 0}, {8, 600000}})));
    EXPECT_LT(clock.tickCount() - before, 200u);
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopHotkey);
}

TEST_F(Commands, AWindowPointPlusAMonitorPointMovesToTheMonitorSum) {
    // v1 holds a window point (an image centre or a range match), v2 a
    // monitor point; v1 + v2 is a monitor point, and a move to it adds the
    // window's origin once.
    interpreter->capture().setTarget(CaptureTarget::ClientArea);
    addImage(4, 30, 40, 3, 3);
    interpreter->state().rangeResults[6] = {1, 30, 40};
    const int sources[][2] = {{3, 4}, {20, 6}}; // source, slot
    for (const auto& [source, slot] : sources) {
        ASSERT_TRUE(run(command(CmdVariable, {{8, source}, {16, 1}, {40, slot}})));
        ASSERT_TRUE(run(command(CmdVariable, {{8, 2}, {16, 2}, {32, kMonitorCoordinates}, {44, 200}, {48, 300}})));
        ASSERT_TRUE(run(command(CmdVariable, {{4, 1}, {8, 1}, {16, 1}, {20, 1}, {12, 1}, {24, 2}})));
        EXPECT_EQ(var(1).type, VarPoint) << source;
        EXPECT_EQ(var(1).coordinateMode, kMonitorCoordinates) << source;
        ASSERT_TRUE(run(command(CmdMouse, {{4, 9}, {56, 1}})));
        EXPECT_EQ(landing(actions().back()), (Point{108 + 30 + 200, 80 + 40 + 300})) << source;
    }
}

TEST_F(Commands, ReplaceImageTakesThePixelsUnderIt) {
    const int slot = 12;
    RecognitionImage* image = &addImage(slot, 20, 20, 3, 3);
    image->pixels[3] = 1; // a mask byte stays
    screen.fillRect(108 + 19, 80 + 19, 3, 3, 0x0A0B0C);
    ASSERT_TRUE(run(command(CmdReplaceImage, {{16, slot}})));
    EXPECT_EQ(image->pixels[0], 0x0C);
    EXPECT_EQ(image->pixels[1], 0x0B);
    EXPECT_EQ(image->pixels[2], 0x0A);
    EXPECT_EQ(image->pixels[3], 1);
    EXPECT_EQ(image->pixels[2 * kImageStride + 8], 0x0C);
}

// Reading a number shows the area it read in the reference preview box, as
// the capture showed it, only while the main window is shown.
TEST_F(Commands, ReadingANumberPreviewsItsArea) {
    auto block = allocateZeroed<NumberPack>();
    block->used = 1;
    // Digit 5: one ink point, two columns wide.
    block->samples[5].set = 1;
    const int32_t header[4] = {2, 1, 1, 0};
    std::memcpy(block->samples[5].header, header, sizeof header);
    block->samples[5].pixels[0][2] = 0x000000;
    model.adoptNumberPack(3, std::move(block));
    RecognitionArea& area = model.image().areas[4];
    area.used = 1;
    area.left = 20;
    area.top = 10;
    area.width = 30;
    area.height = 12;
    // "55" inside the area (screen = capture origin + area position).
    screen.setPixel(108 + 22, 80 + 14, 0x000000);
    screen.setPixel(108 + 24, 80 + 14, 0x000000);
    const Command read = command(CmdReadNumber, {{8, 4}, {16, 3}, {20, 9}, {24, 100}});
    for (const bool mainShown : {true, false}) {
        SCOPED_TRACE(mainShown);
        host.mainShown = mainShown;
        host.previews.clear();
        clock.advance(60); // a fresh capture
        ASSERT_TRUE(run(read));
        EXPECT_EQ(var(9).type, VarNumber);
        EXPECT_EQ(var(9).value, 55);
        if (mainShown) {
            ASSERT_EQ(host.previews.size(), 1u);
            EXPECT_EQ(host.previews[0].box, PreviewBox::Reference);
            EXPECT_EQ(host.previews[0].width, 30);
            EXPECT_EQ(host.previews[0].height, 12);
            EXPECT_FALSE(host.previews[0].solid);
        } else {
            EXPECT_TRUE(host.previews.empty());
        }
    }
}

} // namespace
} // namespace quillon::runner::testing

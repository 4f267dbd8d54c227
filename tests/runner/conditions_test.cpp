// Each condition kind, and the variable command's sources and arithmetic.
#include "tests/runner/interpreter_fixture.h"

#include <cstring>

#include "device/key_table.h"

namespace quillon::runner::testing {
namespace {

using namespace analyzer;

struct Conditions : InterpreterFixture {
    void SetUp() override { make(); }
    bool holds(const Condition& c) { return interpreter->evaluateCondition(c) == 0; }
    Variable& var(int i) { return interpreter->state().variables[static_cast<size_t>(i)]; }
    void number(int i, int64_t v) {
        var(i).clearValues();
        var(i).type = VarNumber;
        var(i).value = v;
    }
    void point(int i, int x, int y, int mode = kWindowCoordinates) {
        var(i).clearValues();
        var(i).type = VarPoint;
        var(i).set = true;
        var(i).x = x;
        var(i).y = y;
        var(i).coordinateMode = mode;
    }
    // low (lowOp) variable 0 (highOp) high; bounds literal or variables.
    bool test(int lowOp, int32_t low, int highOp, int32_t high, bool vars = false, int axis = 0) {
        return holds(condition(CondVariable, {{4, axis}, {8, vars}, {12, low}, {20, lowOp}, {24, 0}, {28, highOp}, {32, vars}, {36, high}}));
    }
};

TEST_F(Conditions, VariableComparisonsOfNumbers) {
    number(0, 5);
    struct Case { int lowOp; int32_t low; int highOp; int32_t high; bool holds; } cases[] = {
        {0, 0, 0, 0, true},  {1, 4, 0, 0, true},  {1, 5, 0, 0, false}, {2, 5, 0, 0, true},  {3, 5, 0, 0, true},
        {4, 5, 0, 0, false}, {4, 6, 0, 0, true},  {0, 0, 1, 6, true},  {0, 0, 1, 5, false}, {0, 0, 2, 5, true},
        {1, 1, 1, 9, true},  {1, 1, 1, 5, false}, {3, 5, 3, 5, true},  {2, 6, 0, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test(c.lowOp, c.low, c.highOp, c.high), c.holds) << c.lowOp << " " << c.low << " " << c.highOp << " " << c.high;
    // 64-bit values against variable bounds.
    number(0, int64_t{1} << 40);
    number(1, int64_t{1} << 39);
    number(2, (int64_t{1} << 40) + 1);
    EXPECT_TRUE(test(1, 1, 1, 2, true));
    // A point cannot be compared with a number: the test does not hold.
    point(0, 1, 1);
    EXPECT_FALSE(test(4, 5, 0, 0));
}

TEST_F(Conditions, VariableComparisonsOfPointsAndColours) {
    point(0, 10, 20);
    point(1, 5, 20);   // below in X, equal in Y
    point(2, 15, 10);  // mixed
    EXPECT_TRUE(test(1, 1, 0, 0, true));       // 1 < 0 : bound below
    EXPECT_FALSE(test(3, 1, 0, 0, true));
    EXPECT_TRUE(test(4, 2, 0, 0, true));       // mixed is "not equal"
    EXPECT_FALSE(test(1, 2, 0, 0, true));
    EXPECT_TRUE(test(0, 0, 1, 2, true, 1));    // X only: 10 < 15
    EXPECT_TRUE(test(3, 1, 0, 0, true, 2));    // Y only: 20 = 20
    // A monitor point is compared in window coordinates (client at 108, 80).
    point(3, 118, 100, kMonitorCoordinates);
    var(1) = Variable();
    point(1, 10, 20);
    EXPECT_TRUE(holds(condition(CondVariable, {{8, 1}, {12, 3}, {20, 3}, {24, 1}})));
    var(4).type = VarColour;
    var(4).red = 10;
    var(5).type = VarColour;
    var(5).red = 10;
    EXPECT_TRUE(holds(condition(CondVariable, {{8, 1}, {12, 5}, {20, 3}, {24, 4}})));
    var(5).blue = 1;
    EXPECT_TRUE(holds(condition(CondVariable, {{8, 1}, {12, 5}, {20, 4}, {24, 4}})));
    EXPECT_FALSE(holds(condition(CondVariable, {{8, 1}, {12, 1}, {20, 4}, {24, 4}}))); // colour vs point
}

TEST_F(Conditions, TimersCountWholeSeconds) {
    Timer& t = interpreter->state().timers[2];
    struct Case { int64_t ms; int op; int seconds; bool holds; } cases[] = {
        {4999, 0, 5, false}, {5000, 0, 5, true}, {5999, 1, 6, true}, {6000, 1, 6, false}, {0, 0, 0, true},
    };
    for (const Case& c : cases) {
        t.value = c.ms;
        EXPECT_EQ(holds(condition(CondTimer, {{8, c.op}, {12, 2}, {20, c.seconds}})), c.holds) << c.ms;
    }
    interpreter->state().timers[3].value = 2500;
    t.value = 3999;
    EXPECT_TRUE(holds(condition(CondTimer, {{4, 1}, {8, 0}, {12, 2}, {16, 3}}))); // 3 - 2 >= 0
    EXPECT_FALSE(holds(condition(CondTimer, {{4, 1}, {8, 1}, {12, 2}, {16, 3}})));
    EXPECT_FALSE(holds(condition(CondTimer, {{12, 77}})));
}

TEST_F(Conditions, DateAndTimeByTheStoredParts) {
    Condition nine = condition(CondDateTime, {{4, 0}});
    nine.body[8] = 0x04;           // hour only
    storeLe16(nine.body + 12 + 8, 9);
    struct Case { int hour, minute; bool holds; } cases[] = {{8, 59, false}, {9, 0, true}, {23, 59, true}, {0, 0, false}};
    for (const Case& c : cases) {
        host.time.hour = c.hour;
        host.time.minute = c.minute;
        EXPECT_EQ(holds(nine), c.holds) << c.hour;
        Condition before = nine;
        before.set(4, 1);
        EXPECT_EQ(holds(before), !c.holds) << c.hour;
    }
    // Year first: a later year holds whatever the month.
    Condition date = condition(CondDateTime, {{4, 0}});
    date.body[8] = 0x60;
    storeLe16(date.body + 12, 2025);
    storeLe16(date.body + 14, 12);
    host.time.month = 1;
    EXPECT_TRUE(holds(date));
}

TEST_F(Conditions, MachineStateKeysAndRemoteCommands) {
    interpreter->state().macroPlaying = true;
    EXPECT_TRUE(holds(condition(CondState, {{4, 0}})));
    EXPECT_FALSE(holds(condition(CondState, {{4, 1}})));
    EXPECT_TRUE(holds(condition(CondState, {{4, 3}})));
    const int a = static_cast<int>(*KeyTable(KeyNames::AnalyzerEditor).rowOfCode(0x04));
    EXPECT_FALSE(holds(condition(CondKey, {{4, 0}})));
    EXPECT_TRUE(holds(condition(CondKey, {{4, 2}})));
    interpreter->state().heldKeys = {0, 0, 0x04, 0, 0, 0};
    EXPECT_TRUE(holds(condition(CondKey, {{4, 0}})));
    EXPECT_TRUE(holds(condition(CondKey, {{4, 1}, {8, a}})));
    EXPECT_FALSE(holds(condition(CondKey, {{4, 1}, {8, a + 1}})));
    EXPECT_FALSE(holds(condition(CondKey, {{4, 2}})));
    // A remote command holds once.
    interpreter->state().lastRemote = 7;
    EXPECT_FALSE(holds(condition(CondRemote, {{4, 8}})));
    EXPECT_TRUE(holds(condition(CondRemote, {{4, 7}})));
    EXPECT_FALSE(holds(condition(CondRemote, {{4, 7}})));
    EXPECT_TRUE(holds(condition(CondNoItemDelay, {{4, 1}})));
}

TEST_F(Conditions, ImagesAndColoursOnTheCapture) {
    // Client area at (108, 80); the image sits at client (30, 40)..(32, 42).
    RecognitionImage& image = addImage(3, 31, 41, 3, 3, 0x00FF00);
    screen.fillRect(108 + 30, 80 + 40, 3, 3, 0x00FF00);
    screen.setPixel(108 + 5, 80 + 6, 0x123456);
    struct Case { Condition c; int code; } cases[] = {
        {condition(CondImage, {{4, 5}, {8, 3}, {12, 3}, {16, 3}, {32, 100}}), 0},
        {condition(CondImage, {{4, 5}, {8, 2}, {12, 3}, {20, 31}, {24, 41}, {32, 100}}), 0},
        {condition(CondImage, {{4, 5}, {8, 2}, {12, 3}, {20, 32}, {24, 41}, {32, 100}}), 1},
        {condition(CondImage, {{4, 5}, {8, 2}, {12, 3}, {20, 32}, {24, 41}, {28, 1}, {32, 100}}), 0},
        {condition(CondImage, {{4, 4}, {8, 2}, {20, 5}, {24, 6}, {32, 100}, {40, 0x123456}}), 0},
        {condition(CondImage, {{4, 4}, {8, 3}, {16, 3}, {32, 100}, {40, 0x00FF00}}), 0},
        {condition(CondImage, {{4, 4}, {8, 2}, {20, 5000}, {24, 6}, {32, 100}, {40, 0x123456}}), kTestOutside},
        {condition(CondImage, {{4, 5}, {8, 3}, {12, 9}, {16, 3}, {32, 100}}), kTestOutside}, // no such image
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        clock.advance(60);
        EXPECT_EQ(interpreter->evaluateCondition(cases[i].c), cases[i].code) << i;
    }
    (void)image;
    // Two image conditions 30 ms apart share one capture.
    const int copies = screen.copies();
    clock.advance(60);
    interpreter->evaluateCondition(cases[0].c);
    clock.advance(30);
    interpreter->evaluateCondition(cases[1].c);
    EXPECT_EQ(screen.copies(), copies + 1);
    // A 16-bit screen: never true.
    screen.setBitsPerPixel(16);
    clock.advance(60);
    EXPECT_NE(interpreter->evaluateCondition(cases[0].c), 0);
    EXPECT_NE(interpreter->evaluateCondition(cases[3].c), 0);
}

TEST_F(Conditions, RangeSearchFillsTheResultEntry) {
    addImage(2, 50, 50, 3, 3, 0xFF0000);
    screen.fillRect(108 + 200, 80 + 100, 3, 3, 0xFF0000);
    RecognitionArea& area = model.image().areas[5];
    area.used = 1;
    area.left = 150;
    area.top = 50;
    area.width = 150;
    area.height = 150;
    EXPECT_EQ(interpreter->evaluateCondition(condition(CondRangeSearch, {{4, 5}, {8, 5}, {16, 2}, {24, 1}, {32, 100}})), 0);
    const RangeResult r = interpreter->state().rangeResults[5];
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ((Point{r.x, r.y}), (Point{201, 101}));
    clock.advance(60);
    EXPECT_EQ(interpreter->evaluateCondition(condition(CondRangeSearch, {{4, 4}, {8, 5}, {24, 1}, {32, 100}, {56, 0xFF0000}})), 0);
    // N from a variable: 30,001 makes no search.
    number(9, 30001);
    clock.advance(60);
    interpreter->state().rangeResults[5] = {1, 7, 7};
    EXPECT_NE(interpreter->evaluateCondition(condition(CondRangeSearch, {{4, 5}, {8, 5}, {16, 2}, {24, 9}, {28, 1}, {32, 100}})), 0);
    EXPECT_EQ(interpreter->state().rangeResults[5].x, 7);
    // No window to capture: the run pauses, and the condition does not hold.
    screen.removeForegroundWindow();
    clock.advance(60);
    machine.injectHotkey(settings.startHotkey); // resumes at the first paused poll
    EXPECT_EQ(interpreter->evaluateCondition(condition(CondRangeSearch, {{4, 5}, {8, 5}, {16, 2}, {32, 100}})), 1900);
    EXPECT_FALSE(interpreter->paused.load());
}

TEST_F(Conditions, PreviewsShowWhatWasComparedOnlyWithTheMainWindow) {
    addImage(1, 40, 40, 11, 9, 0x3366CC);
    screen.fillRect(108 + 35, 80 + 36, 11, 9, 0x3366CC);
    EXPECT_EQ(interpreter->evaluateCondition(condition(CondImage, {{4, 5}, {8, 3}, {12, 1}, {16, 1}, {32, 95}})), 0);
    ASSERT_EQ(host.previews.size(), 2u);
    EXPECT_EQ(host.previews[0].box, PreviewBox::Reference);
    EXPECT_EQ(host.previews[0].width, 11);
    EXPECT_EQ(host.previews[0].height, 9);
    EXPECT_EQ(host.previews[1].box, PreviewBox::Live);
    EXPECT_EQ(host.previews[1].width, 11);

    // A colour: both boxes filled, the live one with the screen's pixel.
    host.previews.clear();
    clock.advance(60);
    interpreter->evaluateCondition(condition(CondImage, {{4, 4}, {8, 2}, {20, 40}, {24, 40}, {32, 95}, {40, 0x3366CC}}));
    ASSERT_EQ(host.previews.size(), 2u);
    EXPECT_TRUE(host.previews[0].solid && host.previews[1].solid);
    EXPECT_EQ(host.previews[0].colour, 0x3366CCu);
    EXPECT_EQ(host.previews[1].colour, 0x3366CCu);

    // With the mini window shown nothing is drawn.
    host.previews.clear();
    host.mainShown = false;
    clock.advance(60);
    interpreter->evaluateCondition(condition(CondImage, {{4, 5}, {8, 3}, {12, 1}, {16, 1}, {32, 95}}));
    EXPECT_TRUE(host.previews.empty());
}

TEST_F(Conditions, CursorShapes) {
    CursorSample& sample = model.image().cursors[1];
    sample.used = 1;
    sample.parts = 1;
    sample.maskBits[10] = 0xAA;
    CursorImage shape;
    shape.flags = kCursorHasMask;
    shape.maskBits.assign(64, 0);
    shape.maskBits[10] = 0xAA;
    std::memcpy(sample.maskHeader, &shape.maskHeader, kBitmapHeaderSize);
    screen.setCursor(shape);
    EXPECT_TRUE(holds(condition(CondCursor, {{8, 1}, {12, 0}})));
    EXPECT_FALSE(holds(condition(CondCursor, {{8, 1}, {12, 1}})));
    screen.setCursorReadable(false);
    clock.advance(101);
    EXPECT_FALSE(holds(condition(CondCursor, {{8, 1}, {12, 0}})));
    EXPECT_FALSE(holds(condition(CondCursor, {{8, 1}, {12, 1}})));
}

// ---- the variable command ----------------------------------------------------

TEST_F(Conditions, VariableSources) {
    auto run = [&](Fields f) { ASSERT_TRUE(interpreter->runCommand(command(CmdVariable, f))); };
    run({{8, 0}, {16, 1}, {20, -42}});
    EXPECT_EQ(var(1).type, VarNumber);
    EXPECT_EQ(var(1).value, -42);
    EXPECT_TRUE(var(1).changed);
    run({{8, 2}, {16, 2}, {32, 1}, {44, 300}, {48, 200}});
    EXPECT_EQ(var(2).type, VarPoint);
    EXPECT_EQ(var(2).coordinateMode, kMonitorCoordinates);
    EXPECT_EQ(var(2).x, 300);
    addImage(4, 60, 70, 5, 5, 0x0000FF);
    run({{8, 3}, {16, 3}, {40, 4}});
    EXPECT_EQ(var(3).type, VarImage);
    EXPECT_TRUE(var(3).valid);
    EXPECT_EQ(var(3).x, 60);
    ASSERT_TRUE(var(3).image);
    // A copy gets its own image block.
    run({{8, 1}, {16, 4}, {20, 3}});
    ASSERT_TRUE(var(4).image);
    EXPECT_NE(var(4).image.get(), var(3).image.get());
    EXPECT_EQ(var(4).image->pixels[0], 0xFF);
    Command colour = command(CmdVariable, {{8, 4}, {16, 5}});
    colour.body[60] = 1;
    colour.body[61] = 2;
    colour.body[62] = 3;
    ASSERT_TRUE(interpreter->runCommand(colour));
    EXPECT_EQ(var(5).type, VarColour);
    EXPECT_EQ(var(5).red, 3);
    interpreter->state().rangeResults[9] = {1, 11, 12};
    run({{8, 20}, {16, 6}, {40, 9}});
    EXPECT_TRUE(var(6).found);
    EXPECT_EQ(var(6).y, 12);
    addItem(true);
    addItem(true);
    interpreter->state().runList = {0, 1};
    interpreter->state().previousPosition = 1;
    interpreter->state().previousItem = 1;
    run({{8, 30}, {16, 7}});
    EXPECT_EQ(var(7).type, VarPreviousItem);
    interpreter->state().previousPosition = 0;
    interpreter->state().previousItem = 0;
    run({{8, 40}, {16, 99}, {20, 7}}); // back to the stored previous item
    EXPECT_EQ(interpreter->state().previousItem, 1);
    EXPECT_EQ(interpreter->state().previousPosition, 1);
    EXPECT_EQ(var(99).type, VarNumber); // the target is not touched
    for (int i = 0; i < 50; ++i) {
        run({{8, 50}, {16, 8}, {44, -3}, {48, 4}});
        EXPECT_GE(var(8).value, -3);
        EXPECT_LE(var(8).value, 4);
        run({{8, 51}, {16, 9}, {44, 100}, {48, 100}, {52, 5}, {56, 0}});
        EXPECT_GT(var(9).x, 94);
        EXPECT_LE(var(9).x, 105);
        EXPECT_EQ(var(9).y, 100);
    }
    host.time.weekday = 3;
    run({{8, 60}, {16, 10}, {40, 3}});
    EXPECT_EQ(var(10).type, VarDateNumber);
    EXPECT_EQ(var(10).value, 3);
}

TEST_F(Conditions, VariableArithmetic) {
    auto run = [&](Fields f) { ASSERT_TRUE(interpreter->runCommand(command(CmdVariable, f))); };
    // Two literal numbers: 32-bit arithmetic, then widened.
    run({{4, 3}, {8, 0}, {16, 1}, {20, 65536}, {24, 65536}});
    EXPECT_EQ(var(1).value, 0);
    number(2, 65536);
    run({{4, 3}, {8, 1}, {16, 3}, {20, 2}, {24, 65536}});
    EXPECT_EQ(var(3).value, int64_t{1} << 32);
    run({{4, 4}, {8, 0}, {16, 4}, {20, 7}, {24, 2}});
    EXPECT_EQ(var(4).value, 3);
    run({{4, 4}, {8, 0}, {16, 4}, {20, 7}, {24, 0}});
    EXPECT_EQ(var(4).value, 7); // a divisor below 1 leaves the value
    run({{4, 2}, {8, 0}, {16, 4}, {20, 7}, {12, 1}, {24, 2}});
    EXPECT_EQ(var(4).value, 7 - 65536);
    // A date number keeps its type through arithmetic.
    host.time.hour = 9;
    run({{4, 1}, {8, 60}, {16, 5}, {40, 4}, {24, 1}});
    EXPECT_EQ(var(5).type, VarDateNumber);
    EXPECT_EQ(var(5).value, 10);
    // Points: a window point plus a monitor point is a monitor point.
    point(6, 10, 10);
    point(7, 200, 300, kMonitorCoordinates);
    run({{4, 1}, {8, 1}, {16, 8}, {20, 6}, {12, 1}, {24, 7}});
    EXPECT_EQ(var(8).coordinateMode, kMonitorCoordinates);
    EXPECT_EQ((Point{var(8).x, var(8).y}), (Point{10 + 108 + 200, 10 + 80 + 300}));
}

TEST_F(Conditions, VariableCommandGuard) {
    // The guard is tested whenever its operators are set; the flag at 28
    // changes only the sentence.
    struct Case { int flag; int32_t low; int lowOperator; bool assigned; } cases[] = {
        {1, 9, 1, false}, {1, 4, 1, true}, {0, 9, 1, false}, {0, 4, 1, true}, {0, 9, 0, true}, {1, 9, 0, true},
    };
    number(20, 5);
    for (const Case& c : cases) {
        number(21, 0);
        ASSERT_TRUE(interpreter->runCommand(command(
            CmdVariable, {{8, 0}, {16, 21}, {20, 99}, {28, c.flag}, {68, c.low}, {76, c.lowOperator}, {80, 20}})));
        EXPECT_EQ(var(21).value, c.assigned ? 99 : 0) << c.flag << " " << c.low << " op " << c.lowOperator;
    }
}

} // namespace
} // namespace quillon::runner::testing

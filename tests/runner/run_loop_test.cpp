// Whole runs: the item loop with its links, stay and ignore modes, the status
// poll (pause, resume, window switch, stop), remote commands, typing, loading
// another analyzer, the computer-off ending, and the speed of virtual time.
#include "tests/runner/interpreter_fixture.h"

#include "device/key_table.h"
#include "device/modes.h"
#include "runner/run_ending.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace quillon::runner::testing {
namespace {

using namespace analyzer;
namespace ac = action_code;

// Light commands make good markers: one action each.
Command marker(int light) { return command(CmdDevice, {{4, light}, {8, 1}}); }
Command incrementVariable(int v) { return command(CmdVariable, {{4, 1}, {8, 1}, {16, v}, {20, v}, {24, 1}}); }

NextLink testLink(int32_t target, int lowOperator, int32_t low, int variable) {
    NextLink l{};
    l.lowOperator = lowOperator;
    l.low = low;
    l.variable = variable;
    l.targetId = target;
    return l;
}

sim::ScriptedStatus hotkey(uint8_t code) {
    sim::ScriptedStatus s;
    s.hotkey = code;
    return s;
}

struct RunLoop : InterpreterFixture {
    // Runs until `items` items have been shown.
    void runItems(size_t items) {
        make();
        host.onItem = [this, items](int) {
            if (host.shownItems.size() >= items) interpreter->runActive.store(false);
        };
        interpreter->run();
    }
};

TEST_F(RunLoop, AlwaysScanHeadKeepsTheLinkedItemsOnItsSlot) {
    Item& a = addItem(true, true);
    Item& b = addItem(true);
    Item& c = addItem(false);
    a.nextLinks[a.nextLinkCount++] = testLink(c.id, 3, 0, 0); // while v0 = 0, A goes to C
    add(b, incrementVariable(2));
    add(c, incrementVariable(1));
    add(c, command(CmdVariable, {{8, 0}, {16, 0}, {20, 1}, {28, 1}, {68, 3}, {76, 2}, {80, 1}})); // v0 = 1 once 3 <= v1
    c.nextLinks[c.nextLinkCount++] = testLink(a.id, 2, 3, 1); // C returns to A once 3 <= v1
    runItems(8);
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 2, 2, 2, 0, 1, 0, 1}));
    EXPECT_EQ(interpreter->state().variables[2].value, 1);
}

TEST_F(RunLoop, HeadWithoutAlwaysScanHandsItsSlotToTheLinkedItem) {
    Item& a = addItem(true);
    Item& b = addItem(true);
    Item& c = addItem(false);
    linkTo(a, c.id);
    add(b, marker(0));
    add(c, marker(1));
    runItems(5);
    // A links to C and the loop moves on to B; next time round, A's slot runs C.
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 1, 2, 1, 2}));
}

TEST_F(RunLoop, IgnoreModesAndItemsWithoutConditions) {
    Item& a = addItem(true);
    Item& b = addItem(true);
    Item& c = addItem(true);
    Item& target = addItem(false);
    Item& falseTarget = addItem(false);
    a.ignoreMode = 1; // true, but no command runs
    add(a, marker(0));
    linkTo(a, target.id);
    b.ignoreMode = 2; // false: no command, the false branch is followed
    add(b, marker(0));
    b.falseBranch = 1;
    b.falseBranchTarget = falseTarget.id;
    add(c, marker(2)); // no conditions: runs every time
    add(target, marker(1));
    add(falseTarget, command(CmdDevice, {{4, 1}, {8, 0}}));
    runItems(7);
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 1, 2, 3, 4, 2, 3}));
    EXPECT_EQ(codes(), (std::vector<uint8_t>{ac::kGreenOn, ac::kYellowOn, ac::kYellowOff, ac::kGreenOn}));
}

TEST_F(RunLoop, CircularStructureItemsAreSkipped) {
    Item& a = addItem(true);
    Item& b = addItem(true);
    Item& c = addItem(true);
    a.ignoreMode = 3;
    b.ignoreMode = 3;
    add(c, marker(2));
    runItems(3);
    EXPECT_EQ(host.shownItems, (std::vector<int>{2, 2, 2}));
    // With nothing runnable the loop still lets time pass and stops.
    c.ignoreMode = 3;
    host.shownItems.clear();
    for (int i = 0; i < 20; ++i) machine.scriptStatus({});
    machine.scriptStatus(hotkey(settings.stopHotkey));
    const uint32_t start = clock.tickCount();
    interpreter->run();
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopHotkey);
    EXPECT_TRUE(host.shownItems.empty());
    EXPECT_GE(clock.tickCount() - start, 20u * kPollIntervalMs);
}

TEST_F(RunLoop, ReturnToThePreviousItemAndMissingTargets) {
    Item& a = addItem(true, true);
    Item& b = addItem(false);
    linkTo(a, b.id);
    add(b, marker(0));
    b.otherwiseBranch = 0;
    linkTo(b, kReturnToPrevious);
    runItems(4);
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 1, 0, 1}));
    // A link to an item id that does not exist is not followed.
    model.reset();
    host.shownItems.clear();
    Item& lone = addItem(true, true);
    linkTo(lone, 4242);
    runItems(3);
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 0, 0}));
}

TEST_F(RunLoop, ReturnToThePreviousItemKeepsEveryHeadItemRunning) {
    // The last head item links back to the previous item and records the
    // previous item in v1 first. The previous item is the one that ran, so
    // no slot is ever overwritten with the returning item.
    struct Case { int slots; size_t items; std::vector<int> shown; int previousPosition, previousItem; } cases[] = {
        {2, 7, {0, 1, 1, 0, 1, 1, 0}, 1, 1},
        {3, 9, {0, 1, 2, 2, 0, 1, 2, 2, 0}, 2, 2},
    };
    for (const Case& c : cases) {
        model.reset();
        host.shownItems.clear();
        for (int i = 0; i < c.slots; ++i) add(addItem(true), marker(i % 3));
        Item& last = model.image().items[c.slots - 1];
        last.commands[0] = command(CmdVariable, {{8, 30}, {16, 1}});
        linkTo(last, kReturnToPrevious);
        runItems(c.items);
        EXPECT_EQ(host.shownItems, c.shown) << c.slots << " slots";
        const Variable& previous = interpreter->state().variables[1];
        EXPECT_EQ(previous.type, VarPreviousItem);
        EXPECT_EQ(previous.previousPosition, c.previousPosition) << c.slots << " slots";
        EXPECT_EQ(previous.previousItem, c.previousItem) << c.slots << " slots";
    }
}

TEST_F(RunLoop, RescanRepeatsTheItemUntilOneOfItsLinksIsTaken) {
    // A runs its commands once (v0 becomes 1, rescan), then waits on its own
    // condition; the loop stays on it until its link (v5 = 1) is taken.
    Item& a = addItem(true);
    Item& b = addItem(true);
    add(a, condition(CondVariable, {{12, 1}, {20, 4}, {24, 0}})); // 1 != v0
    add(a, command(CmdVariable, {{8, 0}, {16, 0}, {20, 1}}));
    add(a, command(CmdDevice, {{4, 10}}));
    a.nextLinks[a.nextLinkCount++] = testLink(a.id, 3, 1, 5);
    add(b, marker(0));
    make();
    host.onItem = [this](int) {
        const size_t n = host.shownItems.size();
        if (n == 4) {
            interpreter->state().variables[0].value = 0;
            interpreter->state().variables[5].value = 1;
        }
        if (n >= 8) interpreter->runActive.store(false);
    };
    interpreter->run();
    EXPECT_EQ(host.shownItems, (std::vector<int>{0, 0, 0, 0, 1, 0, 1, 0}));

    // A rescanned item that never takes a link still ends on the stop hotkey
    // within one poll.
    model.reset();
    host.shownItems.clear();
    Item& waiting = addItem(true);
    add(waiting, condition(CondVariable, {{12, 0}, {20, 3}, {24, 9}})); // 0 = v9: holds once
    add(waiting, command(CmdVariable, {{8, 0}, {16, 9}, {20, 1}}));
    add(waiting, command(CmdDevice, {{4, 10}}));
    make();
    host.onItem = [this](int) {
        clock.advance(10); // the item's own time
        if (host.shownItems.size() == 20) machine.injectHotkey(settings.stopHotkey);
        if (host.shownItems.size() >= 100) interpreter->runActive.store(false);
    };
    interpreter->run();
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopHotkey);
    EXPECT_LE(host.shownItems.size(), 20u + kPollIntervalMs / 10 + 1);
}

TEST_F(RunLoop, TheFirstCaptureOfARunPausesOnAnUnusableWindow) {
    model.image().screenshotCount = 1;
    screen.removeForegroundWindow();
    add(addItem(true), marker(0));
    for (int i = 0; i < 10; ++i) machine.scriptStatus({});
    machine.scriptStatus(hotkey(settings.startHotkey)); // the user resumes
    make();
    const uint32_t start = clock.tickCount();
    host.onItem = [this](int) { interpreter->runActive.store(false); };
    interpreter->run();
    // Nothing ran before the resume: ten paused polls 50 ms apart.
    EXPECT_GE(statusRequests(), 11u);
    EXPECT_GE(clock.tickCount() - start, 10u * kPollIntervalMs);
    EXPECT_FALSE(interpreter->paused.load());
    ASSERT_EQ(host.shownItems.size(), 1u);
}

TEST_F(RunLoop, ARemoteCommandIsConsumedOnce) {
    Item& x = addItem(true);
    Item& y = addItem(true);
    add(x, condition(CondRemote, {{4, 7}}));
    add(x, marker(0));
    add(y, condition(CondRemote, {{4, 7}}));
    add(y, marker(1));
    machine.injectRemoteCommand(7);
    settings.itemDelayMain = 60; // every item step polls
    x.noItemDelay = y.noItemDelay = 0;
    runItems(8);
    // It arrives with the poll after X; Y takes it, and X never sees it.
    EXPECT_EQ(codes(), (std::vector<uint8_t>{ac::kYellowOn}));
}

TEST_F(RunLoop, ItemDelayByWindowAndTheNoDelayFlag) {
    settings.itemDelayMain = 200;
    settings.itemDelayMini = 700;
    Item& a = addItem(true);
    a.noItemDelay = 0;
    add(a, marker(0));
    runItems(4);
    auto sent = actions();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_GE(sent[1].time - sent[0].time, 200u);
    EXPECT_LT(sent[1].time - sent[0].time, 260u);
    host.shownItems.clear();
    host.mainShown = false;
    machine.resetToDefaults();
    runItems(4);
    sent = actions();
    ASSERT_EQ(sent.size(), 6u); // the log keeps the first run's three
    EXPECT_GE(sent[4].time - sent[3].time, 700u);
}

TEST_F(RunLoop, TimersGrowByTheRunsTime) {
    Item& a = addItem(true);
    add(a, command(CmdTimer, {{4, 0}, {8, 0}, {12, 0}}));
    add(a, command(CmdDelay, {{4, 0}, {8, 0}}));
    Item& b = addItem(true);
    add(b, condition(CondTimer, {{8, 0}, {12, 1}, {20, 2}})); // timer 1 >= 2 s
    add(b, marker(2));
    b.noItemDelay = 0;
    settings.itemDelayMain = 500;
    make();
    host.onItem = [this](int) {
        if (clock.tickCount() > 100000 + 4000) interpreter->runActive.store(false);
    };
    interpreter->run();
    const auto sent = actions();
    ASSERT_FALSE(sent.empty());
    // Timer 1 counts from the run's start: the marker first shows once 2 s passed.
    EXPECT_GE(sent[0].time, 100000u + 2000u);
    EXPECT_LT(sent[0].time, 100000u + 2700u);
    // Its display changed once per whole second: 0 at the start, then 1, 2, 3.
    std::vector<int64_t> shown;
    for (auto [timer, seconds] : host.timersShown)
        if (timer == 1) shown.push_back(seconds);
    EXPECT_EQ(shown, (std::vector<int64_t>{0, 1, 2, 3}));
}

TEST_F(RunLoop, StartHotkeyPausesAndResumesTheRun) {
    Item& a = addItem(true);
    a.noItemDelay = 0;
    settings.itemDelayMain = 60;
    add(a, marker(0));
    add(a, command(CmdMacro, {{4, 0}, {8, 1}, {12, 0}}));
    machine.setMacroPlayPolls(0); // plays until stopped
    make();
    host.onItem = [&](int) {
        const size_t n = host.shownItems.size();
        if (n == 2) {
            machine.scriptStatus(hotkey(settings.startHotkey));
            for (int i = 0; i < 40; ++i) machine.scriptStatus({}); // 40 paused polls
            machine.scriptStatus(hotkey(settings.startHotkey));
        }
        if (n >= 4) interpreter->runActive.store(false);
    };
    interpreter->run();
    const auto sent = actions();
    const std::vector<uint8_t> expected = {ac::kRedOn, ac::kPlayRecorded, ac::kRedOn, ac::kPauseMacro, ac::kResumeMacro,
                                           ac::kRedOn};
    ASSERT_EQ(codes(), expected);
    // While paused nothing was sent for the 40 polls, 50 ms apart.
    EXPECT_GE(sent[4].time - sent[3].time, 40u * kPollIntervalMs);
    // The label blinked while paused and was shown again on resuming.
    EXPECT_GE(host.labelShown.size(), 6u);
    EXPECT_TRUE(host.labelShown.back());
}

TEST_F(RunLoop, StopHotkeyEndsTheRunAndWindowSwitchMovesTheLabel) {
    Item& a = addItem(true);
    add(a, marker(0));
    machine.scriptStatus(hotkey(settings.switchHotkey));
    machine.scriptStatus({});
    machine.scriptStatus(hotkey(settings.stopHotkey));
    make();
    interpreter->run();
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopHotkey);
    EXPECT_EQ(host.switches, 1);
    EXPECT_EQ(host.stopRequests, 1);
    EXPECT_FALSE(interpreter->runActive.load());
    EXPECT_LT(clock.tickCount(), 100000u + 500u);
}

TEST_F(RunLoop, AStopWhilePausedIsHonouredWithinOnePoll) {
    Item& a = addItem(true);
    add(a, command(CmdDevice, {{4, 6}})); // pause the run
    make();
    host.onItem = [this](int) {
        machine.scriptStatus({});
        machine.scriptStatus({});
        machine.scriptStatus(hotkey(settings.stopHotkey));
    };
    const uint32_t start = clock.tickCount();
    interpreter->run();
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::StopHotkey);
    EXPECT_LT(clock.tickCount() - start, 1000u);
}

TEST_F(RunLoop, TypingASentenceReleasesShiftAtTheEnd) {
    TypingSentence& s = model.sentenceTable().sentences[3];
    s.keyDownMs = 60;
    s.keyUpMs = 60;
    const uint8_t keys[] = {0x15, 0x0E, 0xFE, 0x84}; // 가 then capital A
    std::memcpy(s.keyCodes, keys, sizeof keys);
    s.keyCount = 4;
    Item& a = addItem(true);
    add(a, command(CmdTypeSentence, {{4, 3}}));
    add(a, command(CmdDevice, {{4, 8}})); // stop after typing
    host.imeOpen = false;
    make();
    interpreter->run();
    const auto sent = actions();
    std::vector<std::pair<uint8_t, uint8_t>> got;
    for (const Sent& x : sent) got.emplace_back(x.code, x.operands.empty() ? 0 : x.operands[0]);
    const std::vector<std::pair<uint8_t, uint8_t>> expected = {
        {0x00, 0x90}, {0x01, 0x90},                     // into Korean mode first
        {0x00, 0x15}, {0x01, 0x15}, {0x00, 0x0E}, {0x01, 0x0E},
        {0x00, 0x90}, {0x01, 0x90},                     // the toggle code
        {0x00, 0xE1}, {0x00, 0x04}, {0x01, 0x04}, {0x01, 0xE1}, // capital A, Shift released
    };
    EXPECT_EQ(got, expected);
    EXPECT_EQ(sent[1].time - sent[0].time, 100u);
    EXPECT_EQ(sent[3].time - sent[2].time, 55u); // press time = key-down time - 5
}

TEST_F(RunLoop, StopDuringTypingLeavesShiftReleased) {
    TypingSentence& s = model.sentenceTable().sentences[0];
    s.keyDownMs = s.keyUpMs = 40; // every key polls
    const uint8_t keys[] = {0x84, 0x85, 0x86, 0x87};
    std::memcpy(s.keyCodes, keys, sizeof keys);
    s.keyCount = 4;
    Item& a = addItem(true);
    add(a, command(CmdTypeSentence, {{4, 0}}));
    machine.scriptStatus({});
    machine.scriptStatus(hotkey(settings.stopHotkey));
    make();
    interpreter->run();
    const auto sent = actions();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().code, ac::kKeyUp);
    EXPECT_EQ(sent.back().operands[0], 0xE1);
    EXPECT_EQ(sent.size(), 6u); // Shift, two keys, Shift up
}

TEST_F(RunLoop, RunAnalyzerRestartsWithTheLoadedOne) {
    Item& a = addItem(true);
    add(a, command(CmdVariable, {{8, 0}, {16, 5}, {20, 77}}));
    Command load = command(CmdRunAnalyzer, {});
    std::memcpy(load.body + 4, "next.dat", 8);
    add(a, load);
    add(a, marker(0)); // never reached
    loader.fill = [this](AnalyzerModel&) {
        Item& b = addItem(true);
        add(b, condition(CondVariable, {{20, 3}, {12, 0}, {24, 5}})); // v5 = 0 after the restart
        add(b, marker(2));
    };
    runItems(4);
    EXPECT_EQ(loader.paths, std::vector<std::string>{"Save\\next.dat"});
    EXPECT_EQ(codes(), (std::vector<uint8_t>{ac::kGreenOn, ac::kGreenOn}));
    // A load that fails warns with the loader's code and ends the run.
    model.reset();
    Item& c = addItem(true);
    add(c, load);
    loader.code = -10;
    host.shownItems.clear();
    runItems(5);
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::LoadFailed);
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_NE(host.warnings[0].find("- -10"), std::string::npos);
}

TEST_F(RunLoop, ComputerOffEndingSendsItBeforeLeavingAnalysisMode) {
    ASSERT_TRUE(enterMode(link, openingModeOf(Program::AnalyzerRunner)));
    Item& a = addItem(true);
    add(a, command(CmdDevice, {{4, 9}}));
    runItems(2);
    EXPECT_TRUE(host.computerOff);
    EXPECT_TRUE(leaveAnalysis(link, host.computerOff));
    EXPECT_EQ(actions().back().code, ac::kComputerOff);
    EXPECT_EQ(machine.mode(), sim::MachineMode::Normal);
}

TEST_F(RunLoop, SixtyVirtualSecondsRunInWellUnderOneSecond) {
    // A small analyzer: an image condition, a range search, keys and a timer.
    addImage(1, 40, 40, 11, 11, 0x3366CC);
    screen.fillRect(108 + 35, 80 + 35, 11, 11, 0x3366CC);
    RecognitionArea& area = model.image().areas[0];
    area.used = 1;
    area.width = 300;
    area.height = 200;
    Item& a = addItem(true);
    a.noItemDelay = 0;
    add(a, condition(CondImage, {{4, 5}, {8, 3}, {12, 1}, {16, 1}, {32, 95}}));
    add(a, condition(CondRangeSearch, {{4, 5}, {8, 0}, {16, 1}, {24, 1}, {32, 95}}));
    add(a, command(CmdMouse, {{4, 7}, {28, 0}}));
    add(a, command(CmdKey, {{4, 2}, {8, 4}, {12, 30}}));
    Item& b = addItem(true);
    add(b, condition(CondTimer, {{8, 0}, {12, 0}, {20, 10}}));
    add(b, command(CmdTimer, {{4, 0}, {8, 0}, {12, 0}}));
    add(b, marker(0));
    settings.itemDelayMain = 20;
    // Processor time of the run: the machine running the tests may be busy
    // with other work, which wall time would count.
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    runFor(60000);
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("cpu_ms", static_cast<int>(cpu * 1000));
    RecordProperty("wall_ms", static_cast<int>(wall * 1000));
    EXPECT_LT(cpu, 1.0);
    size_t lights = 0;
    for (uint8_t code : codes()) lights += code == ac::kRedOn;
    EXPECT_EQ(lights, 5u); // every 10 s after the first
    EXPECT_GT(host.shownItems.size(), 500u);
}

} // namespace
} // namespace quillon::runner::testing

namespace quillon::runner::testing {
namespace {

TEST_F(RunLoop, FlagsSharedWithTheProgramAndSettingsFromStartUpData) {
    std::atomic<bool> running{false}, paused{false};
    settings.runActiveFlag = &running;
    settings.pausedFlag = &paused;
    Item& a = addItem(true);
    add(a, command(CmdDevice, {{4, 8}}));
    make();
    interpreter->run();
    EXPECT_FALSE(running.load()); // the stop command's request cleared the program's flag
    EXPECT_EQ(&interpreter->paused, &paused);

    StartupData data;
    data.setSetting(400, 0x3A);
    data.setSetting(404, 0x3B);
    data.setSetting(408, 0x3C);
    data.setSetting(820, 150);
    data.setSetting(824, -5);
    const RunSettings s = runSettingsFrom(data);
    EXPECT_EQ(s.startHotkey, 0x3A);
    EXPECT_EQ(s.stopHotkey, 0x3B);
    EXPECT_EQ(s.switchHotkey, 0x3C);
    EXPECT_EQ(s.itemDelayMini, 150u);
    EXPECT_EQ(s.itemDelayMain, 0u);
}

} // namespace
} // namespace quillon::runner::testing

namespace quillon::runner::testing {
namespace {

TEST_F(RunLoop, TheProgramsStopReachesAPausedRun) {
    // The stop button clears the run flag from the interface thread while
    // the interpreter thread waits paused in the status poll.
    Item& a = addItem(true);
    add(a, command(CmdDevice, {{4, 6}}));
    make();
    std::thread body([this] { interpreter->run(); });
    while (!interpreter->paused.load()) std::this_thread::yield();
    interpreter->runActive.store(false);
    body.join();
    EXPECT_EQ(interpreter->ending(), Interpreter::Ending::Cleared);
}

} // namespace
} // namespace quillon::runner::testing

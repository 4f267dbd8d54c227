#include <gtest/gtest.h>

#include <thread>

#include "device/actions.h"
#include "device/modes.h"
#include "runner/device_watch.h"
#include "runner/run_ending.h"
#include "runner/status_window_placement.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon {
namespace {

using testing::SimLink;

sim::ScriptedStatus status(uint8_t hotkey, bool marked = true) {
    sim::ScriptedStatus s;
    s.hotkey = hotkey;
    s.marked = marked;
    return s;
}

struct WatchRun {
    std::vector<std::string> countdown;
    int switches = 0;
    DeviceWatchResult result = DeviceWatchResult::Cancelled;
};

WatchRun watch(SimLink& sim, const DeviceWatchSettings& settings) {
    WatchRun run;
    std::atomic<bool> running{true};
    DeviceWatchHooks hooks;
    hooks.showCountdown = [&](const std::string& text) { run.countdown.push_back(text); };
    hooks.switchWindows = [&] { ++run.switches; };
    run.result = runDeviceWatch(sim.link, settings, running, hooks);
    return run;
}

DeviceWatchSettings hotkeys() {
    DeviceWatchSettings s;
    s.startHotkey = 1;
    s.stopHotkey = 2;
    s.windowSwitchHotkey = 3;
    return s;
}

class DeviceWatchTest : public ::testing::TestWithParam<LinkKind> {};

TEST_P(DeviceWatchTest, HotkeysStartStopAndSwitch) {
    {
        SimLink sim(GetParam(), Program::AnalyzerRunner);
        sim.machine.scriptStatus(status(7));        // another key: ignored
        sim.machine.scriptStatus(status(1, false)); // no 0xC5: not a status
        sim.machine.scriptStatus(status(3));
        sim.machine.scriptStatus(status(1));
        WatchRun run = watch(sim, hotkeys());
        EXPECT_EQ(run.result, DeviceWatchResult::Start);
        EXPECT_EQ(run.switches, 1);
    }
    {
        // The stop hotkey before the start ends the program without a run.
        SimLink sim(GetParam(), Program::AnalyzerRunner);
        sim.machine.scriptStatus(status(2));
        EXPECT_EQ(watch(sim, hotkeys()).result, DeviceWatchResult::Stop);
    }
}

TEST_P(DeviceWatchTest, CountdownShowsTheTimeLeftAndStartsByItself) {
    SimLink sim(GetParam(), Program::AnalyzerRunner);
    DeviceWatchSettings settings = hotkeys();
    settings.countdownOn = true;
    settings.countdownSeconds = 90;
    settings.countdownStart = sim.clock.tickCount();
    WatchRun run = watch(sim, settings);
    EXPECT_EQ(run.result, DeviceWatchResult::Start);
    ASSERT_EQ(run.countdown.size(), 90u);
    EXPECT_EQ(run.countdown.front(), "00 : 01 : 29"); // one second after the window opened
    EXPECT_EQ(run.countdown[29], "00 : 01 : 00");
    EXPECT_EQ(run.countdown.back(), "00 : 00 : 00");
    const uint32_t elapsed = sim.clock.tickCount() - settings.countdownStart;
    EXPECT_GE(elapsed, 90000u);
    EXPECT_LT(elapsed, 91000u);
}

TEST_P(DeviceWatchTest, AFailedRequestStopsPollingButNotTheCountdown) {
    SimLink sim(GetParam(), Program::AnalyzerRunner);
    sim.machine.setFault(sim::FaultKind::Unplug, sim.machine.frameCount());
    DeviceWatchSettings settings = hotkeys();
    settings.countdownOn = true;
    settings.countdownSeconds = 3;
    settings.countdownStart = sim.clock.tickCount();
    size_t framesBefore = sim.wire->outputReports.size() + sim.wire->writes.size();
    EXPECT_EQ(watch(sim, settings).result, DeviceWatchResult::Start);
    // One request tried, then silence from the host.
    EXPECT_LE(sim.wire->outputReports.size() + sim.wire->writes.size(), framesBefore + 1);
}

TEST_P(DeviceWatchTest, ClearingTheFlagEndsTheWatchWithoutAResult) {
    SimLink sim(GetParam(), Program::AnalyzerRunner);
    std::atomic<bool> running{false};
    EXPECT_EQ(runDeviceWatch(sim.link, hotkeys(), running, {}), DeviceWatchResult::Cancelled);
}

TEST_P(DeviceWatchTest, TheInterfaceThreadEndsAWatchRunningOnItsOwnThread) {
    SimLink sim(GetParam(), Program::AnalyzerRunner);
    DeviceWatchSettings settings = hotkeys();
    settings.countdownOn = true;
    settings.countdownSeconds = 1000000;
    std::atomic<bool> running{true};
    std::atomic<int> shown{0};
    DeviceWatchHooks hooks;
    hooks.showCountdown = [&](const std::string&) { ++shown; };
    DeviceWatchResult result = DeviceWatchResult::Start;
    std::thread watcher([&] { result = runDeviceWatch(sim.link, settings, running, hooks); });
    while (shown.load() < 3) {
        std::this_thread::yield();
    }
    running = false;
    watcher.join();
    EXPECT_EQ(result, DeviceWatchResult::Cancelled);
}

TEST_P(DeviceWatchTest, EndingSendsComputerOffBeforeLeavingAnalysis) {
    for (bool computerOff : {false, true}) {
        SimLink sim(GetParam(), Program::AnalyzerRunner);
        ASSERT_TRUE(enterMode(sim.link, 0x65));
        EXPECT_EQ(sim.machine.mode(), sim::MachineMode::Analysis);
        EXPECT_TRUE(leaveAnalysis(sim.link, computerOff));
        EXPECT_EQ(sim.machine.mode(), sim::MachineMode::Normal);
        auto actions = sim.machine.actions();
        if (computerOff) {
            ASSERT_EQ(actions.size(), 1u);
            EXPECT_EQ(actions[0].code, action_code::kComputerOff);
        } else {
            EXPECT_TRUE(actions.empty());
        }
        EXPECT_FALSE(sim.link.isOpen());
    }
}

INSTANTIATE_TEST_SUITE_P(BothLinks, DeviceWatchTest, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return std::string(testing::linkName(info.param)); });

TEST(StatusWindowPlacement, CountdownText) {
    EXPECT_EQ(countdownText(3725), "01 : 02 : 05");
    EXPECT_EQ(countdownText(-3), "00 : 00 : 00");
}

} // namespace
} // namespace quillon

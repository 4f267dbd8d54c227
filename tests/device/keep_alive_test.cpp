#include "device/device_records.h"
#include "device/keep_alive.h"
#include "base/timer_resolution.h"
#include "device/sim/sim_links.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

namespace quillon {
namespace {

using testing::SimLink;

// Waits in real time (the keep-alive runs on its own thread) for a condition.
template <typename Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(KeepAlive, TestsTheLinkAfter201IdleMilliseconds) {
    SimLink s(LinkKind::Hid, Program::ControlPanel);
    const uint32_t start = s.clock.tickCount();
    KeepAlive keepAlive;
    keepAlive.start(s.link, [] {});
    ASSERT_TRUE(eventually([&] { return s.machine.linkTests() >= 3; }));
    keepAlive.stop();
    const size_t tests = s.machine.linkTests();
    EXPECT_GE(s.clock.tickCount() - start, tests * 201);
    EXPECT_FALSE(s.link.isBusy());
}

TEST(KeepAlive, WaitsWhileTheInterfaceThreadHoldsTheLink) {
    SimLink s(LinkKind::Hid, Program::ControlPanel);
    s.link.acquireBusy();
    KeepAlive keepAlive;
    keepAlive.start(s.link, [] {});
    ASSERT_TRUE(eventually([&] { return s.clock.tickCount() > 5000; }));
    EXPECT_EQ(s.machine.linkTests(), 0u);
    s.link.releaseBusy();
    ASSERT_TRUE(eventually([&] { return s.machine.linkTests() >= 1; }));
    // The interface thread still gets the link between link tests.
    OptionRecord record;
    EXPECT_TRUE(readOptionRecord(s.link, record));
    keepAlive.stop();
}

TEST(KeepAlive, AFailedLinkTestClosesTheProgram) {
    for (auto fault : {sim::FaultKind::Unplug, sim::FaultKind::Silence}) {
        SimLink s(LinkKind::Hid, Program::ControlPanel);
        s.machine.setFault(fault, 0);
        std::atomic<int> closes{0};
        KeepAlive keepAlive;
        const uint32_t start = s.clock.tickCount();
        keepAlive.start(s.link, [&] { ++closes; });
        ASSERT_TRUE(eventually([&] { return closes.load() == 1; }));
        keepAlive.stop();
        EXPECT_TRUE(s.link.isDead() && !s.link.isBusy()) << "the link is given up and its lock free";
        // 201 idle looks, then 60 tries 2 ms apart.
        EXPECT_EQ(s.clock.tickCount() - start, 201u + 120u);
    }
}

// Windows rounds every sleep up to the system timer's period (15.625 ms unless
// a program asks for a finer one). Single-threaded: the clock ends the run.
class TimerPeriodClock final : public Clock {
public:
    uint32_t tickCount() override { return static_cast<uint32_t>(nowUs / 1000); }
    void sleepMs(uint32_t ms) override {
        const uint64_t periods = std::max<uint64_t>(1, (uint64_t{ms} * 1000 + periodUs - 1) / periodUs);
        nowUs += periods * periodUs;
        if (nowUs >= stopAtUs) {
            running.store(false);
        }
    }
    uint64_t periodUs = 15625;
    uint64_t nowUs = 0;
    uint64_t stopAtUs = 10'000'000;
    std::atomic<bool> running{true};
};

TEST(KeepAlive, TestsTheLinkEvery201MsOnlyUnderTheFineTimer) {
    for (bool fine : {false, true}) {
        TimerPeriodClock clock;
        TimerPeriodCalls system{[&](uint32_t ms) {
                                    clock.periodUs = ms * 1000;
                                    return true;
                                },
                                [&](uint32_t) { clock.periodUs = 15625; }};
        std::optional<FineTimerResolution> timer;
        if (fine) {
            timer.emplace(system);
        }
        sim::SimulatedMachine machine(clock);
        Link link(Program::ControlPanel, clock);
        link.attach(std::make_unique<sim::SimTransport>(LinkKind::Hid, machine, clock));
        runKeepAlive(link, clock.running, {});
        // Ten seconds: with 1 ms looks one link test per 201 ms; with the
        // default period each look lasts 15.6 ms and a test comes every 3.1 s.
        EXPECT_EQ(machine.linkTests(), fine ? 49u : 3u) << (fine ? "fine timer" : "default timer");
    }
}

} // namespace
} // namespace quillon

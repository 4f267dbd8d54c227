#include "device/device_records.h"
#include "device/keep_alive.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
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
        EXPECT_TRUE(s.link.isBusy()) << "the link stays taken while the program closes";
        // 201 idle looks, then 60 tries 2 ms apart.
        EXPECT_EQ(s.clock.tickCount() - start, 201u + 120u);
    }
}

} // namespace
} // namespace quillon

// shot-taker's conversation with the simulated machine on both links: the
// modes it enters, the signals it reads, and a closed link that reads none.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "device/device_records.h"
#include "device/sim/sim_links.h"
#include "device/sim/simulated_machine.h"
#include "shot/capture_loop.h"
#include "shot/link_shot_machine.h"

namespace quillon {
namespace {

TEST(LinkShotMachine, ModesAndSignalsOnBothLinks) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SCOPED_TRACE(kind == LinkKind::Hid ? "HID" : "serial");
        VirtualClock clock;
        sim::SimulatedMachine machine{clock};
        LinkShotMachine shot(clock);
        shot.link().attach(std::make_unique<sim::SimTransport>(kind, machine, clock), 0);

        // Signals wait until the screenshot mode is on.
        machine.injectSignal(1);
        EXPECT_EQ(shot.readSignal(), std::optional<uint8_t>(kNoSignal));
        ASSERT_TRUE(shot.enterScreenshotMode());
        EXPECT_EQ(machine.mode(), sim::MachineMode::Screenshot);
        machine.injectSignal(2);
        std::vector<uint8_t> read;
        for (int i = 0; i < 4; ++i) read.push_back(shot.readSignal().value_or(0));
        EXPECT_EQ(read, (std::vector<uint8_t>{1, 2, kNoSignal, kNoSignal}));

        ASSERT_TRUE(shot.enterNormalMode());
        EXPECT_EQ(machine.mode(), sim::MachineMode::Normal);
        shot.close();
        EXPECT_FALSE(shot.link().isOpen());
        EXPECT_EQ(shot.readSignal(), std::optional<uint8_t>(kNoSignal));
        EXPECT_FALSE(shot.enterNormalMode()); // the exit sequence after a close sends nothing
    }
}

// machine-sim serves the serial line and the HID interface of one machine and
// flushes the line's output all the time: a signal must reach the HID host
// that asked for screenshots, not a line no host has spoken on.
TEST(LinkShotMachine, SignalsGoToTheHidHostWhileTheSerialLineIsUnused) {
    VirtualClock clock;
    sim::SimulatedMachine machine{clock};
    sim::SimSerialLink unused(machine);
    LinkShotMachine shot(clock);
    shot.link().attach(std::make_unique<sim::SimTransport>(LinkKind::Hid, machine, clock), 0);
    ASSERT_TRUE(shot.enterScreenshotMode());
    machine.injectSignal(1);
    EXPECT_TRUE(unused.takeOutput().empty());
    EXPECT_EQ(shot.readSignal(), std::optional<uint8_t>(1));
}

TEST(LinkShotMachine, AMachineThatNeverAcknowledgesIsGivenUp) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SCOPED_TRACE(kind == LinkKind::Hid ? "HID" : "serial");
        VirtualClock clock;
        sim::SimulatedMachine machine{clock};
        machine.setModeAcknowledgementDelay(30);
        LinkShotMachine shot(clock);
        shot.link().attach(std::make_unique<sim::SimTransport>(kind, machine, clock), 0);
        const uint32_t start = clock.tickCount();
        EXPECT_FALSE(shot.enterScreenshotMode());
        EXPECT_EQ(clock.tickCount() - start, 29u * 5u);
    }
}

// A machine that goes away mid-session, on either link: shot-taker's signal
// read gives up after the link's retries (instead of reading "nothing" for
// ever at full speed), and a second thread waiting for the busy lock of a
// failed exchange returns instead of waiting for ever.
class LinkFailure : public ::testing::TestWithParam<LinkKind> {};

TEST_P(LinkFailure, SignalReadGivesUpAndWaitersReturn) {
    const LinkKind kind = GetParam();
    VirtualClock clock;
    sim::SimulatedMachine machine{clock};
    LinkShotMachine shot(clock);
    shot.link().attach(std::make_unique<sim::SimTransport>(kind, machine, clock), 0);
    ASSERT_TRUE(shot.enterScreenshotMode());
    EXPECT_EQ(shot.readSignal(), std::optional<uint8_t>(kNoSignal)) << "an idle machine is no failure";

    machine.setFault(sim::FaultKind::Unplug, machine.frameCount());
    const uint32_t start = clock.tickCount();
    EXPECT_EQ(shot.readSignal(), std::nullopt);
    EXPECT_EQ(clock.tickCount() - start, 29u * 5u) << "30 tries 5 ms apart";
    EXPECT_TRUE(shot.link().isDead());
    const uint64_t frames = machine.frameCount();
    EXPECT_FALSE(shot.enterNormalMode()) << "the exit sequence fails at once";
    EXPECT_EQ(machine.frameCount(), frames);

    // The busy lock: an operation fails while another thread waits for the lock.
    auto waiting = std::make_shared<std::atomic<int>>(-1); // kept alive if the waiter never returns
    struct Shared {
        VirtualClock clock;
        sim::SimulatedMachine machine{clock};
        Link link{Program::ControlPanel, clock};
    };
    auto shared = std::make_shared<Shared>();
    shared->link.attach(std::make_unique<sim::SimTransport>(kind, shared->machine, shared->clock), 0);
    shared->machine.setFault(sim::FaultKind::Unplug, 0);
    {
        BusyLink busy(shared->link);
        std::thread([shared, waiting] { waiting->store(testLink(shared->link) ? 1 : 0); }).detach();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(shared->link.sendCommand(command::kLinkTest));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waiting->load() < 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(waiting->load(), 0) << "the waiting operation returned, failed";
    EXPECT_TRUE(shared->link.isDead());
    EXPECT_FALSE(shared->link.isBusy());
}

INSTANTIATE_TEST_SUITE_P(BothLinks, LinkFailure, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return info.param == LinkKind::Hid ? "Hid" : "Serial"; });

} // namespace
} // namespace quillon

// shot-taker's conversation with the simulated machine on both links: the
// modes it enters, the signals it reads, and a closed link that reads none.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/clock.h"
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
        EXPECT_EQ(shot.readSignal(), kNoSignal);
        ASSERT_TRUE(shot.enterScreenshotMode());
        EXPECT_EQ(machine.mode(), sim::MachineMode::Screenshot);
        machine.injectSignal(2);
        std::vector<uint8_t> read;
        for (int i = 0; i < 4; ++i) read.push_back(shot.readSignal());
        EXPECT_EQ(read, (std::vector<uint8_t>{1, 2, kNoSignal, kNoSignal}));

        ASSERT_TRUE(shot.enterNormalMode());
        EXPECT_EQ(machine.mode(), sim::MachineMode::Normal);
        shot.close();
        EXPECT_FALSE(shot.link().isOpen());
        EXPECT_EQ(shot.readSignal(), kNoSignal);
        EXPECT_FALSE(shot.enterNormalMode()); // the exit sequence after a close sends nothing
    }
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

} // namespace
} // namespace quillon

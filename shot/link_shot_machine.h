// shot-taker's conversation with the machine over the link: screenshot mode
// while the window is open, one signal at a time, normal mode at the end.
#pragma once

#include <memory>

#include "base/clock.h"
#include "device/link.h"
#include "device/startup_data.h"
#include "shot/shot_machine.h"

namespace quillon {

class LinkShotMachine final : public ShotMachine {
public:
    explicit LinkShotMachine(Clock& clock) : link_(Program::ShotTaker, clock) {}

    // The link the machine factory fills.
    Link& link() { return link_; }

    bool enterScreenshotMode() override;
    bool enterNormalMode() override;
    std::optional<uint8_t> readSignal() override;
    void close() override;

private:
    Link link_;
};

// Finds the machine for shot-taker (the serial probe over the ports the
// start-up data names, then HID, or the simulated machine in the demo mode).
// The screenshot mode is not entered here: the window does that when it
// opens. nullptr when no machine answers.
std::unique_ptr<ShotMachine> openShotMachine(const StartupData& data);

} // namespace quillon

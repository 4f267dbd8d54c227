// Opening the machine for shot-taker: the serial probe over the ports named in
// the start-up data, then the HID interface (or the simulated machine in the
// demo mode, QUILLON_MACHINE=sim). The screenshot mode is not entered here:
// the window does that when it opens.
#pragma once

#include <memory>

#include "device/startup_data.h"
#include "shot/shot_machine.h"

namespace quillon {

// nullptr when no machine answers.
std::unique_ptr<ShotMachine> openShotMachine(const StartupData& data);

} // namespace quillon

// The demo mode's simulated machine: one per process, made on first use on
// the system clock, and its offer to the link factory (device/open_link.h).
#pragma once

#include "device/sim/simulated_machine.h"

namespace quillon::sim {

// The process's simulated machine. QUILLON_MACHINE_COMMANDS holds control
// commands run when it is made (separated by ';', e.g. "screen 1280x800;
// hotkey 0x3a"); QUILLON_MACHINE_CONTROL names a file whose lines are run as
// they are appended (see control_file.h).
SimulatedMachine& demoMachine();

// Offers demoMachine() for QUILLON_MACHINE=sim and sim-serial: a program
// that has the demo mode calls this once at start.
void offerDemoMachine();

} // namespace quillon::sim

// Opening the machine link for a program, with the demo mode: when the
// environment variable QUILLON_MACHINE is "sim" (or "sim-serial") the program
// talks to an in-process simulated machine over HID (or the serial link)
// instead of looking for hardware.
#pragma once

#include "device/discovery.h"
#include "device/link.h"
#include "device/sim/simulated_machine.h"

#include <string>
#include <vector>

namespace quillon {

// HardwareAnyLink ("serial"): the real machine, and control-panel too looks
// on the serial ports (a test rig serving the machine on a COM port; on a PC
// control-panel reaches the machine through its HID interface only).
enum class MachineChoice { Hardware, HardwareAnyLink, SimulatedHid, SimulatedSerial };

// Reads QUILLON_MACHINE.
MachineChoice machineChoiceFromEnvironment();

// The process's simulated machine (demo mode), created on first use on the
// system clock. QUILLON_MACHINE_COMMANDS holds control commands run when it
// is made (separated by ';', e.g. "screen 1280x800; hotkey 0x3a");
// QUILLON_MACHINE_CONTROL names a file whose lines are run as they are
// appended (see control_file.h).
sim::SimulatedMachine& demoMachine();

// The one place a program's link is made: attaches the demo machine over the
// chosen link when the choice says so, else finds the machine on `platform`
// (serial probe first except in control-panel, then HID). The opening mode
// command is not sent. `serialPortNames` come from the start-up data name
// block. Failure: LinkFailure::NoDevice.
bool connectMachine(Link& link, MachineChoice choice, const LinkPlatform& platform,
                    const std::vector<std::string>& serialPortNames);
// The same with the choice of QUILLON_MACHINE and the operating system's ports.
bool connectMachine(Link& link, const std::vector<std::string>& serialPortNames);

// connectMachine, then the program's opening mode command. `serialPortNames` come from the start-up data name block
// (defaultSerialPortNames() when it is not loaded).
bool openLink(Link& link, const std::vector<std::string>& serialPortNames = defaultSerialPortNames());
bool openLink(Link& link, MachineChoice choice, const std::vector<std::string>& serialPortNames);

} // namespace quillon

// Opening the machine link for a program. The environment variable
// QUILLON_MACHINE chooses the machine: the real one (unset), the real one on
// any link ("serial"), or a simulated machine over HID ("sim") or the serial
// link ("sim-serial") for the demo mode. The simulated machine is not part of
// device/: a program that offers the demo mode hands its maker over once at
// start (sim::offerDemoMachine()); without one the simulated choices find no
// machine.
#pragma once

#include "device/discovery.h"
#include "device/link.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// HardwareAnyLink ("serial"): the real machine, and control-panel too looks
// on the serial ports (a test rig serving the machine on a COM port; on a PC
// control-panel reaches the machine through its HID interface only).
enum class MachineChoice { Hardware, HardwareAnyLink, SimulatedHid, SimulatedSerial };

// Reads QUILLON_MACHINE.
MachineChoice machineChoiceFromEnvironment();

// Makes the transport of a link of `kind` to the program's simulated machine.
using SimulatedMachineMaker = std::function<std::unique_ptr<Transport>(LinkKind kind, Clock& clock)>;
// The program's simulated machine for the simulated choices (an empty maker
// takes it back).
void offerSimulatedMachine(SimulatedMachineMaker maker);

// The one place a program's link is made: attaches the offered simulated
// machine over the chosen link when the choice says so, else finds the
// machine on `platform` (serial probe first except in control-panel, then
// HID). The opening mode command is not sent. `serialPortNames` come from the
// start-up data name block. Failure: LinkFailure::NoDevice.
bool connectMachine(Link& link, MachineChoice choice, const LinkPlatform& platform,
                    const std::vector<std::string>& serialPortNames);
// The same with the choice of QUILLON_MACHINE and the operating system's ports.
bool connectMachine(Link& link, const std::vector<std::string>& serialPortNames);

// connectMachine, then the program's opening mode command. `serialPortNames` come from the start-up data name block
// (defaultSerialPortNames() when it is not loaded).
bool openLink(Link& link, const std::vector<std::string>& serialPortNames = defaultSerialPortNames());
bool openLink(Link& link, MachineChoice choice, const std::vector<std::string>& serialPortNames);

} // namespace quillon

#include "device/sim/open_link.h"

#include "device/link_startup.h"
#include "device/modes.h"
#include "device/sim/control_file.h"
#include "device/sim/sim_links.h"

#include <cstdlib>
#include <cstring>

namespace quillon {

MachineChoice machineChoiceFromEnvironment() {
    const char* value = std::getenv("QUILLON_MACHINE");
    if (value == nullptr) {
        return MachineChoice::Hardware;
    }
    if (std::strcmp(value, "sim") == 0 || std::strcmp(value, "sim-hid") == 0) {
        return MachineChoice::SimulatedHid;
    }
    if (std::strcmp(value, "sim-serial") == 0) {
        return MachineChoice::SimulatedSerial;
    }
    if (std::strcmp(value, "serial") == 0) {
        return MachineChoice::HardwareAnyLink;
    }
    return MachineChoice::Hardware;
}

namespace {

// The demo machine and the follower of its control file; the follower is
// made after the machine, so it stops (and joins) before the machine goes.
struct DemoMachine {
    sim::SimulatedMachine machine{systemClock()};
    sim::ControlFileFollower follower;

    DemoMachine() {
        if (const char* commands = std::getenv("QUILLON_MACHINE_COMMANDS")) {
            sim::runCommandList(machine, commands);
        }
        if (const char* path = std::getenv("QUILLON_MACHINE_CONTROL"); path && *path) {
            follower.start(machine, path, systemClock());
        }
    }
};

} // namespace

sim::SimulatedMachine& demoMachine() {
    static DemoMachine demo;
    return demo.machine;
}

bool connectMachine(Link& link, MachineChoice choice, const LinkPlatform& platform,
                    const std::vector<std::string>& serialPortNames) {
    if (choice == MachineChoice::Hardware) {
        return findMachine(link, platform, serialPortNames);
    }
    if (choice == MachineChoice::HardwareAnyLink) {
        if (findMachine(link, platform, serialPortNames)) {
            return true;
        }
        if (link.program() == Program::ControlPanel && probeSerialPorts(link, platform, serialPortNames)) {
            link.clearError();
            return true;
        }
        return false;
    }
    const LinkKind kind = choice == MachineChoice::SimulatedSerial ? LinkKind::Serial : LinkKind::Hid;
    link.clearError();
    link.attach(std::make_unique<sim::SimTransport>(kind, demoMachine(), link.clock()), 0);
    return true;
}

bool connectMachine(Link& link, const std::vector<std::string>& serialPortNames) {
    return connectMachine(link, machineChoiceFromEnvironment(), systemLinkPlatform(), serialPortNames);
}

bool openLink(Link& link, MachineChoice choice, const std::vector<std::string>& serialPortNames) {
    return connectMachine(link, choice, systemLinkPlatform(), serialPortNames) &&
           enterMode(link, openingModeOf(link.program()));
}

bool openLink(Link& link, const std::vector<std::string>& serialPortNames) {
    return openLink(link, machineChoiceFromEnvironment(), serialPortNames);
}

} // namespace quillon

#include "device/open_link.h"

#include "device/link_startup.h"
#include "device/modes.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

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

std::mutex offerLock;
SimulatedMachineMaker& offered() {
    static SimulatedMachineMaker maker;
    return maker;
}

} // namespace

void offerSimulatedMachine(SimulatedMachineMaker maker) {
    std::lock_guard<std::mutex> hold(offerLock);
    offered() = std::move(maker);
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
    std::unique_ptr<Transport> transport;
    {
        std::lock_guard<std::mutex> hold(offerLock);
        if (offered()) {
            transport = offered()(kind, link.clock());
        }
    }
    if (!transport) {
        link.clearError();
        return link.fail(LinkFailure::NoDevice, "connectMachine");
    }
    link.clearError();
    link.attach(std::move(transport), 0);
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

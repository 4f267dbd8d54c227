#include "device/link_startup.h"

#include "device/modes.h"

namespace quillon {

bool findMachine(Link& link, const LinkPlatform& platform, const std::vector<std::string>& serialPortNames) {
    link.clearError();
    if (link.program() != Program::ControlPanel && probeSerialPorts(link, platform, serialPortNames)) {
        return true;
    }
    if (findHidDevice(link, platform)) {
        return true;
    }
    return link.fail(LinkFailure::NoDevice, "findHidDevice");
}

bool startLink(Link& link, const LinkPlatform& platform, const std::vector<std::string>& serialPortNames) {
    return findMachine(link, platform, serialPortNames) && enterMode(link, openingModeOf(link.program()));
}

bool stopLink(Link& link) {
    bool ok = true;
    if (link.isOpen()) {
        if (const uint8_t closing = closingModeOf(link.program())) {
            ok = enterMode(link, closing);
        }
    }
    link.closeLink();
    return ok;
}

} // namespace quillon

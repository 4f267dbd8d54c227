#include "device/discovery.h"

namespace quillon {

bool isCommandInterface(const HidInterfaceInfo& info) {
    return info.usagePage >= kVendorUsagePageFirst && info.usagePage <= kVendorUsagePageLast &&
           info.inputReportLength == kCommandInputReportLength;
}

std::vector<std::string> defaultSerialPortNames() {
    return {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:", "COM6:", "COM7:"};
}

bool findHidDevice(Link& link, const LinkPlatform& platform) {
    if (!platform.enumerateHidInterfaces || !platform.openHidInterface) {
        return false;
    }
    for (const HidInterfaceInfo& info : platform.enumerateHidInterfaces()) {
        if (!isCommandInterface(info)) {
            continue;
        }
        if (auto transport = platform.openHidInterface(info)) {
            link.attach(std::move(transport), 0);
            return true;
        }
    }
    return false;
}

namespace {

enum class ProbeAnswer { Machine, OtherDevice, Silent };

ProbeAnswer probeOnePort(Link& link) {
    static const uint8_t linkTest[2] = {0x01, command::kLinkTest};
    if (!link.writeRaw(linkTest, sizeof linkTest)) {
        return ProbeAnswer::Silent;
    }
    uint8_t length = 0;
    if (!link.readSerialByte(length, link_timing::kProbeByteLimitMs)) {
        return ProbeAnswer::Silent;
    }
    uint8_t first = 0;
    for (uint8_t i = 0; i < length; ++i) {
        uint8_t byte = 0;
        if (!link.readSerialByte(byte, link_timing::kProbeByteLimitMs)) {
            return ProbeAnswer::Silent;
        }
        if (i == 0) {
            first = byte;
        }
    }
    return length > 0 && first == kLinkTestAnswer ? ProbeAnswer::Machine : ProbeAnswer::OtherDevice;
}

} // namespace

bool probeSerialPorts(Link& link, const LinkPlatform& platform, const std::vector<std::string>& portNames) {
    if (!platform.openSerialPort) {
        return false;
    }
    for (size_t index = 0; index < portNames.size(); ++index) {
        auto port = platform.openSerialPort(portNames[index]);
        if (!port) {
            continue;
        }
        link.attach(std::move(port), static_cast<int>(index));
        switch (probeOnePort(link)) {
        case ProbeAnswer::Machine:
            return true;
        case ProbeAnswer::OtherDevice:
            link.closeLink();
            break;
        case ProbeAnswer::Silent:
            link.closeLink();
            return false;
        }
    }
    return false;
}

} // namespace quillon

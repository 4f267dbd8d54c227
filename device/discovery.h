// Finding the machine: the serial probe over COM1..COM7 and the choice of the
// machine's vendor-defined HID interface. Both work over small seams so that
// the rules are tested without hardware: the platform enumerates HID
// interfaces and opens ports; the choice and the probe are portable.
#pragma once

#include "device/link.h"
#include "device/transport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

// One present HID interface as the system describes it.
struct HidInterfaceInfo {
    std::string path;
    uint16_t vendorId = 0;  // read but not compared
    uint16_t productId = 0; // read but not compared
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
};

inline constexpr uint16_t kVendorUsagePageFirst = 0xFF60;
inline constexpr uint16_t kVendorUsagePageLast = 0xFF7F;
inline constexpr uint16_t kCommandInputReportLength = 65;

// The machine's command interface: a vendor usage page 0xFF60..0xFF7F and an
// input report of exactly 65 bytes.
bool isCommandInterface(const HidInterfaceInfo& info);

// What the platform offers for finding the machine.
struct LinkPlatform {
    // Present HID interfaces in enumeration order.
    std::function<std::vector<HidInterfaceInfo>()> enumerateHidInterfaces;
    // Opens the chosen interface (write handle and overlapped read handle).
    std::function<std::unique_ptr<Transport>(const HidInterfaceInfo&)> openHidInterface;
    // Opens a serial port by name, applies 9600 8N1 and the read time-outs;
    // null when the port does not open.
    std::function<std::unique_ptr<Transport>(const std::string&)> openSerialPort;
};

// The seven serial port names in probe order, "COM1:".."COM7:" unless the
// start-up data names others.
std::vector<std::string> defaultSerialPortNames();

// HID discovery: the first interface in enumeration order that passes
// isCommandInterface and opens is attached to the link.
bool findHidDevice(Link& link, const LinkPlatform& platform);

// Serial probe: for each port in order, open it, send the link test [1][0x9C],
// and wait up to 500 ms for each byte of the reply. A port that answers with
// 0xAA first is the machine; an answer with another first byte moves on to the
// next port; a port that opens but stays silent ends the probe at once.
bool probeSerialPorts(Link& link, const LinkPlatform& platform, const std::vector<std::string>& portNames);

} // namespace quillon

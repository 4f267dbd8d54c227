// The operating system's transports. Windows: the HID command interface
// (a write handle for output reports and an overlapped read handle for input
// reports) and COM ports. Linux: serial device files (a machine-sim
// pseudo-terminal in tests); there is no HID there.
#pragma once

#include "device/discovery.h"
#include "device/transport.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

// Opens a port by name ("COM1:" on Windows, a device path on Linux) for
// reading and writing, not shared; 9600 baud, 8 data bits, no parity, one
// stop bit; read interval 5 ms, total multiplier 1 ms, total constant 5 ms;
// write time-outs 0. Null when the port does not open.
std::unique_ptr<Transport> openSerialPortTransport(const std::string& name);

// Present HID interfaces in enumeration order with their usage page and
// report lengths (empty where the system has no HID class).
std::vector<HidInterfaceInfo> enumerateHidInterfaces();
std::unique_ptr<Transport> openHidInterfaceTransport(const HidInterfaceInfo& info);

} // namespace quillon

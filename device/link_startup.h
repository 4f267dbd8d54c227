// Opening and closing the link, in the order each program follows:
//   1. analyzer-editor, analyzer-runner and shot-taker probe the serial ports
//      first; on an answer the link is serial;
//   2. otherwise (and always in control-panel) the HID interface is sought;
//      control-panel probes the serial ports only when no HID interface
//      answers; no device at all is fatal;
//   3. the program's opening mode command is sent and acknowledged.
#pragma once

#include "device/discovery.h"
#include "device/link.h"

#include <string>
#include <vector>

namespace quillon {

// Steps 1 and 2 only. Failure: LinkFailure::NoDevice.
bool findMachine(Link& link, const LinkPlatform& platform, const std::vector<std::string>& serialPortNames);

// Steps 1 to 3.
bool startLink(Link& link, const LinkPlatform& platform, const std::vector<std::string>& serialPortNames);

// The closing command of the program (if it has one), then the handles.
bool stopLink(Link& link);

// The operating system's ports and HID interfaces (Windows: SetupDi/HidD and
// COM ports; Linux: serial device files, no HID).
LinkPlatform systemLinkPlatform();

} // namespace quillon

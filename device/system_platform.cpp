#include "device/link_startup.h"
#include "device/system_transports.h"

namespace quillon {

LinkPlatform systemLinkPlatform() {
    LinkPlatform platform;
    platform.enumerateHidInterfaces = enumerateHidInterfaces;
    platform.openHidInterface = openHidInterfaceTransport;
    platform.openSerialPort = openSerialPortTransport;
    return platform;
}

} // namespace quillon

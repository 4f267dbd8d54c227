// Under Wine: the real Windows serial transport finds machine-sim on COM1
// (probe), puts it into normal mode and reads its records.
#include "device/device_records.h"
#include "device/link_startup.h"

#include <cstdio>

using namespace quillon;

namespace {

int failed(const char* what, const Link& link) {
    std::printf("FAILED: %s (%s)\n", what, link.lastError().operation);
    return 1;
}

} // namespace

int main() {
    Link link(Program::AnalyzerEditor, systemClock());
    if (!startLink(link, systemLinkPlatform(), defaultSerialPortNames())) {
        return failed("no machine on the serial ports", link);
    }
    if (link.kind() != LinkKind::Serial || link.serialPortIndex() != 0) {
        std::printf("FAILED: expected the serial link on COM1, got kind %d port %d\n", int(link.kind()),
                    link.serialPortIndex());
        return 1;
    }
    std::printf("machine answered on COM%d\n", link.serialPortIndex() + 1);

    OptionRecord option;
    if (!readOptionRecord(link, option)) {
        return failed("option record", link);
    }
    std::printf("option record: magic %04X flags %04X speed %u device %u firmware %02X.%02X\n",
                unsigned(option.magic), unsigned(option.flags), unsigned(option.mouseSpeed),
                unsigned(option.deviceNumber), unsigned(option.firmwareVersion >> 8),
                unsigned(option.firmwareVersion & 0xFF));
    if (option.deviceNumber != 20261208u || option.firmwareVersion != 0x0103) {
        std::printf("FAILED: unexpected option record\n");
        return 1;
    }
    HotkeyRecord hotkeys;
    if (!readHotkeyRecord(link, hotkeys)) {
        return failed("hotkey record", link);
    }
    std::printf("hotkey record: magic %04X\n", unsigned(hotkeys.magic));
    if (!writeOptionRecord(link, option)) {
        return failed("option record write", link);
    }
    stopLink(link);
    std::printf("serial link check passed\n");
    return 0;
}

// Under Wine: the real Windows serial transport finds machine-sim on COM1
// (probe), puts it into normal mode and reads its records.
#include "device/device_records.h"
#include "device/link_startup.h"
#include "device/memory_transfer.h"

#include <cstdio>

using namespace quillon;

namespace {

int failed(const char* what, const Link& link) {
    std::printf("FAILED: %s (%s)\n", what, link.lastError().operation);
    return 1;
}

} // namespace

int main() {
    // control-panel looks only for the HID interface; Wine has none, and the
    // enumeration must say so instead of failing in another way.
    {
        Link hidOnly(Program::ControlPanel, systemClock());
        const uint32_t start = systemClock().tickCount();
        if (startLink(hidOnly, systemLinkPlatform(), defaultSerialPortNames()) ||
            hidOnly.lastError().failure != LinkFailure::NoDevice) {
            std::printf("FAILED: control-panel found a machine without HID\n");
            return 1;
        }
        std::printf("control-panel: no HID interface (%u ms)\n", unsigned(systemClock().tickCount() - start));
    }
    Link link(Program::AnalyzerEditor, systemClock());
    const uint32_t probeStart = systemClock().tickCount();
    if (!startLink(link, systemLinkPlatform(), defaultSerialPortNames())) {
        return failed("no machine on the serial ports", link);
    }
    if (link.kind() != LinkKind::Serial || link.serialPortIndex() != 0) {
        std::printf("FAILED: expected the serial link on COM1, got kind %d port %d\n", int(link.kind()),
                    link.serialPortIndex());
        return 1;
    }
    std::printf("machine answered on COM%d (probe and normal mode: %u ms)\n", link.serialPortIndex() + 1,
                unsigned(systemClock().tickCount() - probeStart));

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

    // The largest edit memory goes in and comes back byte for byte.
    std::vector<uint8_t> code(kEditBodyMax);
    for (size_t i = 0; i < code.size(); ++i) {
        code[i] = static_cast<uint8_t>(i * 31 + i / 256);
    }
    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.flags = 0x4000;
    header.bodyLength = static_cast<uint16_t>(code.size());
    setMemoryName(header.name, "wine edit");
    const uint32_t storeStart = systemClock().tickCount();
    if (!storeEdit(link, 5, header, code, 501)) {
        return failed("storing the edit memory", link);
    }
    const uint32_t readStart = systemClock().tickCount();
    EditMemoryHeader back{};
    std::vector<uint8_t> read;
    if (!readEditBody(link, 5, back, read, 502)) {
        return failed("reading the edit memory", link);
    }
    if (read != code || back.bodyLength != header.bodyLength) {
        std::printf("FAILED: the edit memory came back different (%zu bytes)\n", read.size());
        return 1;
    }
    const uint32_t end = systemClock().tickCount();
    std::printf("edit memory 1-6: %zu bytes stored in %u ms and read back in %u ms\n", read.size(),
                unsigned(readStart - storeStart), unsigned(end - readStart));

    stopLink(link);
    std::printf("serial link check passed\n");
    return 0;
}

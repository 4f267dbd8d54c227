// machine-sim-probe: the native side of machine-sim's test. Opens the given
// terminal with the POSIX serial transport, probes it, enters a mode, reads
// the option record, and prints what it found.
#include "device/actions.h"
#include "device/device_records.h"
#include "device/link_startup.h"
#include "device/modes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quillon;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: machine-sim-probe PTY [status | move X Y W H]\n");
        return 2;
    }
    Link link(Program::AnalyzerRunner, systemClock());
    if (!startLink(link, systemLinkPlatform(), {"COM1:", argv[1]})) {
        std::fprintf(stderr, "no machine: %s\n", link.lastError().operation);
        return 1;
    }
    std::printf("serial port index %d\n", link.serialPortIndex());
    OptionRecord record;
    if (!readOptionRecord(link, record)) {
        std::fprintf(stderr, "option record: %s\n", link.lastError().operation);
        return 1;
    }
    std::printf("option record magic %04X device %u firmware %02X.%02X\n", unsigned(record.magic),
                unsigned(record.deviceNumber), unsigned(record.firmwareVersion >> 8),
                unsigned(record.firmwareVersion & 0xFF));
    if (argc > 2 && std::string(argv[2]) == "status") {
        StatusReply reply;
        if (!requestStatus(link, reply)) {
            std::fprintf(stderr, "no status\n");
            return 1;
        }
        std::printf("status hotkey %u remote %u\n", unsigned(reply.hotkey), unsigned(reply.remoteCommand));
        sendAction(link, Action::keyDown(0x04));
        sendAction(link, Action::keyUp(0x04));
    }
    if (argc > 6 && std::string(argv[2]) == "move") {
        // move X Y W H: an absolute move to pixel (X, Y) of a W x H screen, then a click.
        const DevicePoint point =
            toDeviceScale(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
        sendAction(link, Action::moveTo(point.x, point.y));
        sendAction(link, Action::buttonDown(mouse_button::kLeft));
        sendAction(link, Action::buttonUp(mouse_button::kLeft));
        std::printf("moved to device %u,%u\n", unsigned(point.x), unsigned(point.y));
    }
    if (!stopLink(link)) {
        std::fprintf(stderr, "leaving analysis mode failed\n");
        return 1;
    }
    return 0;
}

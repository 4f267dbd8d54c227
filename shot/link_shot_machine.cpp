#include "shot/link_shot_machine.h"

#include "device/modes.h"
#include "device/open_link.h"
#include "shot/capture_loop.h"

namespace quillon {

bool LinkShotMachine::enterScreenshotMode() { return enterMode(link_, command::kEnterScreenshotMode); }

bool LinkShotMachine::enterNormalMode() { return link_.isOpen() && enterMode(link_, command::kEnterNormalMode); }

std::optional<uint8_t> LinkShotMachine::readSignal() {
    if (!link_.isOpen()) {
        return kNoSignal;
    }
    for (int tries = 0; tries < link_timing::kHidTries; ++tries) {
        if (tries > 0) {
            link_.clock().sleepMs(link_timing::kHidRetrySleepMs);
        }
        if (link_.isDead()) {
            break;
        }
        if (link_.kind() == LinkKind::Serial) {
            uint8_t byte = kNoSignal;
            switch (link_.readSerialByteOnce(byte)) {
            case ByteRead::Byte:
                return byte;
            case ByteRead::TimedOut:
                return kNoSignal;
            case ByteRead::Failed:
                break;
            }
            continue;
        }
        switch (link_.receiveReportOnce()) {
        case ReportRead::Report:
            return link_.reply()[1];
        case ReportRead::TimedOut:
            return kNoSignal;
        case ReportRead::Failed:
            continue;
        }
    }
    // The machine is gone: nothing more is sent to it.
    link_.markDead();
    return std::nullopt;
}

void LinkShotMachine::close() {
    if (link_.isOpen()) {
        link_.closeLink();
    }
}

std::unique_ptr<ShotMachine> openShotMachine(const StartupData& data) {
    std::vector<std::string> ports;
    for (size_t i = 0; i < name_offset::kSerialPortCount; ++i) {
        ports.push_back(data.serialPortName(i));
    }
    auto machine = std::make_unique<LinkShotMachine>(systemClock());
    if (!connectMachine(machine->link(), ports)) {
        return nullptr;
    }
    return machine;
}

} // namespace quillon

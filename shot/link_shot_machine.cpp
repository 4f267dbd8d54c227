#include "shot/link_shot_machine.h"

#include "device/modes.h"
#include "device/sim/open_link.h"
#include "shot/capture_loop.h"

namespace quillon {

bool LinkShotMachine::enterScreenshotMode() { return enterMode(link_, command::kEnterScreenshotMode); }

bool LinkShotMachine::enterNormalMode() { return link_.isOpen() && enterMode(link_, command::kEnterNormalMode); }

uint8_t LinkShotMachine::readSignal() {
    if (!link_.isOpen()) {
        return kNoSignal;
    }
    if (link_.kind() == LinkKind::Serial) {
        uint8_t byte = kNoSignal;
        return link_.readSerialByteOnce(byte) == ByteRead::Byte ? byte : kNoSignal;
    }
    return link_.receiveReplyOnce() ? link_.reply()[1] : kNoSignal;
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

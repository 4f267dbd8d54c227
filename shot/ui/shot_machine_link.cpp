#include "shot/ui/shot_machine_link.h"

#include "base/clock.h"
#include "device/link.h"
#include "device/link_startup.h"
#include "device/modes.h"
#include "device/sim/open_link.h"
#include "device/sim/sim_links.h"
#include "shot/capture_loop.h"

namespace quillon {
namespace {

constexpr uint8_t kScreenshotMode = 0x60;
constexpr uint8_t kNormalMode = 0x61;

class LinkShotMachine final : public ShotMachine {
public:
    LinkShotMachine() : link_(Program::ShotTaker, systemClock()) {}

    bool open(const StartupData& data) {
        std::vector<std::string> ports;
        for (size_t i = 0; i < name_offset::kSerialPortCount; ++i) {
            ports.push_back(data.serialPortName(i));
        }
        MachineChoice choice = machineChoiceFromEnvironment();
        if (choice == MachineChoice::Hardware) {
            return findMachine(link_, systemLinkPlatform(), ports);
        }
        LinkKind kind = choice == MachineChoice::SimulatedSerial ? LinkKind::Serial : LinkKind::Hid;
        link_.attach(std::make_unique<sim::SimTransport>(kind, demoMachine(), link_.clock()), 0);
        return true;
    }

    bool enterScreenshotMode() override { return enterMode(link_, kScreenshotMode); }
    bool enterNormalMode() override { return link_.isOpen() && enterMode(link_, kNormalMode); }

    uint8_t readSignal() override {
        if (!link_.isOpen()) {
            return kNoSignal;
        }
        if (link_.kind() == LinkKind::Serial) {
            uint8_t byte = kNoSignal;
            return link_.readSerialByteOnce(byte) == ByteRead::Byte ? byte : kNoSignal;
        }
        link_.input[0] = 4;
        return link_.receiveReplyOnce() ? link_.input[1] : kNoSignal;
    }

    void close() override {
        if (link_.isOpen()) {
            link_.closeLink();
        }
    }

private:
    Link link_;
};

} // namespace

std::unique_ptr<ShotMachine> openShotMachine(const StartupData& data) {
    auto machine = std::make_unique<LinkShotMachine>();
    if (!machine->open(data)) {
        return nullptr;
    }
    return machine;
}

} // namespace quillon

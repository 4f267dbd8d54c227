// The one machine factory: which machine a program's link reaches for each
// choice, and that the opening mode is left to the program.
#include "device/link_startup.h"
#include "device/modes.h"
#include "device/open_link.h"
#include "device/sim/demo_machine.h"
#include "device/sim/sim_links.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

TEST(MachineFactory, TheChoiceDecidesWhichMachineTheLinkReaches) {
    sim::offerDemoMachine();
    struct Case {
        const char* name;
        MachineChoice choice;
        bool hardwarePresent;
        bool connected;
        LinkKind kind;
        bool platformAsked;
        bool reachesDemoMachine;
    } cases[] = {
        {"hardware found over HID", MachineChoice::Hardware, true, true, LinkKind::Hid, true, false},
        {"no hardware", MachineChoice::Hardware, false, false, LinkKind::Hid, true, false},
        {"simulated over HID", MachineChoice::SimulatedHid, false, true, LinkKind::Hid, false, true},
        {"simulated over the serial link", MachineChoice::SimulatedSerial, false, true, LinkKind::Serial, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        sim::SimulatedMachine hardware{clock};
        bool asked = false;
        LinkPlatform platform;
        platform.enumerateHidInterfaces = [&] {
            asked = true;
            std::vector<HidInterfaceInfo> found;
            if (c.hardwarePresent) {
                HidInterfaceInfo info;
                info.path = "vendor";
                info.usagePage = 0xFF60;
                info.inputReportLength = 65;
                found.push_back(info);
            }
            return found;
        };
        platform.openHidInterface = [&](const HidInterfaceInfo&) -> std::unique_ptr<Transport> {
            return std::make_unique<sim::SimTransport>(LinkKind::Hid, hardware, clock);
        };
        platform.openSerialPort = [&](const std::string&) -> std::unique_ptr<Transport> {
            asked = true;
            return nullptr;
        };
        Link link(Program::ShotTaker, clock);
        const sim::MachineMode demoBefore = sim::demoMachine().mode();
        EXPECT_EQ(connectMachine(link, c.choice, platform, defaultSerialPortNames()), c.connected);
        EXPECT_EQ(asked, c.platformAsked);
        EXPECT_EQ(link.isOpen(), c.connected);
        if (!c.connected) {
            EXPECT_EQ(link.lastError().failure, LinkFailure::NoDevice);
            continue;
        }
        EXPECT_EQ(link.kind(), c.kind);
        // No mode command yet: neither machine has moved.
        EXPECT_EQ(sim::demoMachine().mode(), demoBefore);
        EXPECT_EQ(hardware.mode(), sim::MachineMode::Normal);
        // The program's own opening command reaches the chosen machine.
        ASSERT_TRUE(enterMode(link, openingModeOf(Program::ShotTaker)));
        EXPECT_EQ(sim::demoMachine().mode(), c.reachesDemoMachine ? sim::MachineMode::Screenshot : demoBefore);
        EXPECT_EQ(hardware.mode(), c.reachesDemoMachine ? sim::MachineMode::Normal : sim::MachineMode::Screenshot);
        ASSERT_TRUE(enterMode(link, closingModeOf(Program::ShotTaker)));
    }
}

// control-panel reaches a machine on a serial port only when told to
// ("serial", the test rigs with the machine on a COM port).
TEST(MachineFactory, ControlPanelProbesTheSerialPortsOnlyWhenToldTo) {
    for (MachineChoice choice : {MachineChoice::Hardware, MachineChoice::HardwareAnyLink}) {
        VirtualClock clock;
        sim::SimulatedMachine onCom1{clock};
        std::vector<std::string> opened;
        LinkPlatform platform;
        platform.enumerateHidInterfaces = [] { return std::vector<HidInterfaceInfo>{}; };
        platform.openSerialPort = [&](const std::string& name) -> std::unique_ptr<Transport> {
            opened.push_back(name);
            return opened.size() == 1 ? std::make_unique<sim::SimTransport>(LinkKind::Serial, onCom1, clock) : nullptr;
        };
        Link link(Program::ControlPanel, clock);
        const bool anyLink = choice == MachineChoice::HardwareAnyLink;
        EXPECT_EQ(connectMachine(link, choice, platform, defaultSerialPortNames()), anyLink);
        EXPECT_EQ(opened.empty(), !anyLink);
        if (anyLink) {
            EXPECT_EQ(link.kind(), LinkKind::Serial);
        }
    }
}

} // namespace
} // namespace quillon

#include "device/discovery.h"
#include "device/link_startup.h"
#include "device/sim/sim_links.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <map>

namespace quillon {
namespace {

HidInterfaceInfo hid(const char* path, uint16_t page, uint16_t inputLength) {
    HidInterfaceInfo info;
    info.path = path;
    info.usagePage = page;
    info.inputReportLength = inputLength;
    return info;
}

// HID interfaces that open as the simulated machine; records what was opened.
struct FakeHidPlatform {
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::string> opened;
    std::vector<std::string> refusing; // paths that fail to open

    LinkPlatform platform(sim::SimulatedMachine& machine, Clock& clock) {
        LinkPlatform p;
        p.enumerateHidInterfaces = [this] { return interfaces; };
        p.openHidInterface = [this, &machine, &clock](const HidInterfaceInfo& info) -> std::unique_ptr<Transport> {
            opened.push_back(info.path);
            for (const auto& r : refusing) {
                if (r == info.path) return nullptr;
            }
            return std::make_unique<sim::SimTransport>(LinkKind::Hid, machine, clock);
        };
        return p;
    }
};

TEST(HidDiscovery, OpensOnlyTheFirstVendorInterfaceWithA65ByteReport) {
    struct Case {
        const char* name;
        std::vector<HidInterfaceInfo> interfaces;
        std::vector<std::string> refusing;
        const char* expected; // nullptr: nothing found
    };
    const Case cases[] = {
        {"keyboard, mouse, vendor",
         {hid("kbd", 0x0001, 9), hid("mouse", 0x0001, 5), hid("vendor", 0xFF60, 65)}, {}, "vendor"},
        {"page 0xFF80 is skipped", {hid("high", 0xFF80, 65), hid("vendor", 0xFF7F, 65)}, {}, "vendor"},
        {"64-byte report is skipped", {hid("short", 0xFF60, 64), hid("vendor", 0xFF70, 65)}, {}, "vendor"},
        {"first of two passes wins", {hid("one", 0xFF61, 65), hid("two", 0xFF62, 65)}, {}, "one"},
        {"page just below the window", {hid("low", 0xFF5F, 65)}, {}, nullptr},
        {"none at all", {}, {}, nullptr},
        {"one that will not open", {hid("locked", 0xFF60, 65), hid("vendor", 0xFF60, 65)}, {"locked"}, "vendor"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        sim::SimulatedMachine machine(clock);
        FakeHidPlatform fake{c.interfaces, {}, c.refusing};
        Link link(Program::ControlPanel, clock);
        const bool found = findHidDevice(link, fake.platform(machine, clock));
        EXPECT_EQ(found, c.expected != nullptr);
        if (c.expected) {
            ASSERT_FALSE(fake.opened.empty());
            EXPECT_EQ(fake.opened.back(), c.expected);
            EXPECT_EQ(link.kind(), LinkKind::Hid);
        }
        for (const auto& path : fake.opened) {
            EXPECT_NE(path, "kbd");
            EXPECT_NE(path, "mouse");
            EXPECT_NE(path, "high");
            EXPECT_NE(path, "short");
        }
    }
}

// Serial ports: by name, a port is absent, silent, another device, or the machine.
enum class Port { Absent, Silent, OtherDevice, Machine };

struct FakePorts {
    std::map<std::string, Port> ports;
    std::vector<std::string> opened;
    VirtualClock clock;
    sim::SimulatedMachine machine{clock};
    sim::SimulatedMachine other{clock};
    sim::SimulatedMachine mute{clock};

    FakePorts() {
        other.setFault(sim::FaultKind::Garbage, 0); // answers, but not 0xAA
        mute.setFault(sim::FaultKind::Silence, 0);
    }

    LinkPlatform platform() {
        LinkPlatform p;
        p.openSerialPort = [this](const std::string& name) -> std::unique_ptr<Transport> {
            auto it = ports.find(name);
            if (it == ports.end() || it->second == Port::Absent) return nullptr;
            opened.push_back(name);
            sim::SimulatedMachine& target =
                it->second == Port::Machine ? machine : it->second == Port::Silent ? mute : other;
            return std::make_unique<sim::SimTransport>(LinkKind::Serial, target, clock);
        };
        return p;
    }
};

TEST(SerialProbe, FollowsThePortOrderAndItsStopRules) {
    struct Case {
        const char* name;
        std::map<std::string, Port> ports;
        bool found;
        int portIndex;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        {"machine on COM3", {{"COM3:", Port::Machine}}, true, 2, {"COM3:"}},
        {"another device first moves on",
         {{"COM1:", Port::OtherDevice}, {"COM2:", Port::Machine}}, true, 1, {"COM1:", "COM2:"}},
        {"a silent port ends the probe",
         {{"COM1:", Port::Silent}, {"COM2:", Port::Machine}}, false, 0, {"COM1:"}},
        {"no ports", {}, false, 0, {}},
        {"machine on COM7", {{"COM6:", Port::OtherDevice}, {"COM7:", Port::Machine}}, true, 6, {"COM6:", "COM7:"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePorts fake;
        fake.ports = c.ports;
        Link link(Program::AnalyzerEditor, fake.clock);
        const uint32_t start = fake.clock.tickCount();
        EXPECT_EQ(probeSerialPorts(link, fake.platform(), defaultSerialPortNames()), c.found);
        EXPECT_EQ(fake.opened, c.opened);
        EXPECT_EQ(link.isOpen(), c.found);
        if (c.found) {
            EXPECT_EQ(link.kind(), LinkKind::Serial);
            EXPECT_EQ(link.serialPortIndex(), c.portIndex);
            EXPECT_EQ(fake.machine.linkTests(), 1u);
        }
        // A silent port costs its 500 ms and no more.
        EXPECT_LE(fake.clock.tickCount() - start, 520u);
    }
}

TEST(SerialProbe, UsesTheNamesItIsGiven) {
    FakePorts fake;
    fake.ports = {{"COM1:", Port::Machine}, {"AUX9", Port::Machine}};
    Link link(Program::ShotTaker, fake.clock);
    EXPECT_TRUE(probeSerialPorts(link, fake.platform(), {"AUX8", "AUX9"}));
    EXPECT_EQ(fake.opened, std::vector<std::string>{"AUX9"});
    EXPECT_EQ(link.serialPortIndex(), 1);
}

TEST(LinkStartup, SerialFirstExceptInControlPanel) {
    struct Case {
        Program program;
        LinkKind expected;
        uint8_t mode;
    };
    const Case cases[] = {
        {Program::AnalyzerEditor, LinkKind::Serial, 0x61},
        {Program::AnalyzerRunner, LinkKind::Serial, 0x65},
        {Program::ShotTaker, LinkKind::Serial, 0x60},
        {Program::ControlPanel, LinkKind::Hid, 0x61},
    };
    for (const auto& c : cases) {
        FakePorts fake;
        fake.ports = {{"COM2:", Port::Machine}};
        FakeHidPlatform hidFake{{hid("vendor", 0xFF60, 65)}, {}, {}};
        LinkPlatform platform = hidFake.platform(fake.machine, fake.clock);
        platform.openSerialPort = fake.platform().openSerialPort;
        Link link(c.program, fake.clock);
        ASSERT_TRUE(startLink(link, platform, defaultSerialPortNames())) << int(c.program);
        EXPECT_EQ(link.kind(), c.expected);
        EXPECT_EQ(fake.opened.empty(), c.program == Program::ControlPanel);
        const auto expectedMode = c.mode == 0x60   ? sim::MachineMode::Screenshot
                                  : c.mode == 0x65 ? sim::MachineMode::Analysis
                                                   : sim::MachineMode::Normal;
        EXPECT_EQ(fake.machine.mode(), expectedMode);
    }
}

TEST(LinkStartup, ControlPanelLooksOnlyForTheHidInterface) {
    FakePorts fake;
    fake.ports = {{"COM3:", Port::Machine}};
    FakeHidPlatform hidFake{{hid("kbd", 0x0001, 9)}, {}, {}};
    LinkPlatform platform = hidFake.platform(fake.machine, fake.clock);
    platform.openSerialPort = fake.platform().openSerialPort;
    Link link(Program::ControlPanel, fake.clock);
    EXPECT_FALSE(startLink(link, platform, defaultSerialPortNames()));
    EXPECT_EQ(link.lastError().failure, LinkFailure::NoDevice);
    EXPECT_TRUE(fake.opened.empty()); // no serial port is even opened
}

TEST(LinkStartup, NoDeviceAnywhereIsReported) {
    FakePorts fake;
    FakeHidPlatform hidFake{{hid("kbd", 0x0001, 9)}, {}, {}};
    LinkPlatform platform = hidFake.platform(fake.machine, fake.clock);
    platform.openSerialPort = fake.platform().openSerialPort;
    Link link(Program::AnalyzerEditor, fake.clock);
    EXPECT_FALSE(startLink(link, platform, defaultSerialPortNames()));
    EXPECT_EQ(link.lastError().failure, LinkFailure::NoDevice);
}

} // namespace
} // namespace quillon

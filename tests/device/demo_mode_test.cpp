#include "device/device_records.h"
#include "device/link_startup.h"
#include "device/open_link.h"
#include "device/sim/demo_machine.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quillon {
namespace {

void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

TEST(DemoMode, QuillonMachineSimOpensTheSimulatedMachine) {
    setEnvironment("QUILLON_MACHINE", "sim");
    EXPECT_EQ(machineChoiceFromEnvironment(), MachineChoice::SimulatedHid);
    Link link(Program::AnalyzerRunner, systemClock());
    // A program that offers no simulated machine finds none.
    offerSimulatedMachine({});
    EXPECT_FALSE(openLink(link));
    EXPECT_EQ(link.lastError().failure, LinkFailure::NoDevice);
    sim::offerDemoMachine();
    ASSERT_TRUE(openLink(link));
    EXPECT_EQ(link.kind(), LinkKind::Hid);
    EXPECT_EQ(sim::demoMachine().mode(), sim::MachineMode::Analysis);
    OptionRecord record;
    EXPECT_TRUE(readOptionRecord(link, record));
    EXPECT_TRUE(stopLink(link));
    EXPECT_EQ(sim::demoMachine().mode(), sim::MachineMode::Normal);

    setEnvironment("QUILLON_MACHINE", "sim-serial");
    Link serial(Program::ShotTaker, systemClock());
    ASSERT_TRUE(openLink(serial));
    EXPECT_EQ(serial.kind(), LinkKind::Serial);
    EXPECT_EQ(sim::demoMachine().mode(), sim::MachineMode::Screenshot);
    setEnvironment("QUILLON_MACHINE", nullptr);
    EXPECT_EQ(machineChoiceFromEnvironment(), MachineChoice::Hardware);
}

} // namespace
} // namespace quillon

#include "device/sim/demo_machine.h"

#include "device/open_link.h"
#include "device/sim/control_file.h"
#include "device/sim/sim_links.h"

#include <cstdlib>

namespace quillon::sim {

namespace {

// The demo machine and the follower of its control file; the follower is
// made after the machine, so it stops (and joins) before the machine goes.
struct DemoMachine {
    SimulatedMachine machine{systemClock()};
    ControlFileFollower follower;

    DemoMachine() {
        if (const char* commands = std::getenv("QUILLON_MACHINE_COMMANDS")) {
            runCommandList(machine, commands);
        }
        if (const char* path = std::getenv("QUILLON_MACHINE_CONTROL"); path && *path) {
            follower.start(machine, path, systemClock());
        }
    }
};

} // namespace

SimulatedMachine& demoMachine() {
    static DemoMachine demo;
    return demo.machine;
}

void offerDemoMachine() {
    offerSimulatedMachine([](LinkKind kind, Clock& clock) -> std::unique_ptr<Transport> {
        return std::make_unique<SimTransport>(kind, demoMachine(), clock);
    });
}

} // namespace quillon::sim

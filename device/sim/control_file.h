// The demo machine's control channel: a plain text file that a test or a
// person appends control commands to (one per line, see control_commands.h).
// A background thread follows the file like `tail -f` and runs each new line,
// so a program in demo mode can be sent hotkeys, signals and faults, and can
// dump its machine's state and action log ("dump FILE"), on Linux and under
// Wine alike (under Wine give a Windows path, e.g. Z:\tmp\machine.txt).
#pragma once

#include "device/sim/simulated_machine.h"

#include <atomic>
#include <string>
#include <thread>

namespace quillon::sim {

class ControlFileFollower {
public:
    ControlFileFollower() = default;
    ~ControlFileFollower() { stop(); }
    ControlFileFollower(const ControlFileFollower&) = delete;
    ControlFileFollower& operator=(const ControlFileFollower&) = delete;

    // Starts following `path` from its beginning (the file may appear later).
    void start(SimulatedMachine& machine, const std::string& path, Clock& clock);
    void stop();

    // One look at the file: runs every complete line added since the last
    // look. Returns the number of lines run.
    static size_t runNewLines(SimulatedMachine& machine, const std::string& path, uint64_t& offset);

private:
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// Runs commands separated by ';' (the QUILLON_MACHINE_COMMANDS variable).
void runCommandList(SimulatedMachine& machine, const std::string& commands);

} // namespace quillon::sim

#include "device/sim/control_file.h"

#include "device/sim/control_commands.h"

#include <fstream>

namespace quillon::sim {

namespace {
constexpr uint32_t kLookIntervalMs = 50;
constexpr size_t kLongestLine = 4096;
} // namespace

size_t ControlFileFollower::runNewLines(SimulatedMachine& machine, const std::string& path, uint64_t& offset) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return 0;
    }
    file.seekg(0, std::ios::end);
    const auto size = static_cast<uint64_t>(file.tellg());
    if (size < offset) {
        offset = 0; // the file was replaced: start again
    }
    file.seekg(static_cast<std::streamoff>(offset));
    size_t ran = 0;
    std::string line;
    while (offset < size) {
        if (!std::getline(file, line)) {
            break;
        }
        if (file.eof()) {
            break; // a line still being written: wait for its end
        }
        offset = static_cast<uint64_t>(file.tellg());
        if (line.size() > kLongestLine) {
            continue;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string reply;
        runControlCommand(machine, line, reply);
        ++ran;
    }
    return ran;
}

void ControlFileFollower::start(SimulatedMachine& machine, const std::string& path, Clock& clock) {
    stop();
    running_.store(true);
    thread_ = std::thread([this, &machine, path, &clock] {
        uint64_t offset = 0;
        while (running_.load()) {
            runNewLines(machine, path, offset);
            clock.sleepMs(kLookIntervalMs);
        }
    });
}

void ControlFileFollower::stop() {
    running_.store(false);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void runCommandList(SimulatedMachine& machine, const std::string& commands) {
    size_t start = 0;
    while (start <= commands.size()) {
        size_t end = commands.find(';', start);
        if (end == std::string::npos) {
            end = commands.size();
        }
        std::string reply;
        runControlCommand(machine, commands.substr(start, end - start), reply);
        start = end + 1;
    }
}

} // namespace quillon::sim

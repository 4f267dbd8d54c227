// A link to the in-process simulated machine on a virtual clock, with every
// report and byte that crosses it recorded.
#pragma once

#include "base/clock.h"
#include "device/link.h"
#include "device/sim/sim_links.h"
#include "device/sim/simulated_machine.h"

#include <memory>
#include <vector>

namespace quillon::testing {

// Wraps a transport and records what crosses it.
class RecordingTransport final : public Transport {
public:
    explicit RecordingTransport(std::unique_ptr<Transport> inner) : inner_(std::move(inner)) {}

    LinkKind kind() const override { return inner_->kind(); }
    bool setOutputReport(const uint8_t* report) override {
        outputReports.emplace_back(report, report + kFrameSize);
        return inner_->setOutputReport(report);
    }
    bool getInputReport(uint8_t* report) override {
        ++inputReportCalls;
        const bool ok = inner_->getInputReport(report);
        if (ok) {
            inputReports.emplace_back(report, report + kFrameSize);
        }
        return ok;
    }
    bool writeBytes(const uint8_t* bytes, size_t count) override {
        writes.emplace_back(bytes, bytes + count);
        return inner_->writeBytes(bytes, count);
    }
    ByteRead readByte(uint8_t& byte) override {
        const ByteRead got = inner_->readByte(byte);
        if (got == ByteRead::Byte) {
            bytesRead.push_back(byte);
        }
        return got;
    }
    void close() override { inner_->close(); }

    // All bytes written, in order.
    std::vector<uint8_t> writtenBytes() const {
        std::vector<uint8_t> all;
        for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
        return all;
    }
    size_t countWritten(uint8_t value) const {
        size_t n = 0;
        for (uint8_t b : writtenBytes()) n += b == value;
        return n;
    }

    std::vector<std::vector<uint8_t>> outputReports;
    std::vector<std::vector<uint8_t>> inputReports;
    size_t inputReportCalls = 0;
    std::vector<std::vector<uint8_t>> writes;
    std::vector<uint8_t> bytesRead;

private:
    std::unique_ptr<Transport> inner_;
};

struct SimLink {
    // `record` false: no RecordingTransport (`wire` stays null), for long runs.
    explicit SimLink(LinkKind kind, Program program = Program::ControlPanel, bool record = true)
        : machine(clock), link(program, clock) {
        auto transport = std::make_unique<sim::SimTransport>(kind, machine, clock);
        if (!record) {
            link.attach(std::move(transport), 0);
            return;
        }
        auto recording = std::make_unique<RecordingTransport>(std::move(transport));
        wire = recording.get();
        link.attach(std::move(recording), 0);
    }

    VirtualClock clock{1000};
    sim::SimulatedMachine machine;
    Link link;
    RecordingTransport* wire = nullptr;
};

inline const char* linkName(LinkKind kind) { return kind == LinkKind::Hid ? "Hid" : "Serial"; }

} // namespace quillon::testing

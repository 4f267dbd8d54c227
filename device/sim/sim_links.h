// The simulated machine's two link front-ends. They apply the link's framing
// and block rules to the machine's responses:
//   HID: a repeated command brings the next 64 bytes of a block; every report
//        written into a block is acknowledged by one input report.
//   serial: length-prefixed frames; blocks stream raw, 512 bytes at a time,
//        each chunk answered by the host's 0xAA (block read) or by one
//        framed reply from the machine (block write).
#pragma once

#include "device/frame.h"
#include "device/sim/simulated_machine.h"
#include "device/transport.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace quillon::sim {

class SimHidLink {
public:
    explicit SimHidLink(SimulatedMachine& machine) : machine_(machine) {}

    // One output report (65 bytes); false when the machine is unplugged.
    bool setOutputReport(const uint8_t* report);
    // One input report (65 bytes): the next queued answer, else a screenshot
    // signal, else an idle report (byte 1 = 0xFF). False when unplugged or silent.
    bool getInputReport(uint8_t* report);
    // The same without the idle report: Idle when the machine has nothing to
    // say (machine-sim's HID socket passes only real reports on, as the
    // machine's interrupt pipe would).
    enum class Answer { Report, Idle, Failed };
    Answer nextInputReport(uint8_t* report);

private:
    void queue(std::vector<uint8_t> payload);
    void queueNextChunk();

    SimulatedMachine& machine_;
    std::mutex mutex_;
    std::deque<Frame> pending_;
    std::vector<uint8_t> out_;
    size_t outOffset_ = 0;
    bool outActive_ = false;
    std::array<uint8_t, 4> outCommand_{};
    std::vector<uint8_t> in_;
    size_t inLength_ = 0;
    bool inActive_ = false;
    std::function<void(const std::vector<uint8_t>&)> store_;
};

class SimSerialLink {
public:
    explicit SimSerialLink(SimulatedMachine& machine) : machine_(machine) {}

    // Bytes from the host; false when the machine is unplugged.
    bool receive(const uint8_t* bytes, size_t count);
    // One byte for the host, if any.
    ByteRead readByte(uint8_t& byte);
    // Everything ready for the host (machine-sim writes it to the terminal).
    std::vector<uint8_t> takeOutput();

private:
    enum class State { Length, Payload, BlockIn, AwaitAck };
    bool receiveByte(uint8_t byte);
    void process(uint8_t byte);
    void dispatch();
    void pushFramed(std::vector<uint8_t> payload);
    void pushRaw(std::vector<uint8_t> bytes);
    void pushNextChunk();
    void collectSignal();

    SimulatedMachine& machine_;
    std::mutex mutex_;
    State state_ = State::Length;
    bool hostSpoke_ = false; // a host has sent bytes on this line
    std::deque<uint8_t> output_;
    size_t frameLength_ = 0;
    std::vector<uint8_t> frame_;
    std::vector<uint8_t> out_;
    size_t outOffset_ = 0;
    std::vector<uint8_t> in_;
    size_t inLength_ = 0;
    std::function<void(const std::vector<uint8_t>&)> store_;
};

// A transport that talks to the simulated machine in process. A serial read
// that finds nothing waits out the port's read time-out on the given clock.
class SimTransport final : public Transport {
public:
    SimTransport(LinkKind kind, SimulatedMachine& machine, Clock& clock);

    LinkKind kind() const override { return kind_; }
    bool setOutputReport(const uint8_t* report) override;
    bool getInputReport(uint8_t* report) override;
    bool writeBytes(const uint8_t* bytes, size_t count) override;
    ByteRead readByte(uint8_t& byte) override;
    void close() override { closed_ = true; }

private:
    LinkKind kind_;
    Clock& clock_;
    bool closed_ = false;
    std::unique_ptr<SimHidLink> hid_;
    std::unique_ptr<SimSerialLink> serial_;
};

inline constexpr uint32_t kSimPortReadTimeoutMs = 6;

} // namespace quillon::sim

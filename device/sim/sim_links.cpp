#include "device/sim/sim_links.h"

#include <algorithm>
#include <cstring>

namespace quillon::sim {

// ---- HID ---------------------------------------------------------------------

void SimHidLink::queue(std::vector<uint8_t> payload) {
    machine_.garble(payload);
    Frame report{};
    report[0] = kReportId;
    std::copy_n(payload.begin(), std::min(payload.size(), kPayloadSize), report.begin() + 1);
    pending_.push_back(report);
}

void SimHidLink::queueNextChunk() {
    const size_t take = std::min(kPayloadSize, out_.size() - outOffset_);
    queue(std::vector<uint8_t>(out_.begin() + static_cast<ptrdiff_t>(outOffset_),
                               out_.begin() + static_cast<ptrdiff_t>(outOffset_ + take)));
    outOffset_ += take;
    if (outOffset_ >= out_.size()) {
        outActive_ = false;
    }
}

bool SimHidLink::setOutputReport(const uint8_t* report) {
    std::lock_guard lock(mutex_);
    switch (machine_.frameArrives()) {
    case FrameFate::Unplugged:
        return false;
    case FrameFate::Swallow:
        return true;
    case FrameFate::Accept:
        break;
    }
    const uint8_t* payload = report + 1;
    if (inActive_) {
        const size_t take = std::min(kPayloadSize, inLength_ - in_.size());
        in_.insert(in_.end(), payload, payload + take);
        queue({kModeAcknowledged});
        if (in_.size() >= inLength_) {
            inActive_ = false;
            store_(in_);
        }
        return true;
    }
    if (outActive_ && std::equal(outCommand_.begin(), outCommand_.end(), payload)) {
        queueNextChunk();
        return true;
    }
    outActive_ = false;
    MachineResponse response = machine_.handleCommand(payload, kPayloadSize);
    switch (response.kind) {
    case MachineResponse::Kind::None:
        break;
    case MachineResponse::Kind::Reply:
    case MachineResponse::Kind::RawReply:
        if (payload[0] == command::kEnterNormalMode || payload[0] == command::kEnterScreenshotMode) {
            for (int i = 0; i < machine_.modeAcknowledgementDelay(); ++i) {
                queue({0xFF});
            }
        }
        queue(response.bytes);
        break;
    case MachineResponse::Kind::BlockOut:
        out_ = std::move(response.bytes);
        outOffset_ = 0;
        outActive_ = true;
        std::copy_n(payload, outCommand_.size(), outCommand_.begin());
        queueNextChunk();
        break;
    case MachineResponse::Kind::BlockIn:
        queue(response.bytes);
        in_.clear();
        inLength_ = response.blockInLength;
        store_ = std::move(response.storeBlock);
        inActive_ = inLength_ > 0;
        if (!inActive_) {
            store_(in_);
        }
        break;
    }
    return true;
}

SimHidLink::Answer SimHidLink::nextInputReport(uint8_t* report) {
    std::lock_guard lock(mutex_);
    if (machine_.unplugged() || machine_.silent()) {
        return Answer::Failed;
    }
    if (!pending_.empty()) {
        std::memcpy(report, pending_.front().data(), kFrameSize);
        pending_.pop_front();
        return Answer::Report;
    }
    std::memset(report, 0, kFrameSize);
    report[0] = kReportId;
    const std::optional<uint8_t> signal = machine_.takeSignal();
    report[1] = signal.value_or(0xFF);
    return signal ? Answer::Report : Answer::Idle;
}

bool SimHidLink::getInputReport(uint8_t* report) { return nextInputReport(report) != Answer::Failed; }

// ---- serial ------------------------------------------------------------------

void SimSerialLink::pushFramed(std::vector<uint8_t> payload) {
    machine_.garble(payload);
    output_.push_back(static_cast<uint8_t>(payload.size()));
    output_.insert(output_.end(), payload.begin(), payload.end());
}

void SimSerialLink::pushRaw(std::vector<uint8_t> bytes) {
    machine_.garble(bytes);
    output_.insert(output_.end(), bytes.begin(), bytes.end());
}

void SimSerialLink::pushNextChunk() {
    const size_t take = std::min(kSerialChunkSize, out_.size() - outOffset_);
    pushRaw(std::vector<uint8_t>(out_.begin() + static_cast<ptrdiff_t>(outOffset_),
                                 out_.begin() + static_cast<ptrdiff_t>(outOffset_ + take)));
    outOffset_ += take;
}

void SimSerialLink::dispatch() {
    state_ = State::Length;
    MachineResponse response = machine_.handleCommand(frame_.data(), frame_.size());
    switch (response.kind) {
    case MachineResponse::Kind::None:
        break;
    case MachineResponse::Kind::Reply:
        if (!frame_.empty() &&
            (frame_[0] == command::kEnterNormalMode || frame_[0] == command::kEnterScreenshotMode)) {
            for (int i = 0; i < machine_.modeAcknowledgementDelay(); ++i) {
                pushFramed({0xFF});
            }
        }
        pushFramed(response.bytes);
        break;
    case MachineResponse::Kind::RawReply:
        pushRaw(response.bytes);
        break;
    case MachineResponse::Kind::BlockOut:
        out_ = std::move(response.bytes);
        outOffset_ = 0;
        if (!out_.empty()) {
            pushNextChunk();
            state_ = State::AwaitAck;
        }
        break;
    case MachineResponse::Kind::BlockIn:
        pushFramed(response.bytes);
        in_.clear();
        inLength_ = response.blockInLength;
        store_ = std::move(response.storeBlock);
        if (inLength_ == 0) {
            store_(in_);
        } else {
            state_ = State::BlockIn;
        }
        break;
    }
}

void SimSerialLink::process(uint8_t byte) {
    switch (state_) {
    case State::Length:
        if (byte > 0) {
            frameLength_ = byte;
            frame_.clear();
            state_ = State::Payload;
        }
        break;
    case State::Payload:
        frame_.push_back(byte);
        if (frame_.size() == frameLength_) {
            dispatch();
        }
        break;
    case State::BlockIn:
        in_.push_back(byte);
        if (in_.size() == inLength_) {
            state_ = State::Length;
            store_(in_);
            pushFramed({kModeAcknowledged});
        } else if (in_.size() % kSerialChunkSize == 0) {
            pushFramed({kModeAcknowledged});
        }
        break;
    case State::AwaitAck:
        if (byte != kSerialBlockAck) {
            // The host gave up the block: this byte starts a new frame.
            state_ = State::Length;
            process(byte);
        } else if (outOffset_ >= out_.size()) {
            state_ = State::Length;
        } else {
            pushNextChunk();
        }
        break;
    }
}

bool SimSerialLink::receiveByte(uint8_t byte) {
    // Frames for the fault counter: each command frame, each acknowledgement
    // of a block chunk, and each 64 bytes of a block written to the machine.
    const bool startsFrame = state_ == State::Length || state_ == State::AwaitAck ||
                             (state_ == State::BlockIn && in_.size() % kPayloadSize == 0);
    if (startsFrame && machine_.frameArrives() == FrameFate::Unplugged) {
        return false;
    }
    if (machine_.unplugged()) {
        return false;
    }
    if (machine_.silent()) {
        state_ = State::Length;
        return true;
    }
    process(byte);
    return true;
}

bool SimSerialLink::receive(const uint8_t* bytes, size_t count) {
    std::lock_guard lock(mutex_);
    hostSpoke_ = hostSpoke_ || count > 0;
    for (size_t i = 0; i < count; ++i) {
        if (!receiveByte(bytes[i])) {
            return false;
        }
    }
    return true;
}

// The machine sends its signals where its host is: a serial line that no host
// has spoken on leaves them to the HID interface (machine-sim serves both).
void SimSerialLink::collectSignal() {
    if (hostSpoke_ && output_.empty() && state_ == State::Length) {
        if (auto signal = machine_.takeSignal()) {
            output_.push_back(*signal);
        }
    }
}

ByteRead SimSerialLink::readByte(uint8_t& byte) {
    std::lock_guard lock(mutex_);
    if (machine_.unplugged()) {
        return ByteRead::Failed;
    }
    if (machine_.silent()) {
        return ByteRead::TimedOut;
    }
    collectSignal();
    if (output_.empty()) {
        return ByteRead::TimedOut;
    }
    byte = output_.front();
    output_.pop_front();
    return ByteRead::Byte;
}

std::vector<uint8_t> SimSerialLink::takeOutput() {
    std::lock_guard lock(mutex_);
    if (machine_.silent() || machine_.unplugged()) {
        output_.clear();
        return {};
    }
    collectSignal();
    std::vector<uint8_t> bytes(output_.begin(), output_.end());
    output_.clear();
    return bytes;
}

// ---- in-process transport ------------------------------------------------------

SimTransport::SimTransport(LinkKind kind, SimulatedMachine& machine, Clock& clock) : kind_(kind), clock_(clock) {
    if (kind == LinkKind::Hid) {
        hid_ = std::make_unique<SimHidLink>(machine);
    } else {
        serial_ = std::make_unique<SimSerialLink>(machine);
    }
}

bool SimTransport::setOutputReport(const uint8_t* report) { return hid_ && !closed_ && hid_->setOutputReport(report); }

bool SimTransport::getInputReport(uint8_t* report) { return hid_ && !closed_ && hid_->getInputReport(report); }

bool SimTransport::writeBytes(const uint8_t* bytes, size_t count) {
    return serial_ && !closed_ && serial_->receive(bytes, count);
}

ByteRead SimTransport::readByte(uint8_t& byte) {
    if (!serial_ || closed_) {
        return ByteRead::Failed;
    }
    const ByteRead got = serial_->readByte(byte);
    if (got == ByteRead::TimedOut) {
        clock_.sleepMs(kSimPortReadTimeoutMs);
    }
    return got;
}

} // namespace quillon::sim

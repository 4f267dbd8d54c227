#include "device/link.h"

#include <algorithm>
#include <cstring>

namespace quillon {

using namespace link_timing;

Link::Link(Program program, Clock& clock) : program_(program), clock_(clock) {}

Link::~Link() { closeLink(); }

void Link::attach(std::unique_ptr<Transport> transport, int serialPortIndex) {
    closeLink();
    transport_ = std::move(transport);
    kind_ = transport_ ? transport_->kind() : LinkKind::Hid;
    serialPortIndex_ = kind_ == LinkKind::Serial ? serialPortIndex : 0;
}

bool Link::fail(LinkFailure failure, const char* operation, int location) {
    // The first failure names the operation; an outer call adds its location.
    if (lastError_.failure == LinkFailure::None) {
        lastError_ = {failure, operation, location};
    } else if (lastError_.location == 0) {
        lastError_.location = location;
    }
    return false;
}

// ---- sending -------------------------------------------------------------

bool Link::sendCommandHid(int tries, uint32_t sleepMs) {
    output_[0] = kReportId;
    for (int i = 0; i < tries; ++i) {
        if (transport_->setOutputReport(output_.data())) {
            return true;
        }
        clock_.sleepMs(sleepMs);
    }
    return false;
}

bool Link::sendOutput(int length, int tries, uint32_t sleepMs) {
    if (!transport_ || isDead()) {
        return fail(LinkFailure::SendFailed, "sendCommand");
    }
    if (kind_ == LinkKind::Hid) {
        return sendCommandHid(tries, sleepMs) || fail(LinkFailure::SendFailed, "sendCommand");
    }
    if (length < 1 || length > static_cast<int>(kPayloadSize)) {
        return fail(LinkFailure::SendFailed, "sendCommand");
    }
    output_[0] = static_cast<uint8_t>(length);
    return transport_->writeBytes(output_.data(), static_cast<size_t>(length) + 1) ||
           fail(LinkFailure::SendFailed, "sendCommand");
}

bool Link::sendCommandTries(uint8_t code, int tries, uint32_t sleepMs) {
    output_.fill(0);
    output_[1] = code;
    return sendOutput(1, tries, sleepMs);
}

bool Link::sendCommand(uint8_t code, std::initializer_list<uint8_t> arguments) {
    output_.fill(0);
    output_[1] = code;
    std::copy(arguments.begin(), arguments.end(), output_.begin() + 2);
    return sendOutput(static_cast<int>(1 + arguments.size()), kHidTries, kHidRetrySleepMs);
}

bool Link::sendFrameOnce(const uint8_t* payload, size_t length) {
    if (!transport_ || isDead() || length == 0 || length > kPayloadSize) {
        return fail(LinkFailure::SendFailed, "sendFrame");
    }
    output_.fill(0);
    std::memcpy(output_.data() + 1, payload, length);
    if (kind_ == LinkKind::Hid) {
        output_[0] = kReportId;
        return transport_->setOutputReport(output_.data()) || fail(LinkFailure::SendFailed, "sendFrame");
    }
    output_[0] = static_cast<uint8_t>(length);
    return transport_->writeBytes(output_.data(), length + 1) || fail(LinkFailure::SendFailed, "sendFrame");
}

bool Link::writeRaw(const uint8_t* bytes, size_t count) {
    return transport_ && !isDead() && transport_->writeBytes(bytes, count);
}

// ---- receiving -----------------------------------------------------------

bool Link::receiveReplyHid(int tries, uint32_t sleepMs) {
    for (int i = 0; i < tries; ++i) {
        input_[0] = kReportId;
        if (transport_->readInputReport(input_.data()) == ReportRead::Report) {
            return true;
        }
        clock_.sleepMs(sleepMs);
    }
    return false;
}

ByteRead Link::readSerialByteOnce(uint8_t& byte) {
    return transport_ && !isDead() ? transport_->readByte(byte) : ByteRead::Failed;
}

bool Link::readSerialByte(uint8_t& byte, uint32_t limitMs, const char* awaited) {
    if (!transport_ || isDead()) {
        return false;
    }
    const uint32_t start = clock_.tickCount();
    for (;;) {
        switch (transport_->readByte(byte)) {
        case ByteRead::Byte:
            return true;
        case ByteRead::Failed:
            return awaited ? fail(LinkFailure::ReceiveFailed, awaited) : false;
        case ByteRead::TimedOut:
            break;
        }
        if (clock_.tickCount() - start >= limitMs) {
            return awaited ? fail(LinkFailure::ReceiveFailed, awaited) : false;
        }
    }
}

bool Link::receiveReplySerial() {
    uint8_t length = 0;
    if (!readSerialByte(length, kSerialByteLimitMs, "receiveReply: the reply's length byte")) {
        return false;
    }
    // The input frame holds 64 payload bytes; a longer frame is not ours.
    if (length > kPayloadSize) {
        return false;
    }
    input_[0] = length;
    for (size_t i = 1; i <= length; ++i) {
        if (!readSerialByte(input_[i], kSerialByteLimitMs, "receiveReply: a byte of the reply")) {
            return false;
        }
    }
    return true;
}

bool Link::receiveReplyTries(int tries, uint32_t sleepMs) {
    if (!transport_ || isDead()) {
        return fail(LinkFailure::ReceiveFailed, "receiveReply");
    }
    const bool ok = kind_ == LinkKind::Hid ? receiveReplyHid(tries, sleepMs) : receiveReplySerial();
    return ok || fail(LinkFailure::ReceiveFailed, "receiveReply");
}

bool Link::receiveReply() { return receiveReplyTries(kHidTries, kHidRetrySleepMs); }

bool Link::receiveReplyOnce() {
    if (!transport_ || isDead()) {
        return false;
    }
    if (kind_ == LinkKind::Hid) {
        input_[0] = kReportId;
        return transport_->readInputReport(input_.data()) == ReportRead::Report;
    }
    return receiveReplySerial();
}

ReportRead Link::receiveReportOnce() {
    if (!transport_ || isDead() || kind_ != LinkKind::Hid) {
        return ReportRead::Failed;
    }
    input_[0] = kReportId;
    return transport_->readInputReport(input_.data());
}

// ---- blocks --------------------------------------------------------------

bool Link::readBlock(size_t length, uint8_t* destination, const ProgressCallback& progress) {
    if (!transport_ || isDead()) {
        return fail(LinkFailure::ReceiveFailed, "readBlock");
    }
    TransferProgress moved;
    if (kind_ == LinkKind::Hid) {
        // The machine answers each repetition of the command with the next 64 bytes.
        for (;;) {
            if (!receiveReply()) {
                return false;
            }
            const size_t take = std::min(kPayloadSize, length - moved.bytes);
            std::memcpy(destination + moved.bytes, input_.data() + 1, take);
            moved.bytes += take;
            ++moved.reports;
            if (progress) {
                progress(moved);
            }
            if (moved.bytes >= length) {
                return true;
            }
            // The same command again, arguments and all.
            if (!sendOutput(1, kHidTries, kHidRetrySleepMs)) {
                return false;
            }
        }
    }
    // Serial: a raw stream, acknowledged with one 0xAA after every 512 bytes
    // and after the last, shorter chunk.
    while (moved.bytes < length) {
        const size_t chunkEnd = std::min(length, moved.bytes + kSerialChunkSize);
        while (moved.bytes < chunkEnd) {
            if (!readSerialByte(destination[moved.bytes], kSerialByteLimitMs, "readBlock: a byte of the block")) {
                return fail(LinkFailure::ReceiveFailed, "readBlock");
            }
            ++moved.bytes;
            moved.reports = (moved.bytes + kPayloadSize - 1) / kPayloadSize;
            if (progress) {
                progress(moved);
            }
        }
        if (!writeRaw(&kSerialBlockAck, 1)) {
            return fail(LinkFailure::SendFailed, "readBlock");
        }
    }
    return true;
}

bool Link::writeBlock(size_t length, const uint8_t* source, const ProgressCallback& progress) {
    if (!transport_ || isDead()) {
        return fail(LinkFailure::SendFailed, "writeBlock");
    }
    TransferProgress moved;
    if (kind_ == LinkKind::Hid) {
        // Every report is acknowledged by the machine before the next one.
        while (moved.bytes < length) {
            const size_t take = std::min(kPayloadSize, length - moved.bytes);
            std::memcpy(output_.data() + 1, source + moved.bytes, take);
            if (!sendOutput(static_cast<int>(take), kHidTries, kHidRetrySleepMs) || !receiveReply()) {
                return false;
            }
            moved.bytes += take;
            ++moved.reports;
            if (progress) {
                progress(moved);
            }
        }
        return true;
    }
    // Serial: raw chunks of up to 512 bytes, one byte per write, each chunk
    // answered by one framed reply.
    while (moved.bytes < length) {
        const size_t chunkEnd = std::min(length, moved.bytes + kSerialChunkSize);
        while (moved.bytes < chunkEnd) {
            if (!writeRaw(source + moved.bytes, 1)) {
                return fail(LinkFailure::SendFailed, "writeBlock");
            }
            ++moved.bytes;
            moved.reports = (moved.bytes + kPayloadSize - 1) / kPayloadSize;
            if (progress) {
                progress(moved);
            }
        }
        if (!receiveReply()) {
            return false;
        }
    }
    return true;
}

// ---- closing and the busy lock -------------------------------------------

void Link::closeLink() {
    if (transport_) {
        transport_->close();
        transport_.reset();
    }
}

bool Link::tryAcquireBusy() {
    if (isDead()) {
        return false;
    }
    bool expected = false;
    if (!busy_.compare_exchange_strong(expected, true)) {
        return false;
    }
    if (isDead()) { // died while we looked
        busy_.store(false);
        return false;
    }
    return true;
}

bool Link::acquireBusy() {
    while (!tryAcquireBusy()) {
        if (isDead()) {
            return false;
        }
        clock_.sleepMs(kBusyLookSleepMs);
    }
    return true;
}

void Link::releaseBusy() { busy_.store(false); }

} // namespace quillon

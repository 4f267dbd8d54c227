// The host's side of the link fed with whatever a machine (or line noise)
// might send back: every reading operation must end, within its bounds, with
// success or a failure, and never read or write outside its buffers.
// The first byte picks the link and the operation; the rest is the machine's
// answer stream (HID: 65-byte input reports; serial: raw bytes).
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/clock.h"
#include "device/actions.h"
#include "device/device_records.h"
#include "device/discovery.h"
#include "device/link.h"
#include "device/memory_transfer.h"
#include "device/modes.h"

namespace {

using namespace quillon;

class ReplayTransport final : public Transport {
public:
    ReplayTransport(LinkKind kind, const uint8_t* data, size_t size, VirtualClock& clock)
        : kind_(kind), data_(data), size_(size), clock_(clock) {}
    LinkKind kind() const override { return kind_; }
    bool setOutputReport(const uint8_t*) override { return true; }
    bool getInputReport(uint8_t* report) override {
        if (position_ >= size_) {
            return false;
        }
        for (size_t i = 0; i < kFrameSize; ++i) {
            report[i] = position_ < size_ ? data_[position_++] : 0;
        }
        return true;
    }
    bool writeBytes(const uint8_t*, size_t) override { return true; }
    ByteRead readByte(uint8_t& byte) override {
        if (position_ >= size_) {
            // A real port waits out its read time-out before saying so.
            clock_.advance(5);
            return ByteRead::TimedOut;
        }
        byte = data_[position_++];
        return ByteRead::Byte;
    }

private:
    LinkKind kind_;
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    VirtualClock& clock_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t choice = data[0];
    const LinkKind kind = (choice & 1) ? LinkKind::Serial : LinkKind::Hid;
    VirtualClock clock;
    Link link(Program::ControlPanel, clock);
    link.attach(std::make_unique<ReplayTransport>(kind, data + 1, size - 1, clock), 0);
    const size_t index = (choice >> 4) % 8;
    switch ((choice >> 1) % 8) {
    case 0: {
        OptionRecord record;
        readOptionRecord(link, record);
        break;
    }
    case 1: {
        HotkeyRecord record;
        readHotkeyRecord(link, record);
        break;
    }
    case 2: {
        StatusReply reply;
        requestStatus(link, reply);
        break;
    }
    case 3: {
        RecordedMemoryHeader header;
        if (readRecordedHeader(link, index, header, 1)) {
            std::vector<uint8_t> body;
            readRecordedBody(link, index, header, body, 1);
        }
        break;
    }
    case 4: {
        EditMemoryHeader header;
        std::vector<uint8_t> code;
        readEditBody(link, index, header, code, 1);
        if (code.size() > 32768) {
            std::abort();
        }
        break;
    }
    case 5: {
        CombinationMemoryHeader header;
        std::vector<uint8_t> code;
        readCombinationBody(link, index, header, code, 1);
        break;
    }
    case 6: {
        std::array<uint8_t, 512> block{};
        readAutoClickBlock(link, block.data(), 1);
        break;
    }
    case 7:
        enterMode(link, 0x61);
        break;
    }
    return 0;
}

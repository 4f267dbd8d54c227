// The machine link: one per process. It holds the transport that reached the
// machine, the shared output and input frames, the busy lock of the programs
// with a second link user, and the time of the last action frame.
//
// Every exchange follows one order: put the command code in byte 1 of the
// output frame (arguments from byte 2), sendCommand, then receiveReply or
// readBlock/writeBlock as the command requires. Only one exchange is ever in
// flight: a reply is matched to its command only by order.
#pragma once

#include "base/clock.h"
#include "device/frame.h"
#include "device/transport.h"

#include <atomic>
#include <initializer_list>
#include <cstdint>
#include <functional>
#include <memory>

namespace quillon {

enum class Program { AnalyzerEditor, ControlPanel, AnalyzerRunner, ShotTaker };

// Retry counts and time limits of the link.
namespace link_timing {
inline constexpr int kHidTries = 30;            // per report, ordinary exchanges
inline constexpr uint32_t kHidRetrySleepMs = 5;
inline constexpr uint32_t kProbeByteLimitMs = 500; // each byte of the probe reply
// The serial link has no retries. Each awaited byte has its own limit, long
// enough for the machine's slowest answer (the acknowledgement that follows
// an erase before a macro body, or the one after a 512-byte chunk is written,
// a second or two on the slowest machines), so a byte that has not come after
// ten seconds never will: the exchange fails instead of blocking its thread
// for ever, and the failure names the byte it waited for.
inline constexpr uint32_t kSerialByteLimitMs = 10000;
inline constexpr uint32_t kBusyLookSleepMs = 10;
} // namespace link_timing

enum class LinkFailure {
    None,
    NoDevice,          // neither a serial port nor the HID interface answered
    SendFailed,        // a command or report could not be sent
    ReceiveFailed,     // a reply did not come (or could not be read)
    NoAcknowledgement, // a mode command was not acknowledged as awaited
    WrongMagic,        // a record read back with the wrong magic
    Refused,           // the operation was refused before any exchange
};

struct LinkError {
    LinkFailure failure = LinkFailure::None;
    const char* operation = ""; // the link operation that failed
    int location = 0;           // call-site code shown in the message
};

// Progress of a block transfer: reports moved on HID, bytes on the serial link
// (with the 64-byte spans they make, so one bar range fits both links).
struct TransferProgress {
    size_t reports = 0;
    size_t bytes = 0;
};
using ProgressCallback = std::function<void(const TransferProgress&)>;

class Link {
public:
    Link(Program program, Clock& clock);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Takes over an opened transport (serial port index 0-based, 0 on HID).
    void attach(std::unique_ptr<Transport> transport, int serialPortIndex = 0);
    bool isOpen() const { return transport_ != nullptr; }

    Program program() const { return program_; }
    LinkKind kind() const { return kind_; }
    int serialPortIndex() const { return serialPortIndex_; }
    Clock& clock() { return clock_; }
    Transport* transport() { return transport_.get(); }

    // A command: its code and arguments in one frame. HID: one 65-byte
    // report (the bytes after the arguments zero), up to 30 tries 5 ms apart.
    // Serial: [1 + arguments][code][arguments].
    bool sendCommand(uint8_t code, std::initializer_list<uint8_t> arguments = {});
    // The same with explicit tries (the keep-alive uses 60 tries 2 ms apart).
    bool sendCommandTries(uint8_t code, int tries, uint32_t sleepMs);
    // A frame whose payload (bytes 1..) is `payload`, sent once with no retry:
    // the action frames.
    bool sendFrameOnce(const uint8_t* payload, size_t length);

    // HID: up to 30 tries of one input report. Serial: a length byte L then L
    // payload bytes into bytes 1..L, each within the serial byte limit.
    bool receiveReply();
    bool receiveReplyTries(int tries, uint32_t sleepMs);
    // One input report, one try (HID); one framed reply (serial).
    bool receiveReplyOnce();
    // HID: one input report, one try, telling "nothing came" from a failure.
    ReportRead receiveReportOnce();
    // The last frame received: byte 0 the report id (HID) or the length
    // (serial), then the payload.
    const Frame& reply() const { return input_; }
    // Forgets the last reply: its first payload byte becomes `mark`, so a
    // read that fails is not taken for an old answer.
    void clearReply(uint8_t mark = 0) { input_[1] = mark; }

    // A block the machine sends after the command in the output frame.
    bool readBlock(size_t length, uint8_t* destination, const ProgressCallback& progress = {});
    // A block sent to the machine after its command was sent and acknowledged.
    bool writeBlock(size_t length, const uint8_t* source, const ProgressCallback& progress = {});

    // Raw serial helpers (also used by the probe, the status request and the
    // screenshot signals): one byte within `limitMs`, or within one port read.
    // `awaited` names the byte in the failure record when it does not come.
    bool readSerialByte(uint8_t& byte, uint32_t limitMs, const char* awaited = nullptr);
    ByteRead readSerialByteOnce(uint8_t& byte);
    bool writeRaw(const uint8_t* bytes, size_t count);

    void closeLink();

    // Failure record: the first failure of an operation names it; callers
    // add their location code.
    const LinkError& lastError() const { return lastError_; }
    bool fail(LinkFailure failure, const char* operation, int location = 0);
    void clearError() { lastError_ = {}; }

    // Busy lock: held by whichever thread runs an exchange (the interface
    // thread or the keep-alive). Waiting looks every 10 ms. Once the link is
    // dead both give up at once (false), so no thread waits for ever on a
    // link whose last exchange failed.
    bool acquireBusy();
    bool tryAcquireBusy();
    void releaseBusy();
    bool isBusy() const { return busy_.load(); }

    // A failed exchange kills the link: the machine is silent or gone and the
    // program is closing. Every later exchange fails at once without touching
    // the transport, and the busy lock is no longer handed out.
    void markDead() { dead_.store(true); }
    bool isDead() const { return dead_.load(); }

    // Time the last action frame left (analyzer-runner).
    uint32_t lastActionTime = 0;
    bool anyActionSent = false;

private:
    // Sends the output frame as it stands: HID the whole report, serial its
    // first `length` payload bytes.
    bool sendOutput(int length, int tries, uint32_t sleepMs);
    bool sendCommandHid(int tries, uint32_t sleepMs);
    bool receiveReplyHid(int tries, uint32_t sleepMs);
    bool receiveReplySerial();

    Program program_;
    Clock& clock_;
    LinkKind kind_ = LinkKind::Hid;
    int serialPortIndex_ = 0;
    std::unique_ptr<Transport> transport_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> dead_{false};
    LinkError lastError_;
    Frame output_{}; // frame being built for the machine
    Frame input_{};  // last frame received
};

// Holds the busy lock for one operation. When the operation ends without
// finish(true) after an exchange failed, the link is marked dead and the lock
// released: the program is closing, the keep-alive stops touching the link,
// and the closing path's own exchanges fail at once instead of waiting for a
// lock that nobody would give back.
class BusyLink {
public:
    explicit BusyLink(Link& link) : link_(link) {
        held_ = link_.acquireBusy();
        link_.clearError();
    }
    ~BusyLink() {
        if (!succeeded_ && exchangeFailed(link_.lastError().failure)) {
            link_.markDead();
        }
        if (held_) {
            link_.releaseBusy();
        }
    }
    bool finish(bool ok) {
        succeeded_ = ok;
        return ok;
    }

    static bool exchangeFailed(LinkFailure failure) {
        return failure == LinkFailure::SendFailed || failure == LinkFailure::ReceiveFailed ||
               failure == LinkFailure::NoAcknowledgement;
    }

private:
    Link& link_;
    bool held_ = false;
    bool succeeded_ = false;
};

} // namespace quillon

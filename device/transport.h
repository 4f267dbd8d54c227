// The seam between the link logic and the operating system. A transport moves
// single HID reports or raw serial bytes, one try at a time; retries, time
// limits and framing belong to the Link above it. Implementations: Windows HID
// and serial (*_win.cpp), POSIX serial (native tools and tests), and the
// in-process simulated machine (device/sim).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

enum class LinkKind { Hid = 0, Serial = 1 };

enum class ReportRead {
    Report,   // one input report arrived
    TimedOut, // none within the read's wait (the machine had nothing to say)
    Failed,   // the device is gone or the read failed
};

enum class ByteRead {
    Byte,     // one byte arrived
    TimedOut, // nothing within the port's short read time-out (a few ms)
    Failed,   // the port is gone or the read failed
};

class Transport {
public:
    virtual ~Transport() = default;
    virtual LinkKind kind() const = 0;

    // HID: one try of the system call; `report` is 65 bytes, byte 0 the report id.
    virtual bool setOutputReport(const uint8_t* /*report*/) { return false; }
    virtual bool getInputReport(uint8_t* /*report*/) { return false; }
    // The same, telling a read that found nothing from one that failed. The
    // Windows transport waits a bounded time for a report; transports that
    // always answer at once keep this default.
    virtual ReportRead readInputReport(uint8_t* report) {
        return getInputReport(report) ? ReportRead::Report : ReportRead::Failed;
    }

    // Serial: raw bytes. readByte waits no longer than the port's read time-out.
    virtual bool writeBytes(const uint8_t* /*bytes*/, size_t /*count*/) { return false; }
    virtual ByteRead readByte(uint8_t& /*byte*/) { return ByteRead::Failed; }

    virtual void close() {}

    // The last system error, for messages ("HidD_SetOutputReport: ...").
    virtual std::string lastSystemError() const { return {}; }
};

} // namespace quillon

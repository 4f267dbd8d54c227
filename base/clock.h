// Time as a seam. Every sleep, time-out and tick count goes through a Clock,
// so tests run minutes of program time in microseconds and assert timing
// rules exactly.
#pragma once

#include <atomic>
#include <cstdint>

namespace quillon {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, like GetTickCount (wraps at 2^32).
    virtual uint32_t tickCount() = 0;
    virtual void sleepMs(uint32_t ms) = 0;
};

// The real clock (steady, process-wide).
Clock& systemClock();

// Virtual time: sleeping advances it at once. Safe to share between threads.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t start = 0) : now_(start) {}
    uint32_t tickCount() override { return now_.load(); }
    void sleepMs(uint32_t ms) override { now_.fetch_add(ms); }
    void advance(uint32_t ms) { now_.fetch_add(ms); }

private:
    std::atomic<uint32_t> now_;
};

} // namespace quillon

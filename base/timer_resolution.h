// The system timer's resolution for the life of a program. Windows rounds a
// Sleep up to the system timer's period, about 15.6 ms unless some program
// asks for a finer one, so a 1 ms sleep would last 15.6 ms: the link's 2-10 ms
// retry pauses would stretch to 15.6 ms each and the keep-alive's 201 idle
// looks of 1 ms would take about 3.1 s instead of about 0.2 s. Every program
// that talks to the machine holds a FineTimerResolution in its WinMain.
#pragma once

#include <cstdint>
#include <functional>

namespace quillon {

inline constexpr uint32_t kFineTimerPeriodMs = 1;

// The two system calls (timeBeginPeriod/timeEndPeriod on Windows; on Linux
// sleeps are precise already and both do nothing).
struct TimerPeriodCalls {
    std::function<bool(uint32_t periodMs)> begin; // true when the period was granted
    std::function<void(uint32_t periodMs)> end;
};
TimerPeriodCalls systemTimerPeriodCalls();

// Asks for the period on construction and gives it back on destruction, only
// when it was granted (each begin is paired with exactly one end).
class FineTimerResolution {
public:
    explicit FineTimerResolution(TimerPeriodCalls calls = systemTimerPeriodCalls(),
                                 uint32_t periodMs = kFineTimerPeriodMs);
    ~FineTimerResolution();
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

    bool granted() const { return granted_; }

private:
    TimerPeriodCalls calls_;
    uint32_t periodMs_;
    bool granted_ = false;
};

} // namespace quillon

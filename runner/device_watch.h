// The device-watch thread of analyzer-runner: before the run starts it polls
// the machine for the start, stop and window-switch hotkeys, and counts down
// when the countdown is on. It ends with the run's start, the program's end,
// or at once without a result when the interface thread clears its flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "base/clock.h"
#include "device/link.h"

namespace quillon {

struct DeviceWatchSettings {
    int32_t startHotkey = 0;
    int32_t stopHotkey = 0;
    int32_t windowSwitchHotkey = 0;
    bool countdownOn = false;
    int32_t countdownSeconds = 0;
    uint32_t countdownStart = 0; // tick count when the main window opened
};

struct DeviceWatchHooks {
    std::function<void(const std::string&)> showCountdown; // into both stop buttons
    std::function<void()> switchWindows;                   // the window-switch hotkey
};

enum class DeviceWatchResult { Start, Stop, Cancelled };

namespace device_watch_timing {
inline constexpr uint32_t kRoundSleepMs = 100;
}

// Runs until a result; `watchRunning` cleared by another thread ends it with
// Cancelled (the caller then posts nothing). A failed status request switches
// polling off for the rest of the watch; only the countdown goes on.
DeviceWatchResult runDeviceWatch(Link& link, const DeviceWatchSettings& settings,
                                 const std::atomic<bool>& watchRunning, const DeviceWatchHooks& hooks);

} // namespace quillon

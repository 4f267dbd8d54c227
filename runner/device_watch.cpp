#include "runner/device_watch.h"

#include "device/actions.h"
#include "runner/status_window_placement.h"

namespace quillon {

DeviceWatchResult runDeviceWatch(Link& link, const DeviceWatchSettings& settings,
                                 const std::atomic<bool>& watchRunning, const DeviceWatchHooks& hooks) {
    Clock& clock = link.clock();
    bool polling = true;
    int shownElapsed = 0;
    while (watchRunning.load()) {
        if (settings.countdownOn) {
            const int elapsed = static_cast<int>((clock.tickCount() - settings.countdownStart) / 1000);
            if (elapsed != shownElapsed) {
                shownElapsed = elapsed;
                if (hooks.showCountdown) {
                    hooks.showCountdown(countdownText(settings.countdownSeconds - elapsed));
                }
            }
            if (elapsed >= settings.countdownSeconds) {
                return DeviceWatchResult::Start;
            }
        }
        if (polling) {
            StatusReply reply;
            if (requestStatus(link, reply)) {
                if (reply.hotkey == settings.startHotkey) {
                    return DeviceWatchResult::Start;
                }
                if (reply.hotkey == settings.stopHotkey) {
                    return DeviceWatchResult::Stop;
                }
                if (reply.hotkey == settings.windowSwitchHotkey && hooks.switchWindows) {
                    hooks.switchWindows();
                }
            } else if (link.lastError().failure == LinkFailure::SendFailed) {
                polling = false;
            }
        }
        clock.sleepMs(device_watch_timing::kRoundSleepMs);
    }
    return DeviceWatchResult::Cancelled;
}

} // namespace quillon

// The capture thread of shot-taker. It reads one signal at a time from the
// machine and acts on it:
//   the exit signal      runs the exit sequence and ends the thread;
//   the capture signal   takes a screenshot set, then blinks the button twice
//                        with the asterisk sound (hide, beep, 100 ms, show,
//                        100 ms, hide, beep, 100 ms, show);
//   anything else        nothing;
//   a failed read        (after its retries) runs the exit sequence, which
//                        tells the user, and ends the thread.
// After each signal it looks at the stop flag that the window sets when the
// user closes it; then it releases DirectDraw, runs the exit sequence and
// ends. The loop has no pause of its own: the signal read sets its pace.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "base/clock.h"
#include "shot/screenshot_set.h"

namespace quillon {

inline constexpr uint8_t kNoSignal = 0xFF;     // serial: nothing within the port's time-out
inline constexpr uint32_t kFeedbackStepMs = 100;

struct ShotSignals {
    int32_t capture = 1; // settings 1200
    int32_t exit = 2;    // settings 1204
};

// What the loop does beside reading signals; each is set by the program.
struct CaptureLoopActions {
    // One input report or serial byte; none when the link failed after its
    // retries (the exit sequence then tells the user and ends the tool).
    std::function<std::optional<uint8_t>()> readSignal;
    std::function<ShotReport()> takeShot;
    std::function<void(bool visible)> setButtonVisible;
    std::function<void()> beep;                  // MB_ICONASTERISK
    // A shot that wrote nothing or only part of its set: told to the user.
    std::function<void(const ShotReport&)> reportProblem;
    std::function<void()> releaseDirectDraw;
    std::function<void()> exitSequence;
};

enum class CaptureLoopEnd {
    ExitSignal,    // the machine asked the tool to end
    Stopped,       // the window set the stop flag
    CaptureFailed, // the screen could not be read; the window stays open
    LinkFailed,    // the signal read failed after its retries
};

CaptureLoopEnd runCaptureLoop(const CaptureLoopActions& actions, const ShotSignals& signals,
                              const std::atomic<bool>& stop, Clock& clock);

// The exit sequence runs once, whichever way the tool ends (exit signal,
// button, Esc, or the window closing after the capture thread gave up).
class ExitSequenceOnce {
public:
    explicit ExitSequenceOnce(std::function<void()> steps) : steps_(std::move(steps)) {}
    void run() {
        std::call_once(once_, [this] {
            steps_();
            ran_.store(true);
        });
    }
    bool hasRun() const { return ran_.load(); }

private:
    std::function<void()> steps_;
    std::once_flag once_;
    std::atomic<bool> ran_{false};
};

} // namespace quillon

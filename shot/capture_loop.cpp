#include "shot/capture_loop.h"

namespace quillon {
namespace {

void blinkTwice(const CaptureLoopActions& actions, Clock& clock) {
    for (int blink = 0; blink < 2; ++blink) {
        if (blink > 0) {
            clock.sleepMs(kFeedbackStepMs);
        }
        actions.setButtonVisible(false);
        actions.beep();
        clock.sleepMs(kFeedbackStepMs);
        actions.setButtonVisible(true);
    }
}

} // namespace

CaptureLoopEnd runCaptureLoop(const CaptureLoopActions& actions, const ShotSignals& signals,
                              const std::atomic<bool>& stop, Clock& clock) {
    for (;;) {
        const std::optional<uint8_t> read = actions.readSignal();
        if (!read) {
            actions.exitSequence();
            return CaptureLoopEnd::LinkFailed;
        }
        const uint8_t signal = *read;
        if (signal == signals.exit) {
            actions.exitSequence();
            return CaptureLoopEnd::ExitSignal;
        }
        if (signal == signals.capture) {
            ShotReport report = actions.takeShot();
            switch (report.outcome) {
            case ShotOutcome::Written:
                blinkTwice(actions, clock);
                break;
            case ShotOutcome::CaptureFailed:
                actions.reportProblem(report);
                return CaptureLoopEnd::CaptureFailed;
            case ShotOutcome::NothingToTake:
            case ShotOutcome::WriteFailed:
                actions.reportProblem(report);
                break;
            }
        }
        if (stop.load()) {
            actions.releaseDirectDraw();
            actions.exitSequence();
            return CaptureLoopEnd::Stopped;
        }
    }
}

} // namespace quillon

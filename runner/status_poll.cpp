// The status poll: hotkeys (stop, pause and resume, window switch), the
// machine's macro state, remote commands and held keys. While the run is
// paused the poll does not return until the user resumes or stops it.
#include "runner/interpreter.h"

#include "device/actions.h"

namespace quillon::runner {

bool Interpreter::pollStatus(uint32_t interval) {
    const uint32_t now = clock_.tickCount();
    if (state_.havePolled && now - state_.lastPollTime <= interval && !paused.load()) {
        return true;
    }
    uint32_t lastBlink = now;
    for (;;) {
        if (!keepGoing()) return true; // the caller sees the cleared run flag
        state_.havePolled = true;
        state_.lastPollTime = clock_.tickCount();
        StatusReply reply;
        const bool answered = requestStatus(link_, reply);
        if (answered && runActive.load()) {
            state_.heldKeys = reply.heldKeys;
            state_.statusFlags = reply.flags;
            if (reply.remoteCommand != kNoRemoteCommand) state_.lastRemote = reply.remoteCommand;
            const uint8_t hotkey = reply.hotkey;
            // A hotkey code of 0 is "none pressed", never a configured key.
            if (hotkey != 0 && hotkey == settings_.stopHotkey) {
                host_.requestStop(false);
                stopping_ = true;
                ending_ = Ending::StopHotkey;
                return false;
            }
            if (hotkey != 0 && hotkey == settings_.startHotkey) {
                if (!paused.load()) {
                    paused.store(true);
                    labelVisible_ = false;
                    host_.showItemLabel(false);
                    if (state_.macroPlaying && !send(Action::pauseMacro())) return false;
                } else {
                    paused.store(false);
                    if (state_.soundPlaying) {
                        stopSound();
                        state_.soundPlaying = false;
                    }
                    labelVisible_ = true;
                    host_.showItemLabel(true);
                    if (state_.macroPlaying && !send(Action::resumeMacro())) return false;
                }
            } else if (hotkey != 0 && hotkey == settings_.switchHotkey) {
                host_.switchWindow();
                host_.showItemLabel(true);
            } else {
                if (const auto playing = reply.macroPlaying()) state_.macroPlaying = *playing;
                if (state_.macroPlaying != state_.macroShown) {
                    state_.macroShown = state_.macroPlaying;
                    host_.showMacroPlaying(state_.macroPlaying);
                }
            }
        }
        if (!paused.load()) return true;
        // Paused: the item label blinks and the poll goes on at its rate.
        clock_.sleepMs(kPollIntervalMs);
        const uint32_t t = clock_.tickCount();
        if (t - lastBlink >= kPausedBlinkMs) {
            lastBlink = t;
            labelVisible_ = !labelVisible_;
            host_.showItemLabel(labelVisible_);
        }
    }
}

} // namespace quillon::runner

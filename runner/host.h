// What the interpreter asks of the program around it: sound, beeps, the
// input method of the foreground window, the local time, and the status
// windows it reports to. The Windows program implements it with its dialogs;
// tests record the calls.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analyzer/records.h"
#include "base/local_time.h"
#include "runner/screen.h"

namespace quillon::runner {

struct Variable;

using quillon::LocalTime;

// The two preview boxes of the main window: what a comparison looked for, and
// what the screen showed at that place.
enum class PreviewBox { Reference, Live };

// A picture for a preview box: 32-bit pixels (blue, green, red, unused), rows
// top to bottom `stride` bytes apart, or one solid colour (0xRRGGBB).
struct PreviewPicture {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool solid = false;
    uint32_t colour = 0;
};

class Host {
public:
    virtual ~Host() = default;

    // Loops the sound file until stopped; false when it cannot be played.
    virtual bool playSound(const std::string& path) = 0;
    virtual void stopSound() = 0;
    virtual void beep(int frequency, int durationMs) = 0;
    // Whether the input method of the foreground window is open (Korean).
    virtual bool inputMethodOpen() = 0;
    virtual LocalTime localTime() = 0;

    // ---- the status windows ---------------------------------------------------
    // True while the main window is shown (else the mini window).
    virtual bool mainWindowShown() = 0;
    // Asks the main window to end the run (its stop button); with
    // `computerOff` the program switches the computer off as it ends.
    virtual void requestStop(bool computerOff) = 0;
    // Switches between the main and the mini window.
    virtual void switchWindow() = 0;
    // The current item's number (list position) and name (UTF-8).
    virtual void showCurrentItem(int number, const std::string& name) = 0;
    virtual void showItemLabel(bool visible) = 0;
    virtual void showMacroPlaying(bool playing) = 0;
    // The code of the condition that stopped an item (main window only).
    virtual void showResultCode(int code) = 0;
    virtual void showSoundPath(const std::string& path) = 0;
    // A warning box (UTF-8); the program ends after it when the run asks.
    virtual void warn(const std::string& text) = 0;
    // Timer displays: whole seconds, sent when they change (main window).
    virtual void showTimer(int /*timer*/, int64_t /*seconds*/) {}
    // Variable displays: the window reads the values and clears the changed
    // flags of the variables it shows (main window, after every item).
    virtual void refreshVariables(std::array<Variable, 1000>& /*variables*/) {}
    // The run-analyzer command replaced the analyzer: the variable displays
    // show 0 again and their choices are the new analyzer's variables.
    virtual void analyzerReplaced() {}
    // Previews of the comparison that is running (main window only; the
    // picture's pixels are valid during the call).
    virtual void showPreview(PreviewBox /*box*/, const PreviewPicture& /*picture*/) {}
    // The cursor as last captured and the stored sample a cursor condition
    // compared it with (main window only).
    virtual void showCursors(const CursorImage& /*captured*/, const analyzer::CursorSample& /*stored*/) {}
    // A date condition's stored date (year, month, weekday, day, hour, minute,
    // second) and the display format of the parts it uses (main window only).
    virtual void showDateCondition(const std::array<uint16_t, 7>& /*date*/, const std::string& /*format*/) {}
};

} // namespace quillon::runner

// The autosave cycle. Every ten minutes, when autosave is on and the
// analyzer has items, a small window asks the user to stop working, the
// editor windows are disabled, and half a second later (so the window is
// painted before the blocking file work) the analyzer is written to
// "save.tmp" without its machine macros. Opening and saving suspend the
// cycle. Restoring asks first, shows its own window, and half a second later
// reads the autosave file (which must carry the format marker); a file that
// fails leaves the open analyzer as it was.
//
// The window side calls tick() from its timers; everything else is decided
// here against the Clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "base/clock.h"
#include "base/user_dialogs.h"

namespace quillon::editor {

namespace autosave_message {
inline constexpr const char* kButtonOff = "자동저장 OFF";
inline constexpr const char* kButtonOn = "자동저장 ON";
inline constexpr const char* kSaving = "분석 항목들을 자동 저장하고 있습니다.";
inline constexpr const char* kStopWorking = "조작을 멈추어 주세요.";
inline constexpr const char* kRestoreQuestion = "자동저장 내용을 불러 오시겠습니까?";
inline constexpr const char* kRestoring = "자동저장 내용을 불러오고 있습니다...";
} // namespace autosave_message

// The small windows of the cycle and the editor windows they disable.
class AutosaveWindows {
public:
    virtual ~AutosaveWindows() = default;
    // A window centred on the screen with one or two lines.
    virtual void showNotice(const std::string& firstLine, const std::string& secondLine) = 0;
    virtual void closeNotice() = 0;
    // false: the editor windows are disabled; true: each goes back to the
    // state it had before (a window an open editor disabled stays so).
    virtual void setEditorEnabled(bool enabled) = 0;
};

enum class AutosaveTick { Nothing, Started, Saved, SaveFailed, Restored, RestoreFailed };

class Autosave {
public:
    static constexpr uint32_t kIntervalMs = 600000;
    static constexpr uint32_t kPaintDelayMs = 500;

    Autosave(analyzer::AnalyzerModel& model, analyzer::AnalyzerFile& file, std::string autosavePath,
             UserDialogs& dialogs, Clock& clock, AutosaveWindows* windows = nullptr);

    // The period of the cycle; kIntervalMs unless a test shortens it.
    void setIntervalMs(uint32_t ms) { interval_ = ms > 0 ? ms : kIntervalMs; }
    uint32_t intervalMs() const { return interval_; }

    bool on() const { return on_; }
    void toggle() { on_ = !on_; }
    void setOn(bool on) { on_ = on; }
    // The switch's caption shows the state.
    const char* buttonCaption() const { return on_ ? autosave_message::kButtonOn : autosave_message::kButtonOff; }

    // Opening and saving suspend the cycle; calls nest.
    void suspend() { ++suspended_; }
    void resume() {
        if (suspended_ > 0) --suspended_;
    }
    bool suspended() const { return suspended_ > 0; }

    // Runs what is due at the clock's current time.
    AutosaveTick tick();

    // Asks "자동저장 내용을 불러 오시겠습니까?"; on Yes shows the restore
    // window and schedules the load for the next tick after the paint delay.
    bool requestRestore();

    // Reads the autosave file into the analyzer (the editor reads it aside and
    // swaps it in only when the whole file is read). Unset: restored straight
    // into the model.
    std::function<analyzer::FileResult(const std::string& path)> restoreFile;

    // True while the user is in the middle of something (a dialog, the
    // capture window or an editor open, an item being stored): a tick
    // that falls then starts nothing.
    std::function<bool()> busy;

    const std::string& path() const { return path_; }

private:
    enum class Pending { None, Save, Restore };
    void notice(const std::string& first, const std::string& second);
    void endNotice();

    analyzer::AnalyzerModel& model_;
    analyzer::AnalyzerFile& file_;
    std::string path_;
    UserDialogs& dialogs_;
    Clock& clock_;
    AutosaveWindows* windows_;
    uint32_t interval_ = kIntervalMs;
    bool on_ = false;
    int suspended_ = 0;
    uint32_t lastFired_;
    Pending pending_ = Pending::None;
    uint32_t pendingSince_ = 0;
};

} // namespace quillon::editor

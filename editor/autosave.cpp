#include "editor/autosave.h"

namespace quillon::editor {

namespace msg = autosave_message;

Autosave::Autosave(analyzer::AnalyzerModel& model, analyzer::AnalyzerFile& file, std::string autosavePath,
                   UserDialogs& dialogs, Clock& clock, AutosaveWindows* windows)
    : model_(model), file_(file), path_(std::move(autosavePath)), dialogs_(dialogs), clock_(clock),
      windows_(windows), lastFired_(clock.tickCount()) {}

void Autosave::notice(const std::string& first, const std::string& second) {
    if (windows_) {
        windows_->showNotice(first, second);
        windows_->setEditorEnabled(false);
    }
}

void Autosave::endNotice() {
    if (windows_) {
        windows_->setEditorEnabled(true);
        windows_->closeNotice();
    }
}

AutosaveTick Autosave::tick() {
    const uint32_t now = clock_.tickCount();
    if (pending_ != Pending::None) {
        if (now - pendingSince_ < kPaintDelayMs) {
            return AutosaveTick::Nothing;
        }
        Pending what = pending_;
        pending_ = Pending::None;
        if (what == Pending::Save) {
            analyzer::FileResult result = file_.saveAutosave(model_, path_);
            endNotice();
            if (!result.ok()) {
                dialogs_.warn(result.message);
                return AutosaveTick::SaveFailed;
            }
            return AutosaveTick::Saved;
        }
        // Restoring is an open: the cycle stays suspended while it reads.
        suspend();
        analyzer::FileResult result = restoreFile ? restoreFile(path_) : file_.restoreAutosave(model_, path_);
        resume();
        endNotice();
        if (!result.ok()) {
            if (!result.cancelled) {
                dialogs_.warn(result.message);
            }
            return AutosaveTick::RestoreFailed;
        }
        return AutosaveTick::Restored;
    }
    if (now - lastFired_ < interval_) {
        return AutosaveTick::Nothing;
    }
    // The timer fires on its own period, whatever the editor is doing.
    lastFired_ += (now - lastFired_) / interval_ * interval_;
    if (!on_ || suspended() || model_.itemCount() == 0 || (busy && busy())) {
        return AutosaveTick::Nothing;
    }
    notice(msg::kSaving, msg::kStopWorking);
    pending_ = Pending::Save;
    pendingSince_ = now;
    return AutosaveTick::Started;
}

bool Autosave::requestRestore() {
    if (pending_ != Pending::None || !dialogs_.askYesNo(msg::kRestoreQuestion)) {
        return false;
    }
    notice(msg::kRestoring, "");
    pending_ = Pending::Restore;
    pendingSince_ = clock_.tickCount();
    return true;
}

} // namespace quillon::editor

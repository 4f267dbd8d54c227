#include "editor/editor_document.h"

#include <algorithm>

#include "analyzer/limits.h"
#include "base/text.h"
#include "editor/analyzer_loading.h"
#include "editor/screenshots.h"

namespace quillon::editor {

using namespace analyzer;

EditorDocument::EditorDocument(AnalyzerModel& model, EditorFolders folders, UserDialogs& dialogs, Clock& clock,
                               AutosaveWindows* autosaveWindows)
    : model_(model), folders_(std::move(folders)), dialogs_(dialogs), file_(folders_.image, folders_.sound),
      autosave_(model, file_, folders_.autosavePath(), dialogs, clock, autosaveWindows) {
    file_.setClock(&clock);
    FileHooks& hooks = file_.hooks();
    hooks.askEmbedMacros = [this](const std::string& q) { return dialogs_.askYesNo(q); };
    hooks.askInstallMacros = [this](const std::string& q) { return dialogs_.askYesNo(q); };
    hooks.askContinueWithMissingMacros = [this](const std::string& q) {
        return dialogs_.ask(q, kCaptionNotice, QuestionKind::OkCancel);
    };
    autosave_.restoreFile = [this](const std::string& path) {
        return loadAnalyzer(file_, model_, folders_, path, LoadKind::RestoreAutosave);
    };
}

void EditorDocument::setProgress(std::function<void(const std::string&, uint64_t, uint64_t)> progress,
                                 std::function<void()> closed) {
    file_.hooks().progress = std::move(progress);
    file_.hooks().progressClosed = std::move(closed);
}

bool EditorDocument::startNew(const LocalTime& localNow, bool ask) {
    return startNewAnalyzer(model_, folders_, dialogs_, localNow, ask);
}

bool EditorDocument::open(const std::string& path) {
    autosave_.suspend();
    FileResult result = loadAnalyzer(file_, model_, folders_, path, LoadKind::Open);
    autosave_.resume();
    if (!result.ok()) {
        if (!result.cancelled && !result.message.empty()) {
            dialogs_.warn(result.message);
        }
        return false;
    }
    // A stored current screenshot outside the list starts the list instead.
    AnalyzerImage& a = model_.image();
    if (a.currentScreenshot < 0 || a.currentScreenshot >= a.screenshotCount) {
        a.currentScreenshot = 0;
    }
    return true;
}

bool EditorDocument::save(const std::string& chosenPath) {
    autosave_.suspend();
    FileResult result = file_.save(model_, chosenPath);
    autosave_.resume();
    if (!result.ok()) {
        if (!result.cancelled) {
            dialogs_.warn(result.message.empty() ? message::kSaveFailed : result.message);
        }
        return false;
    }
    dialogs_.notify(message::kSaveDone);
    return true;
}

std::string EditorDocument::title() const { return text::cp949ToUtf8(fixedText(model_.image().name)); }

} // namespace quillon::editor

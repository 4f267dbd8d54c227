// The open analyzer with everything around it that the editor decides
// without a window: its folders, the analyzer file with its questions and
// messages, the autosave cycle and the machine macros. The windows hold one
// of these and call it; every question and message goes through the
// UserDialogs they pass in.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "base/clock.h"
#include "base/user_dialogs.h"
#include "editor/autosave.h"
#include "editor/folders.h"

namespace quillon::editor {

inline constexpr const char* kLeaveQuestion = "이미지 분석 편집기를 종료하시겠습니까?";
inline constexpr const char* kLeaveCaption = "편집기 종료";

// "이미지 분석 편집기를 종료하시겠습니까?" (caption "편집기 종료"); true: leave.
inline bool confirmLeave(UserDialogs& dialogs) { return dialogs.askYesNo(kLeaveQuestion, kLeaveCaption); }

class EditorDocument {
public:
    EditorDocument(analyzer::AnalyzerModel& model, EditorFolders folders, UserDialogs& dialogs, Clock& clock,
                   AutosaveWindows* autosaveWindows = nullptr);

    analyzer::AnalyzerModel& model() { return model_; }
    const EditorFolders& folders() const { return folders_; }
    analyzer::AnalyzerFile& file() { return file_; }
    Autosave& autosave() { return autosave_; }

    // The machine whose macros are embedded and installed; none: saving
    // never embeds and opening never installs.
    void setMachine(analyzer::MachineMacroPort* machine) { file_.setMachine(machine); }
    // The progress window of the file work.
    void setProgress(std::function<void(const std::string&, uint64_t, uint64_t)> progress,
                     std::function<void()> closed);

    // "모든 내용을 삭제하고 새로 시작하시겠습니까?" (when `ask`), then a fresh
    // analyzer titled by the local time.
    bool startNew(const LocalTime& localNow, bool ask = true);
    // Opens an analyzer file: read aside, it replaces the open analyzer and
    // the Image folder's bitmaps only when the whole file is read. A failure
    // is told and leaves the open analyzer as it was.
    bool open(const std::string& path);
    // Saves under the chosen name (cut at its first "." and given ".dat");
    // "파일 저장을 완료 했습니다." on success.
    bool save(const std::string& chosenPath);

    // The window title: the analyzer's name.
    std::string title() const;

private:
    analyzer::AnalyzerModel& model_;
    EditorFolders folders_;
    UserDialogs& dialogs_;
    analyzer::AnalyzerFile file_;
    Autosave autosave_;
};

} // namespace quillon::editor

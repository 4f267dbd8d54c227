// Screenshots of the open analyzer: importing a screenshot set made by the
// screenshot tool, showing a screenshot, deleting (or erasing) one, and
// starting a new analyzer, which empties the Image folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analyzer/model.h"
#include "base/user_dialogs.h"
#include "editor/folders.h"
#include "screenshots/screenshot_files.h"

namespace quillon::editor {

namespace screenshot_message {
inline constexpr const char* kUnusableImage = "사용할 수 없는 이미지 파일입니다.";
inline constexpr const char* kMissingOrDamaged = "이미지 파일이 없거나 잘못된 이미지 파일입니다.";
inline constexpr const char* kUnsupported = "분석기가 지원할 수 없는 형식의 스샷입니다.";
// The cursor file of an imported set was damaged: its damaged images are left out.
inline constexpr const char* kDamagedCursor =
    "커서 파일(.dat)이 손상되어 커서 이미지의 손상된 부분은 불러오지 않았습니다.\n스샷은 그대로 불러왔습니다.";
inline constexpr const char* kAreasLeft = "범위설정이 남아 있기 때문에 삭제할 수 없습니다.";
inline constexpr const char* kImagesLeft = "인식이미지가 남아 있기 때문에 삭제할 수 없습니다.";
// A screenshot's name is also its bitmap's file name in the Image folder.
inline constexpr const char* kBadName = "스샷 이름으로 사용할 수 없는 이름입니다.";
inline constexpr const char* kNameTaken = "같은 이름의 스샷이 이미 있습니다.";
inline constexpr const char* kRenameFailed = "스샷 파일의 이름을 바꾸지 못했습니다.";
inline constexpr const char* kNewAnalyzerQuestion = "모든 내용을 삭제하고 새로 시작하시겠습니까?";
inline constexpr const char* kErasedLabel = "지워진 스샷";
inline constexpr const char* kErasedCursorText = "xxxx,yyyy";
} // namespace screenshot_message

// The name proposed for the next imported screenshot: "불러온 이미지 %.2d".
std::string proposedScreenshotName(const analyzer::AnalyzerModel& model);

struct ImportRequest {
    std::string bitmapPath; // the chosen "*.bmp" (UTF-8)
    std::string name;       // the screenshot's name, without ".bmp"
    bool replaceCurrent = false;
    // The chosen entry of the "마우스커서" list: a kept cursor goes after
    // it, or last when none is chosen (-1).
    int chosenCursor = -1;
};

// The cursor keeping dialog: given the cursor file's images (flags = the
// parts read whole) and the proposed name, the name to keep it under, or
// nothing when the user does not keep it.
using CursorOffer =
    std::function<std::optional<std::string>(const CursorImage& cursor, const std::string& proposedName)>;

enum class ImportOutcome { Imported, Refused, Cancelled };

struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Refused;
    int slot = -1;
    int cursorSlot = -1; // the kept cursor, -1 when none
};

ImportResult importScreenshot(analyzer::AnalyzerModel& model, const EditorFolders& folders,
                              const ImportRequest& request, UserDialogs& dialogs, const CursorOffer& offerCursor);

enum class ShowStatus { Shown, Erased, Missing, Unsupported };

// Fills a cursor sample's images from a cursor file's (name and list place
// are the caller's).
void storeCursorImages(const CursorImage& cursor, analyzer::CursorSample& sample);

struct ScreenshotView {
    ShowStatus status = ShowStatus::Missing;
    ScreenshotBitmap bitmap; // for an erased screenshot: a blank of the current screen size
    std::string cursorText;
    std::string label;
};

inline constexpr uint8_t kErasedFill = 238;

// Shows the screenshot at a list position: reads its bitmap, takes the
// screen size and depth from it and moves recognition images that would
// fall outside it back inside. Failures are told through `dialogs`.
ScreenshotView showScreenshot(analyzer::AnalyzerModel& model, const EditorFolders& folders, int position,
                              UserDialogs& dialogs);

// The bitmap of the screenshot in `slot` as the Image folder holds it;
// nothing for a free or erased slot or a file that is missing, damaged or of
// a depth the editor does not read. Nothing is told.
std::optional<ScreenshotBitmap> readScreenshotOfSlot(const analyzer::AnalyzerModel& model,
                                                     const EditorFolders& folders, int slot);

enum class ScreenshotDeletion { Removed, Erased, Refused };

// A screenshot that recognition images or areas were cut from is erased (its
// bitmap deleted, the entry kept); an erased one is removed once nothing
// refers to it; one without dependants is removed at once.
ScreenshotDeletion deleteScreenshotAt(analyzer::AnalyzerModel& model, const EditorFolders& folders, int position,
                                      UserDialogs& dialogs);

// Renames the screenshot at a list position and its bitmap in the Image
// folder. Refused, changing nothing, for a name that cannot be a file name,
// one another screenshot has, or a bitmap that cannot be renamed.
bool renameScreenshotAt(analyzer::AnalyzerModel& model, const EditorFolders& folders, int position,
                        const std::string& name, UserDialogs& dialogs);

// Deletes every "*.bmp" of the Image folder (files only, not recursive).
void clearImageFolder(const EditorFolders& folders);

// After "모든 내용을 삭제하고 새로 시작하시겠습니까?" (when `ask`): empties the
// Image folder, resets the model and names it "이미지 분석기YYYYMMDDhhmm".
// False when the user said No.
bool startNewAnalyzer(analyzer::AnalyzerModel& model, const EditorFolders& folders, UserDialogs& dialogs,
                      const LocalTime& localNow, bool ask = true);

} // namespace quillon::editor

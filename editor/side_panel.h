// What the side panel decides without a window: the lines of its four lists
// (screenshots, recognition images, recognition areas, cursors), what it
// shows for a chosen recognition image, renaming an entry in place, and the
// area deletion that refuses an area reaching past its screenshot.
#pragma once

#include <string>
#include <vector>

#include "analyzer/model.h"
#include "base/user_dialogs.h"

namespace quillon::editor {

inline constexpr const char* kAreaOutsideRefusal = "이미지 바깥에 있는 검색범위는 삭제할 수 없습니다.";
inline constexpr const char* kAreasHide = "범위 숨기기";
inline constexpr const char* kAreasShow = "범위 보이기";
inline constexpr const char* kPanelHide = "편집창 감추기";
inline constexpr const char* kPanelShow = "편집창 보이기";
inline constexpr const char* kPanelsAttach = "창 붙이기";
inline constexpr const char* kPanelsDetach = "창 떼기";
inline constexpr const char* kImportTitle = "분석기로 불러올 이미지를 선택하세요";
inline constexpr const char* kImportFilter = "이미지 파일(*.bmp)";
// Longest object name in CP949 bytes; a longer one is cut.
inline constexpr size_t kObjectNameLimit = 63;

enum class SideList { Screenshots, RecognitionImages, Areas, Cursors };

// The list lines in list order: screenshot labels ("%s(X)(%d)" when
// erased), recognition image names ("[패턴]" before a pattern image's),
// area and cursor names.
std::vector<std::string> sideListLines(const analyzer::AnalyzerModel& model, SideList list);

struct RecognitionImageDetails {
    std::string name;
    int width = 0;
    int height = 0;
    std::string centre; // "%d,%d"
    int centreX = 0;
    int centreY = 0;
    int screenshotPosition = -1; // the list position of its screenshot; -1 when it has none
};

// The image at a list position; nothing when the position is empty.
std::optional<RecognitionImageDetails> recognitionImageDetails(const analyzer::AnalyzerModel& model, int position);

// Renames a recognition image, area or cursor at a list position (the
// screenshots rename with their bitmaps: renameScreenshotAt). An empty name
// is refused; a long one is cut.
bool renameObjectAt(analyzer::AnalyzerModel& model, SideList list, int position, const std::string& name);

// An area reaching past its screenshot is refused first, then the items
// using it (reference checks).
bool deleteAreaInsideAt(analyzer::AnalyzerModel& model, int position, UserDialogs& dialogs);

} // namespace quillon::editor

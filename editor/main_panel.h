// What the editor's main panel decides without a window: where it sits on
// the screen, its dated caption, the lines of its item list (kept sorted by
// name when the user asks for it) and the item's ignore mode from its three
// check buttons.
#pragma once

#include <string>
#include <vector>

#include "analyzer/model.h"

namespace quillon::editor {

namespace panel_text {
inline constexpr const char* kAlreadyRunning = "프로그램이 이미 실행중입니다.\n실행중인 프로그램을 종료해 주세요.";
inline constexpr const char* kLoadingFirstLine = "이미지 분석 편집기을 불러오고 있습니다.";
inline constexpr const char* kLoadingSecondLine = "잠시만 기다려 주세요...";
inline constexpr const char* kStoringItem = "분석항목 저장 중...";
inline constexpr const char* kSaveDialogTitle = "현재 분석기 내용을 파일로 저장하기";
inline constexpr const char* kOpenDialogTitle = "만들어진 분석기 불러오기";
inline constexpr const char* kAnalyzerFilter = "분석기 파일(*.dat)";
inline constexpr const char* kLinkUsb = "USB";
inline constexpr const char* kLinkSerial = "AUX";
} // namespace panel_text

struct PanelPlacement {
    int x = 0;
    int y = 0;
    // Steps of 10 pixels the panel scrolls; 0: it fits, no scroll bar.
    int scrollSteps = 0;
};

inline constexpr int kPanelScrollStep = 10;

// The panel keeps its size. Taller than the work area: it starts at the work
// area's top and scrolls by (height - work area height) / 10 + 1 steps;
// otherwise it is centred in the work area. It is always centred across the
// screen.
PanelPlacement placeMainPanel(int panelWidth, int panelHeight, int screenWidth, int workTop, int workHeight);

// "이미지 분석기YYYYMMDDhhmm" from the local time at start.

struct ItemListRow {
    int position = 0; // the item's place in the analyzer
    std::string line; // as the list shows it
};

// The item list in analyzer order, or, when `sorted`, ordered by item name
// (items of one name keep their analyzer order).
std::vector<ItemListRow> itemListRows(const analyzer::AnalyzerModel& model, bool sorted);

// The row that shows the item at `position`; -1 when none does.
int rowOfItem(const std::vector<ItemListRow>& rows, int position);

struct IgnoreChecks {
    bool circular = false;  // "순환구조 / 무시"
    bool trueSkip = false;  // "참으로 / 항목무시"
    bool falseSkip = false; // "거짓으로 / 항목무시"
};

// One value from the three checks: 1 when "참으로" is checked, else 2 for
// "거짓으로", else 3 for "순환구조", else 0.
int ignoreModeOf(const IgnoreChecks& checks);
IgnoreChecks ignoreChecksOf(int ignoreMode);

} // namespace quillon::editor

// The editing area of the main panel without its window: the fields of the
// edited item, storing it as a new item or over the chosen one, and the row
// operations of its three lists (conditions, commands, next-item links).
// The edits work on the editor's copy of the item; only storing changes the
// analyzer.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "analyzer/model.h"
#include "base/status.h"
#include "base/user_dialogs.h"
#include "editor/main_panel.h"

namespace quillon::editor {

namespace editing_message {
inline constexpr const char* kNameMissing = "항목 이름을 입력해주세요.";
inline constexpr const char* kCannotPaste = "붙여넣기 할수 없습니다.";
} // namespace editing_message

// Longest item name in CP949 bytes; a longer one is cut.
inline constexpr size_t kItemNameLimit = 63;
inline constexpr uint32_t kStoreDelayMs = 500;

struct ItemFields {
    std::string name; // UTF-8
    bool head = false;
    bool alwaysScan = true;
    bool takeScreenshot = false;
    IgnoreChecks ignore;
};

ItemFields itemFieldsOf(const analyzer::Item& item);

enum class StoreMode { New, Over };

// Takes the fields into the working copy and stores it: "신규 저장" appends a
// new item (with a new id), "변경 저장" replaces the chosen item (keeping
// its id; without a chosen item it stores a new one). An empty name is
// refused. The stored item's list position comes back.
Built<int> storeEditedItem(analyzer::AnalyzerModel& model, analyzer::Item& working, const ItemFields& fields,
                           StoreMode mode, int chosenPosition);

enum class RowList { Conditions, Commands, NextLinks };

// Rows copied from one list; they paste only into a list of the same kind.
struct RowClipboard {
    RowList list = RowList::Conditions;
    std::vector<analyzer::Condition> conditions;
    std::vector<analyzer::Command> commands;
    std::vector<analyzer::NextLink> nextLinks;
    bool empty() const { return conditions.empty() && commands.empty() && nextLinks.empty(); }
};

int rowCount(const analyzer::Item& item, RowList list);

// Each operation takes the selected rows (any order, duplicates and rows
// past the end ignored) and gives the rows to select afterwards.
// Moving keeps the selected rows' order; a block at the edge stays.
std::vector<int> moveRowsUp(analyzer::Item& item, RowList list, const std::vector<int>& selected);
std::vector<int> moveRowsDown(analyzer::Item& item, RowList list, const std::vector<int>& selected);
RowClipboard copyRows(const analyzer::Item& item, RowList list, const std::vector<int>& selected);
// Pastes above the first selected row or below the last (at the start or
// end of the list when nothing is selected). Refused, changing nothing, when
// the clipboard holds another list's rows or the rows would pass the list's
// limit.
Built<std::vector<int>> pasteRows(analyzer::Item& item, RowList list, const RowClipboard& clipboard,
                                  const std::vector<int>& selected, bool above);
std::vector<int> deleteRows(analyzer::Item& item, RowList list, const std::vector<int>& selected);
void deleteAllRows(analyzer::Item& item, RowList list);

// Where a condition or command dialog puts its row: "끝에 추가" at the end,
// "앞에 추가" before the chosen row, "뒤에 추가" after it (both at the end
// when no row is chosen), "수정 저장" over the row being changed.
enum class RowPlacement { AtEnd, Before, After, Replace };

// The row's place in its list afterwards.
Built<int> placeCondition(analyzer::Item& item, RowPlacement placement, int chosenRow,
                          const analyzer::Condition& condition);
Built<int> placeCommand(analyzer::Item& item, RowPlacement placement, int chosenRow, const analyzer::Command& command);

// "분석기 교체": the command that runs another analyzer, named by its file
// name with the extension. A file chosen outside the analyzer folder is
// copied into it first, after "같은 이름의 파일이 존재합니다.\n덮어 쓰시겠습니까?"
// when the folder has one of that name (No: nothing happens). The command
// goes before the chosen row (at the end when none is chosen).
inline constexpr const char* kOverwriteAnalyzerQuestion = "같은 이름의 파일이 존재합니다.\n덮어 쓰시겠습니까?";
inline constexpr const char* kRunAnalyzerDialogTitle = "실행할 분석기를 선택하세요";
Built<int> addRunAnalyzerCommand(analyzer::Item& item, int chosenRow, const std::string& chosenPath,
                                 const std::string& analyzerFolder, UserDialogs& dialogs);
// A double click on such a row: the file chosen again replaces it in place
// (same copying and question); refused for a row of another kind.
Built<int> changeRunAnalyzerCommand(analyzer::Item& item, int row, const std::string& chosenPath,
                                    const std::string& analyzerFolder, UserDialogs& dialogs);

// "항목지연 제거": a condition that keeps the item delay off this item,
// added once at the end of the conditions.
Status removeItemDelay(analyzer::Item& item);

} // namespace quillon::editor

// The row operations of the main panel's item list: move, copy, paste above
// or below, delete the chosen items and delete them all. Items refer to each
// other by id, so moving never breaks a link; pasted copies take new ids and
// keep pointing at the items their originals pointed at. An item that an
// item links to (itself included) is not deleted.
#pragma once

#include <vector>

#include "analyzer/model.h"
#include "base/status.h"

namespace quillon::editor {

namespace item_list_message {
inline constexpr const char* kTooManyChosen = "너무 많은 열(들)을 선택하셨습니다.";
inline constexpr const char* kCannotPaste = "붙여넣기 할수 없습니다.";
inline constexpr const char* kDeleteAllQuestion = "모든 항목을 삭제하시겠습니까?";
} // namespace item_list_message

// Copied items, whole (conditions, commands and links).
struct ItemClipboard {
    std::vector<analyzer::Item> items;
    bool empty() const { return items.empty(); }
};

// Each operation takes the chosen list positions (any order, duplicates
// and positions past the end ignored) and gives the positions to choose
// afterwards. Moving keeps the chosen items' order; a block at the edge
// stays.
std::vector<int> moveItemsUp(analyzer::AnalyzerModel& model, const std::vector<int>& chosen);
std::vector<int> moveItemsDown(analyzer::AnalyzerModel& model, const std::vector<int>& chosen);

// Refused (kTooManyChosen) when more items are chosen than an analyzer
// holds beside one other item: such a copy could never be pasted.
Built<ItemClipboard> copyItems(const analyzer::AnalyzerModel& model, const std::vector<int>& chosen);

// Above the first chosen item or below the last (at the start or end when
// none is chosen). Refused, changing nothing, when the clipboard is empty or
// the analyzer would pass its 5000 items.
Built<std::vector<int>> pasteItems(analyzer::AnalyzerModel& model, const ItemClipboard& clipboard,
                                   const std::vector<int>& chosen, bool above);

// Refused, deleting nothing, when any chosen item is a link target (the
// message names the first linking item and the item); otherwise the items go
// and the position of the item now at the first deleted place comes back
// (empty when none is left).
Built<std::vector<int>> deleteItems(analyzer::AnalyzerModel& model, const std::vector<int>& chosen);

// Every item goes; links can only point at items, so nothing refuses it.
void deleteAllItems(analyzer::AnalyzerModel& model);

} // namespace quillon::editor

#include "editor/item_editing.h"

#include <algorithm>
#include <cstring>

#include "analyzer/limits.h"
#include "base/format_text.h"
#include "base/path.h"
#include "base/text.h"
#include "editor/folders.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

// One list of the item as a slot array with its count, capacity and the
// message that refuses one row too many.
template <class Slot>
struct Rows {
    Slot* slots;
    int32_t& count;
    int capacity;
    const char* tooMany;
};

template <class F>
auto withRows(Item& item, RowList list, F&& f) {
    switch (list) {
    case RowList::Commands:
        return f(Rows<Command>{item.commands, item.commandCount, kCommandsPerItem, message::kTooManyCommands});
    case RowList::NextLinks:
        return f(Rows<NextLink>{item.nextLinks, item.nextLinkCount, kNextLinksPerItem, message::kTooManyNextLinks});
    case RowList::Conditions:
    default:
        return f(Rows<Condition>{item.conditions, item.conditionCount, kConditionsPerItem,
                                 message::kTooManyConditions});
    }
}

template <class Slot>
int countOf(const Rows<Slot>& rows) {
    return std::clamp(static_cast<int>(rows.count), 0, rows.capacity);
}

// The selection sorted, without duplicates and rows past the end.
std::vector<int> cleanSelection(const std::vector<int>& selected, int count) {
    std::vector<int> rows;
    for (int row : selected) {
        if (row >= 0 && row < count) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

template <class Slot>
std::vector<Slot>& clipboardRows(RowClipboard& clipboard);
template <>
std::vector<Condition>& clipboardRows(RowClipboard& c) { return c.conditions; }
template <>
std::vector<Command>& clipboardRows(RowClipboard& c) { return c.commands; }
template <>
std::vector<NextLink>& clipboardRows(RowClipboard& c) { return c.nextLinks; }

// Folders compared with either separator, without a closing one and without
// regard to case (as the file system of the programs compares them).
bool sameFolder(const std::string& a, const std::string& b) {
    auto norm = [](std::string f) {
        for (char& c : f) {
            if (c == '\\') c = '/';
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        while (!f.empty() && f.back() == '/') f.pop_back();
        return f;
    };
    return norm(a) == norm(b);
}

} // namespace

ItemFields itemFieldsOf(const Item& item) {
    ItemFields fields;
    fields.name = text::cp949ToUtf8(fixedText(item.name));
    fields.head = item.head != 0;
    fields.alwaysScan = item.alwaysScan != 0;
    fields.takeScreenshot = item.takeScreenshot != 0;
    fields.ignore = ignoreChecksOf(item.ignoreMode);
    return fields;
}

Built<int> storeEditedItem(AnalyzerModel& model, Item& working, const ItemFields& fields, StoreMode mode,
                           int chosenPosition) {
    std::string name = text::utf8ToCp949(fields.name);
    if (name.empty()) {
        return Built<int>::refused(editing_message::kNameMissing);
    }
    storeFixedText(working.name, sizeof working.name, name);
    working.head = fields.head ? 1 : 0;
    working.alwaysScan = fields.alwaysScan ? 1 : 0;
    working.takeScreenshot = fields.takeScreenshot ? 1 : 0;
    working.ignoreMode = ignoreModeOf(fields.ignore);
    if (mode == StoreMode::Over && chosenPosition >= 0 && chosenPosition < model.itemCount()) {
        working.id = model.item(chosenPosition).id;
        if (!model.storeItem(chosenPosition, working)) {
            return Built<int>::refused(message::kAllocationFailed);
        }
        return Built<int>::of(chosenPosition);
    }
    const int position = model.itemCount();
    if (!model.insertItem(position, working)) {
        return Built<int>::refused(formatText("최대 항목수 %d개를 초과하였습니다.", kItemCapacity));
    }
    // The new id came back in the copy; storing refreshes the derived flags.
    model.storeItem(position, working);
    return Built<int>::of(position);
}

int rowCount(const Item& item, RowList list) {
    return withRows(const_cast<Item&>(item), list, [](auto rows) { return countOf(rows); });
}

std::vector<int> moveRowsUp(Item& item, RowList list, const std::vector<int>& selected) {
    return withRows(item, list, [&](auto rows) {
        std::vector<int> moved;
        int firstFree = 0; // rows above stay where they are
        for (int row : cleanSelection(selected, countOf(rows))) {
            int to = row;
            if (row > firstFree) {
                std::swap(rows.slots[row], rows.slots[row - 1]);
                to = row - 1;
            }
            moved.push_back(to);
            firstFree = to + 1;
        }
        return moved;
    });
}

std::vector<int> moveRowsDown(Item& item, RowList list, const std::vector<int>& selected) {
    return withRows(item, list, [&](auto rows) {
        std::vector<int> sorted = cleanSelection(selected, countOf(rows));
        std::vector<int> moved;
        int lastFree = countOf(rows) - 1;
        for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
            int to = *it;
            if (*it < lastFree) {
                std::swap(rows.slots[*it], rows.slots[*it + 1]);
                to = *it + 1;
            }
            moved.insert(moved.begin(), to);
            lastFree = to - 1;
        }
        return moved;
    });
}

RowClipboard copyRows(const Item& item, RowList list, const std::vector<int>& selected) {
    RowClipboard clipboard;
    clipboard.list = list;
    withRows(const_cast<Item&>(item), list, [&](auto rows) {
        using Slot = std::remove_reference_t<decltype(rows.slots[0])>;
        for (int row : cleanSelection(selected, countOf(rows))) {
            clipboardRows<Slot>(clipboard).push_back(rows.slots[row]);
        }
        return 0;
    });
    return clipboard;
}

Built<std::vector<int>> pasteRows(Item& item, RowList list, const RowClipboard& clipboard,
                                  const std::vector<int>& selected, bool above) {
    if (clipboard.empty() || clipboard.list != list) {
        return Built<std::vector<int>>::refused(editing_message::kCannotPaste);
    }
    return withRows(item, list, [&](auto rows) {
        using Slot = std::remove_reference_t<decltype(rows.slots[0])>;
        const std::vector<Slot>& pasted = clipboardRows<Slot>(const_cast<RowClipboard&>(clipboard));
        const int count = countOf(rows);
        const int n = static_cast<int>(pasted.size());
        if (count + n > rows.capacity) {
            return Built<std::vector<int>>::refused(rows.tooMany);
        }
        std::vector<int> rowsSelected = cleanSelection(selected, count);
        int at = above ? (rowsSelected.empty() ? 0 : rowsSelected.front())
                       : (rowsSelected.empty() ? count : rowsSelected.back() + 1);
        std::memmove(rows.slots + at + n, rows.slots + at, sizeof(Slot) * static_cast<size_t>(count - at));
        std::vector<int> placed;
        for (int i = 0; i < n; ++i) {
            rows.slots[at + i] = pasted[static_cast<size_t>(i)];
            placed.push_back(at + i);
        }
        rows.count = count + n;
        return Built<std::vector<int>>::of(placed);
    });
}

std::vector<int> deleteRows(Item& item, RowList list, const std::vector<int>& selected) {
    return withRows(item, list, [&](auto rows) {
        using Slot = std::remove_reference_t<decltype(rows.slots[0])>;
        std::vector<int> sorted = cleanSelection(selected, countOf(rows));
        int count = countOf(rows);
        for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
            std::memmove(rows.slots + *it, rows.slots + *it + 1, sizeof(Slot) * static_cast<size_t>(count - *it - 1));
            std::memset(&rows.slots[count - 1], 0, sizeof(Slot));
            --count;
        }
        rows.count = count;
        // The row now at the first deleted place stays chosen.
        if (sorted.empty() || count == 0) return std::vector<int>{};
        return std::vector<int>{std::min(sorted.front(), count - 1)};
    });
}

void deleteAllRows(Item& item, RowList list) {
    withRows(item, list, [](auto rows) {
        using Slot = std::remove_reference_t<decltype(rows.slots[0])>;
        std::memset(rows.slots, 0, sizeof(Slot) * static_cast<size_t>(rows.capacity));
        rows.count = 0;
        return 0;
    });
}

namespace {

template <class Slot>
Built<int> placeRow(Rows<Slot> rows, RowPlacement placement, int chosenRow, const Slot& row) {
    const int count = countOf(rows);
    const bool chosen = chosenRow >= 0 && chosenRow < count;
    if (placement == RowPlacement::Replace) {
        if (!chosen) {
            return Built<int>::refused("");
        }
        rows.slots[chosenRow] = row;
        return Built<int>::of(chosenRow);
    }
    if (count >= rows.capacity) {
        return Built<int>::refused(rows.tooMany);
    }
    // "앞에 추가" with no row chosen puts the row at the top.
    int at = count;
    if (placement == RowPlacement::Before) at = chosen ? chosenRow : 0;
    if (chosen && placement == RowPlacement::After) at = chosenRow + 1;
    std::memmove(rows.slots + at + 1, rows.slots + at, sizeof(Slot) * static_cast<size_t>(count - at));
    rows.slots[at] = row;
    rows.count = count + 1;
    return Built<int>::of(at);
}

} // namespace

Built<int> placeCondition(Item& item, RowPlacement placement, int chosenRow, const Condition& condition) {
    return placeRow(Rows<Condition>{item.conditions, item.conditionCount, kConditionsPerItem,
                                    message::kTooManyConditions},
                    placement, chosenRow, condition);
}

Built<int> placeCommand(Item& item, RowPlacement placement, int chosenRow, const Command& command) {
    return placeRow(Rows<Command>{item.commands, item.commandCount, kCommandsPerItem, message::kTooManyCommands},
                    placement, chosenRow, command);
}

namespace {

// The command that runs the chosen file, copied into the analyzer folder
// first when it lies elsewhere.
Built<Command> runAnalyzerCommandFor(const std::string& chosenPath, const std::string& analyzerFolder,
                                     UserDialogs& dialogs) {
    const std::string fileName = files::fileNameOf(chosenPath);
    const std::string name = text::utf8ToCp949(fileName);
    if (fileName.empty() || name.size() >= cmd::RunAnalyzer::name.bytes) {
        return Built<Command>::refused("");
    }
    const std::string inFolder = joinPath(analyzerFolder, fileName);
    const bool outside = !sameFolder(chosenPath.substr(0, chosenPath.size() - fileName.size()), analyzerFolder);
    if (outside) {
        if (files::exists(inFolder) && !dialogs.askYesNo(kOverwriteAnalyzerQuestion)) {
            return Built<Command>::refused("");
        }
        if (!files::copy(chosenPath, inFolder)) {
            return Built<Command>::refused(message::kSaveFailed);
        }
    }
    Command command{};
    command.used = 1;
    command.setKind(CmdRunAnalyzer);
    command.set(cmd::RunAnalyzer::name, name);
    return Built<Command>::of(command);
}

} // namespace

Built<int> addRunAnalyzerCommand(Item& item, int chosenRow, const std::string& chosenPath,
                                 const std::string& analyzerFolder, UserDialogs& dialogs) {
    if (item.commandCount >= kCommandsPerItem) {
        return Built<int>::refused(message::kTooManyCommands);
    }
    Built<Command> command = runAnalyzerCommandFor(chosenPath, analyzerFolder, dialogs);
    if (!command.ok()) {
        return Built<int>::refused(command.message);
    }
    // At the chosen row; after the last one when none is chosen.
    const bool chosen = chosenRow >= 0 && chosenRow < item.commandCount;
    return placeCommand(item, chosen ? RowPlacement::Before : RowPlacement::AtEnd, chosenRow, *command);
}

Built<int> changeRunAnalyzerCommand(Item& item, int row, const std::string& chosenPath,
                                    const std::string& analyzerFolder, UserDialogs& dialogs) {
    if (row < 0 || row >= item.commandCount || item.commands[row].kind() != CmdRunAnalyzer) {
        return Built<int>::refused("");
    }
    Built<Command> command = runAnalyzerCommandFor(chosenPath, analyzerFolder, dialogs);
    if (!command.ok()) {
        return Built<int>::refused(command.message);
    }
    return placeCommand(item, RowPlacement::Replace, row, *command);
}

Status removeItemDelay(Item& item) {
    for (int i = 0; i < item.conditionCount && i < kConditionsPerItem; ++i) {
        if (item.conditions[i].kind() == CondNoItemDelay) {
            return Status::success();
        }
    }
    Condition condition{};
    condition.used = 1;
    condition.setKind(CondNoItemDelay);
    condition.set(cond::NoItemDelay::on, 1);
    return addCondition(item, condition);
}

} // namespace quillon::editor

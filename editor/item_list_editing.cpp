#include "editor/item_list_editing.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "analyzer/limits.h"
#include "editor/reference_checks.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

std::vector<int> cleanChoice(const std::vector<int>& chosen, int count) {
    std::vector<int> positions;
    for (int position : chosen) {
        if (position >= 0 && position < count) positions.push_back(position);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

} // namespace

std::vector<int> moveItemsUp(AnalyzerModel& model, const std::vector<int>& chosen) {
    std::vector<int> moved;
    int firstFree = 0;
    for (int position : cleanChoice(chosen, model.itemCount())) {
        int to = position;
        if (position > firstFree) {
            std::swap(model.item(position), model.item(position - 1));
            to = position - 1;
        }
        moved.push_back(to);
        firstFree = to + 1;
    }
    return moved;
}

std::vector<int> moveItemsDown(AnalyzerModel& model, const std::vector<int>& chosen) {
    const std::vector<int> sorted = cleanChoice(chosen, model.itemCount());
    std::vector<int> moved;
    int lastFree = model.itemCount() - 1;
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        int to = *it;
        if (*it < lastFree) {
            std::swap(model.item(*it), model.item(*it + 1));
            to = *it + 1;
        }
        moved.insert(moved.begin(), to);
        lastFree = to - 1;
    }
    return moved;
}

Built<ItemClipboard> copyItems(const AnalyzerModel& model, const std::vector<int>& chosen) {
    const std::vector<int> positions = cleanChoice(chosen, model.itemCount());
    if (static_cast<int>(positions.size()) >= kItemCapacity) {
        return Built<ItemClipboard>::refused(item_list_message::kTooManyChosen);
    }
    ItemClipboard clipboard;
    clipboard.items.reserve(positions.size());
    for (int position : positions) {
        clipboard.items.push_back(model.item(position));
    }
    return Built<ItemClipboard>::of(std::move(clipboard));
}

Built<std::vector<int>> pasteItems(AnalyzerModel& model, const ItemClipboard& clipboard,
                                   const std::vector<int>& chosen, bool above) {
    const int count = model.itemCount();
    const int n = static_cast<int>(clipboard.items.size());
    if (n == 0 || n > kItemCapacity - count) {
        return Built<std::vector<int>>::refused(item_list_message::kCannotPaste);
    }
    const std::vector<int> positions = cleanChoice(chosen, count);
    const int at = above ? (positions.empty() ? 0 : positions.front()) : (positions.empty() ? count : positions.back() + 1);
    // The copies take new ids as they go in; their links keep the ids of the
    // items they pointed at.
    std::vector<Item> copies = clipboard.items;
    if (!model.insertItems(at, copies)) {
        return Built<std::vector<int>>::refused(item_list_message::kCannotPaste);
    }
    std::vector<int> placed;
    for (int i = 0; i < n; ++i) placed.push_back(at + i);
    return Built<std::vector<int>>::of(placed);
}

Built<std::vector<int>> deleteItems(AnalyzerModel& model, const std::vector<int>& chosen) {
    const std::vector<int> positions = cleanChoice(chosen, model.itemCount());
    for (int position : positions) {
        DeletionCheck check = checkItemDeletion(model, position);
        if (!check.allowed) {
            return Built<std::vector<int>>::refused(check.message);
        }
    }
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        model.deleteItem(*it);
    }
    if (positions.empty() || model.itemCount() == 0) {
        return Built<std::vector<int>>::of({});
    }
    return Built<std::vector<int>>::of({std::min(positions.front(), model.itemCount() - 1)});
}

void deleteAllItems(AnalyzerModel& model) {
    AnalyzerImage& a = model.image();
    std::memset(a.items, 0, sizeof(Item) * static_cast<size_t>(std::clamp(a.itemCount, 0, kItemCapacity)));
    a.itemCount = 0;
    a.currentItem = 0;
    model.refreshUsageFlags();
}

} // namespace quillon::editor

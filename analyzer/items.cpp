// Items: packed in list order, identified by ids that never change, and the
// edits made on the editor's copy of one item.
#include <cstdio>
#include <cstring>

#include "analyzer/limits.h"
#include "analyzer/model.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

template <class Slot>
Status insertSlot(Slot* slots, int32_t& count, int capacity, int position, const Slot& value, const char* refusal) {
    if (count >= capacity) {
        return Status::failure(refusal);
    }
    if (position < 0 || position > count) {
        return Status::failure("");
    }
    std::memmove(slots + position + 1, slots + position, sizeof(Slot) * static_cast<size_t>(count - position));
    slots[position] = value;
    ++count;
    return Status::success();
}

template <class Slot>
bool deleteSlot(Slot* slots, int32_t& count, int position) {
    if (position < 0 || position >= count) {
        return false;
    }
    std::memmove(slots + position, slots + position + 1, sizeof(Slot) * static_cast<size_t>(count - position - 1));
    std::memset(&slots[count - 1], 0, sizeof(Slot));
    --count;
    return true;
}

bool hasNoItemDelay(const Item& item) {
    for (int i = 0; i < item.conditionCount && i < kConditionsPerItem; ++i) {
        const Condition& c = item.conditions[i];
        if (c.kind() == CondNoItemDelay && c[cond::NoItemDelay::on] == 1) {
            return true;
        }
    }
    return false;
}

} // namespace

Status addCondition(Item& item, const Condition& condition) {
    return insertCondition(item, item.conditionCount, condition);
}
Status insertCondition(Item& item, int position, const Condition& condition) {
    return insertSlot(item.conditions, item.conditionCount, kConditionsPerItem, position, condition,
                      message::kTooManyConditions);
}
bool deleteCondition(Item& item, int position) { return deleteSlot(item.conditions, item.conditionCount, position); }

Status addCommand(Item& item, const Command& command) { return insertCommand(item, item.commandCount, command); }
Status insertCommand(Item& item, int position, const Command& command) {
    return insertSlot(item.commands, item.commandCount, kCommandsPerItem, position, command, message::kTooManyCommands);
}
bool deleteCommand(Item& item, int position) { return deleteSlot(item.commands, item.commandCount, position); }

Status addNextLink(Item& item, const NextLink& link) { return insertNextLink(item, item.nextLinkCount, link); }
Status insertNextLink(Item& item, int position, const NextLink& link) {
    return insertSlot(item.nextLinks, item.nextLinkCount, kNextLinksPerItem, position, link,
                      message::kTooManyNextLinks);
}
bool deleteNextLink(Item& item, int position) { return deleteSlot(item.nextLinks, item.nextLinkCount, position); }

bool AnalyzerModel::insertItems(int position, std::span<Item> items) {
    AnalyzerImage& a = *image_;
    int count = a.itemCount;
    int n = static_cast<int>(items.size());
    if (position < 0 || position > count || n > kItemCapacity - count) {
        return false;
    }
    std::memmove(&a.items[position + n], &a.items[position], sizeof(Item) * static_cast<size_t>(count - position));
    for (int i = 0; i < n; ++i) {
        items[i].id = a.nextItemId++;
        a.items[position + i] = items[i];
    }
    a.itemCount = count + n;
    refreshUsageFlags();
    return true;
}

bool AnalyzerModel::deleteItem(int position) {
    AnalyzerImage& a = *image_;
    if (position < 0 || position >= a.itemCount) {
        return false;
    }
    std::memmove(&a.items[position], &a.items[position + 1],
                 sizeof(Item) * static_cast<size_t>(a.itemCount - position - 1));
    std::memset(&a.items[a.itemCount - 1], 0, sizeof(Item));
    --a.itemCount;
    if (a.currentItem >= a.itemCount) {
        a.currentItem = a.itemCount > 0 ? a.itemCount - 1 : 0;
    }
    refreshUsageFlags();
    return true;
}

bool AnalyzerModel::storeItem(int position, const Item& edited) {
    AnalyzerImage& a = *image_;
    if (position < 0 || position >= a.itemCount) {
        return false;
    }
    a.items[position] = edited;
    a.items[position].noItemDelay = hasNoItemDelay(edited) ? 1 : 0;
    refreshUsageFlags();
    return true;
}

int AnalyzerModel::findItemById(int32_t id) const {
    for (int i = 0; i < image_->itemCount; ++i) {
        if (image_->items[i].id == id) {
            return i;
        }
    }
    return -1;
}

std::string itemListLine(const Item& item, int position) {
    // Head items are stars, the others diamonds; filled when always scanned.
    const char* mark = item.head ? (item.alwaysScan ? "★" : "☆") : (item.alwaysScan ? "◈" : "◇");
    char number[16];
    std::snprintf(number, sizeof number, "%.4d ", position);
    return std::string(mark) + number + text::cp949ToUtf8(fixedText(item.name));
}

Status checkRepeatCount(int count) {
    return count >= 1 && count <= message::kMaxRepeatCount ? Status::success()
                                                           : Status::failure(message::kBadRepeatCount);
}

Status checkSimilarity(int percent, bool sameness) {
    if (percent >= message::kMinSimilarity && percent <= message::kMaxSimilarity) {
        return Status::success();
    }
    return Status::failure(sameness ? message::kBadSameness : message::kBadSimilarity);
}

Status checkMatchIndex(int index) {
    return index >= 1 && index <= message::kMaxMatchIndex ? Status::success()
                                                          : Status::failure(message::kBadMatchIndex);
}

Status checkRemoteNumber(int number) {
    return number >= 0 && number <= message::kMaxRemoteNumber ? Status::success()
                                                              : Status::failure(message::kBadRemoteNumber);
}

} // namespace quillon::analyzer

// What a record read from a file must satisfy before anything trusts it.
#include <bitset>

#include "analyzer/analyzer_file.h"
#include "analyzer/references.h"

namespace quillon::analyzer {
namespace {

// Order entries 0 .. count - 1 name distinct slots below the capacity.
template <size_t Capacity>
bool checkOrder(const int32_t* order, int32_t count) {
    if (count < 0 || count > static_cast<int32_t>(Capacity)) {
        return false;
    }
    std::bitset<Capacity> seen;
    for (int32_t i = 0; i < count; ++i) {
        int32_t slot = order[i];
        if (slot < 0 || slot >= static_cast<int32_t>(Capacity) || seen[slot]) {
            return false;
        }
        seen[slot] = true;
    }
    return true;
}

template <size_t Capacity, class Slot>
bool orderNamesUsedSlots(const int32_t* order, int32_t count, const Slot* slots) {
    if (!checkOrder<Capacity>(order, count)) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (slots[order[i]].used != 1) {
            return false;
        }
    }
    return true;
}

bool checkItem(const Item& item) {
    if (item.conditionCount < 0 || item.conditionCount > kConditionsPerItem || item.commandCount < 0 ||
        item.commandCount > kCommandsPerItem || item.nextLinkCount < 0 || item.nextLinkCount > kNextLinksPerItem) {
        return false;
    }
    bool ok = true;
    forEachReference(item, [&](const ObjectReference& ref) {
        if (ref.slot < 0 || ref.slot >= capacityOf(ref.kind)) {
            ok = false;
        }
    });
    return ok;
}

} // namespace

bool checkRecord(const AnalyzerImage& a) {
    if (!orderNamesUsedSlots<kScreenshotCapacity>(a.screenshotOrder, a.screenshotCount, a.screenshots) ||
        !checkOrder<kRecognitionImageCapacity>(a.recognitionImageOrder, a.recognitionImageCount) ||
        !checkOrder<kNumberPackCapacity>(a.numberPackOrder, a.numberPackCount) ||
        !orderNamesUsedSlots<kAreaCapacity>(a.areaOrder, a.areaCount, a.areas) ||
        !orderNamesUsedSlots<kCursorCapacity>(a.cursorOrder, a.cursorCount, a.cursors)) {
        return false;
    }
    for (const ScreenshotEntry& s : a.screenshots) {
        if (s.used && s.fileSize < 0) {
            return false;
        }
    }
    if (a.itemCount < 0 || a.itemCount > kItemCapacity) {
        return false;
    }
    for (int i = 0; i < a.itemCount; ++i) {
        if (!checkItem(a.items[i])) {
            return false;
        }
    }
    if (a.activeVariableCount < 0 || a.activeVariableCount > kVariableCapacity) {
        return false;
    }
    if (a.soundCount < 0 || a.soundCount > kSoundCapacity) {
        return false;
    }
    for (int i = 0; i < a.soundCount; ++i) {
        if (a.sounds[i].fileSize < 0) {
            return false;
        }
    }
    // Only eight combination memories exist.
    return (a.combinationMacroMask >> kCombinationMacroCount) == 0;
}

bool checkRecognitionImage(const RecognitionImage& r) {
    return r.width >= 1 && r.width <= kRecognitionImageMaxSide && r.height >= 1 &&
           r.height <= kRecognitionImageMaxSide && r.screenshotSlot >= 0 && r.screenshotSlot < kScreenshotCapacity;
}

bool checkSentenceTable(const SentenceTable& table) {
    for (const TypingSentence& s : table.sentences) {
        if (s.keyCount < 0 || s.keyCount > kSentenceMaxKeyCodes) {
            return false;
        }
    }
    return true;
}

} // namespace quillon::analyzer

// Reference checks before a deletion. Each refusal is one message: a header
// naming the object, one line per use (items in list order; within an item,
// conditions before commands) and a closing text. The two blanks before
// "삭제할" in the closing texts belong to the texts.
#include "editor/reference_checks.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "base/text.h"
#include "base/format_text.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

constexpr const char* kClosingAll =
    "사용하고 있기 때문에  삭제할 수 없습니다.\n사용중인 항목들을 모두 수정한 후에 다시 시도해주세요.";
constexpr const char* kClosingCursor =
    "사용하고 있기 때문에  삭제할 수 없습니다.\n사용중인 항목들을 수정한 후에 다시 시도해주세요.";
constexpr const char* kClosingPack =
    "[%s]에서 사용하고 있기 때문에  삭제할 수 없습니다.\n사용중인 항목들을 모두 수정한 후에 다시 시도해주세요.";
constexpr const char* kClosingWaiting =
    "설정 대기중이기 때문에  삭제할 수 없습니다.\n설정 대기상태를 해제한 후에 다시 시도해주세요.";
constexpr const char* kItemLinked = "[%s] 항목이 삭제하려는 [%s] 항목과 연결되어 있습니다.\n연결을 변경한 후 삭제해주세요.";

std::string itemName(const Item& item) { return text::cp949ToUtf8(fixedText(item.name)); }

int usedCount(int32_t count, int capacity) { return std::clamp(count, 0, capacity); }

// The use lines of one item: `conditionUse` and `commandUse` return the line
// patterns (with one %s for the item name) that a condition or a command
// contributes.
using ConditionUses = std::function<std::vector<const char*>(const Condition&)>;
using CommandUses = std::function<std::vector<const char*>(const Command&)>;

void collectUses(const Item& item, const ConditionUses& conditionUses, const CommandUses& commandUses,
                 const std::function<void(const char*)>& use) {
    for (int i = 0; i < usedCount(item.conditionCount, kConditionsPerItem); ++i) {
        for (const char* line : conditionUses(item.conditions[i])) {
            use(line);
        }
    }
    for (int i = 0; i < usedCount(item.commandCount, kCommandsPerItem); ++i) {
        for (const char* line : commandUses(item.commands[i])) {
            use(line);
        }
    }
}

DeletionCheck refuseWithUses(const AnalyzerModel& model, const std::string& header, const char* closing,
                             const ConditionUses& conditionUses, const CommandUses& commandUses) {
    std::string lines;
    for (int p = 0; p < model.itemCount(); ++p) {
        const Item& item = model.item(p);
        std::string name = itemName(item);
        collectUses(item, conditionUses, commandUses, [&](const char* line) { appendFormat(lines, line, name.c_str()); });
    }
    if (lines.empty()) {
        return {};
    }
    return {false, header + lines + closing};
}

// True when the working copy uses the object in one of the counted ways.
bool workingCopyUses(const Item* workingCopy, const ConditionUses& conditionUses, const CommandUses& commandUses) {
    if (!workingCopy) {
        return false;
    }
    bool used = false;
    collectUses(*workingCopy, conditionUses, commandUses, [&](const char*) { used = true; });
    return used;
}

// ---- the uses of each kind of object ----------------------------------------

ConditionUses areaConditionUses(int slot) {
    return [slot](const Condition& c) -> std::vector<const char*> {
        if (c.kind() == CondRangeSearch && c[cond::RangeSearch::area] == slot) {
            return {"[%s]의 범위 조건으로\n"};
        }
        return {};
    };
}

CommandUses areaCommandUses(int slot) {
    return [slot](const Command& c) -> std::vector<const char*> {
        if (c.kind() == CmdMouse && c[cmd::Mouse::action] == cmd::Mouse::MoveToRangeMatch &&
            c[cmd::Mouse::area] == slot) {
            return {"[%s]의 마우스명령 이동 위치로\n"};
        }
        // Number reading and the range-match source of a variable read the
        // area at run time too; deleting it under them would leave them
        // reading a cleared slot.
        if (c.kind() == CmdReadNumber && c[cmd::ReadNumber::area] == slot) {
            return {"[%s]의 숫자인식 명령 범위로\n"};
        }
        if (c.kind() == CmdVariable && c[cmd::Variable::source] == cmd::Variable::RangeMatch &&
            c[cmd::Variable::object] == slot) {
            return {"[%s]의 변수명령 범위검색 위치로\n"};
        }
        return {};
    };
}

ConditionUses imageConditionUses(int slot) {
    return [slot](const Condition& c) -> std::vector<const char*> {
        std::vector<const char*> lines;
        if (c.kind() == CondImage) {
            if (c[cond::Image::compareWith] == CompareWithImage && c[cond::Image::reference] == slot) {
                lines.push_back("[%s]의 이미지조건 이미지로\n");
            }
            if (c[cond::Image::where] == cond::Image::AtImage && c[cond::Image::positionSource] == slot) {
                lines.push_back("[%s]의 이미지조건 위치로\n");
            }
        } else if (c.kind() == CondRangeSearch && c[cond::RangeSearch::what] == CompareWithImage &&
                   c[cond::RangeSearch::image] == slot) {
            lines.push_back("[%s]의 범위조건 이미지로\n");
        }
        return lines;
    };
}

CommandUses imageCommandUses(int slot) {
    return [slot](const Command& c) -> std::vector<const char*> {
        if (c.kind() == CmdMouse && c[cmd::Mouse::action] == cmd::Mouse::MoveToImage &&
            c[cmd::Mouse::image] == slot) {
            return {"[%s]의 마우스명령 이동 위치로\n"};
        }
        // A saved replace-image command, and a variable taking the image's
        // recognition point, use the image as much as an unsaved one does.
        if (c.kind() == CmdReplaceImage && c[cmd::ReplaceImage::image] == slot) {
            return {"[%s]의 이미지교체 명령으로\n"};
        }
        if (c.kind() == CmdVariable && c[cmd::Variable::source] == cmd::Variable::ImagePoint &&
            c[cmd::Variable::object] == slot) {
            return {"[%s]의 변수명령 인식점으로\n"};
        }
        return {};
    };
}

ConditionUses cursorConditionUses(int slot) {
    return [slot](const Condition& c) -> std::vector<const char*> {
        if (c.kind() == CondCursor && c[cond::Cursor::cursor] == slot) {
            return {"[%s]의 조건으로\n"};
        }
        return {};
    };
}

ConditionUses noConditionUses() {
    return [](const Condition&) { return std::vector<const char*>{}; };
}
CommandUses noCommandUses() {
    return [](const Command&) { return std::vector<const char*>{}; };
}

CommandUses packCommandUses(int slot) {
    return [slot](const Command& c) -> std::vector<const char*> {
        if (c.kind() == CmdReadNumber && c[cmd::ReadNumber::pack] == slot) {
            return {"%s"};
        }
        return {};
    };
}

std::string areaName(const AnalyzerModel& model, int slot) {
    if (slot < 0 || slot >= kAreaCapacity) {
        return {};
    }
    return text::cp949ToUtf8(fixedText(model.image().areas[slot].name));
}

std::string cursorName(const AnalyzerModel& model, int slot) {
    if (slot < 0 || slot >= kCursorCapacity) {
        return {};
    }
    return text::cp949ToUtf8(fixedText(model.image().cursors[slot].name));
}

std::string imageHeader(const AnalyzerModel& model, int slot) {
    const RecognitionImage* r = model.recognitionImage(slot);
    std::string name = r ? text::cp949ToUtf8(fixedText(r->name)) : std::string();
    if (r && r->pattern == 1) {
        return formatText("삭제하려는 패턴인식 이미지 [%s]는,\n", name.c_str());
    }
    return formatText("삭제하려는 이미지 [%s]는,\n", name.c_str());
}

std::string packHeader(const AnalyzerModel& model, int slot) {
    const NumberPack* p = model.numberPack(slot);
    std::string name = p ? text::cp949ToUtf8(fixedText(p->name)) : std::string();
    return formatText("삭제하려는 [%s]는,\n", name.c_str());
}

int slotAt(const int32_t* order, int32_t count, int capacity, int position) {
    if (position < 0 || position >= std::clamp(count, 0, capacity)) {
        return -1;
    }
    return order[position];
}

bool refuseOrDelete(const DeletionCheck& check, UserDialogs& dialogs, const std::function<bool()>& remove) {
    if (!check.allowed) {
        dialogs.warn(check.message);
        return false;
    }
    return remove();
}

} // namespace

DeletionCheck checkAreaDeletion(const AnalyzerModel& model, int areaSlot) {
    std::string header = formatText("삭제하려는 범위 [%s]는,\n", areaName(model, areaSlot).c_str());
    return refuseWithUses(model, header, kClosingAll, areaConditionUses(areaSlot), areaCommandUses(areaSlot));
}

DeletionCheck checkCursorDeletion(const AnalyzerModel& model, int cursorSlot) {
    std::string header = formatText("삭제하려는 커서 [%s]는,\n", cursorName(model, cursorSlot).c_str());
    return refuseWithUses(model, header, kClosingCursor, cursorConditionUses(cursorSlot), noCommandUses());
}

DeletionCheck checkRecognitionImageDeletion(const AnalyzerModel& model, int imageSlot, const Item* workingCopy) {
    std::string header = imageHeader(model, imageSlot);
    if (workingCopyUses(workingCopy, imageConditionUses(imageSlot), imageCommandUses(imageSlot))) {
        return {false, header + kClosingWaiting};
    }
    return refuseWithUses(model, header, kClosingAll, imageConditionUses(imageSlot), imageCommandUses(imageSlot));
}

DeletionCheck checkNumberPackDeletion(const AnalyzerModel& model, int packSlot, const Item* workingCopy) {
    std::string header = packHeader(model, packSlot);
    if (workingCopyUses(workingCopy, noConditionUses(), packCommandUses(packSlot))) {
        return {false, header + kClosingWaiting};
    }
    // The first item found ends the search; the closing text names it.
    for (int p = 0; p < model.itemCount(); ++p) {
        const Item& item = model.item(p);
        bool used = false;
        collectUses(item, noConditionUses(), packCommandUses(packSlot), [&](const char*) { used = true; });
        if (used) {
            return {false, header + formatText(kClosingPack, itemName(item).c_str())};
        }
    }
    return {};
}

DeletionCheck checkItemDeletion(const AnalyzerModel& model, int itemPosition) {
    if (itemPosition < 0 || itemPosition >= model.itemCount()) {
        return {};
    }
    const Item& deleted = model.item(itemPosition);
    const int32_t id = deleted.id;
    for (int p = 0; p < model.itemCount(); ++p) {
        const Item& item = model.item(p);
        bool linked = (item.falseBranch == 1 && item.falseBranchTarget == id) ||
                      (item.otherwiseBranch == 1 && item.otherwiseBranchTarget == id);
        for (int i = 0; !linked && i < usedCount(item.nextLinkCount, kNextLinksPerItem); ++i) {
            linked = item.nextLinks[i].targetId == id;
        }
        if (linked) {
            return {false, formatText(kItemLinked, itemName(item).c_str(), itemName(deleted).c_str())};
        }
    }
    return {};
}

bool deleteAreaAt(AnalyzerModel& model, int position, UserDialogs& dialogs) {
    const AnalyzerImage& a = model.image();
    int slot = slotAt(a.areaOrder, a.areaCount, kAreaCapacity, position);
    if (slot < 0) {
        return false;
    }
    return refuseOrDelete(checkAreaDeletion(model, slot), dialogs, [&] { return model.deleteArea(position); });
}

bool deleteCursorAt(AnalyzerModel& model, int position, UserDialogs& dialogs) {
    const AnalyzerImage& a = model.image();
    int slot = slotAt(a.cursorOrder, a.cursorCount, kCursorCapacity, position);
    if (slot < 0) {
        return false;
    }
    return refuseOrDelete(checkCursorDeletion(model, slot), dialogs, [&] { return model.deleteCursor(position); });
}

bool deleteRecognitionImageAt(AnalyzerModel& model, int position, const Item* workingCopy, UserDialogs& dialogs) {
    const AnalyzerImage& a = model.image();
    int slot = slotAt(a.recognitionImageOrder, a.recognitionImageCount, kRecognitionImageCapacity, position);
    if (slot < 0) {
        return false;
    }
    return refuseOrDelete(checkRecognitionImageDeletion(model, slot, workingCopy), dialogs,
                          [&] { return model.deleteRecognitionImage(position); });
}

bool deleteNumberPackAt(AnalyzerModel& model, int position, const Item* workingCopy, UserDialogs& dialogs) {
    const AnalyzerImage& a = model.image();
    int slot = slotAt(a.numberPackOrder, a.numberPackCount, kNumberPackCapacity, position);
    if (slot < 0) {
        return false;
    }
    return refuseOrDelete(checkNumberPackDeletion(model, slot, workingCopy), dialogs,
                          [&] { return model.deleteNumberPack(position); });
}

bool deleteItemAt(AnalyzerModel& model, int position, UserDialogs& dialogs) {
    if (position < 0 || position >= model.itemCount()) {
        return false;
    }
    return refuseOrDelete(checkItemDeletion(model, position), dialogs, [&] { return model.deleteItem(position); });
}

} // namespace quillon::editor

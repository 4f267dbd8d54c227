#include "control/macro_line_editor.h"

#include <cstring>

#include "base/format_text.h"
#include "control/key_stream.h"
#include "control/line_kinds.h"

namespace quillon::control {

const LineEditorLocations kEditPageLocations = {"MakLine", 34001, 34002, 34003};
const LineEditorLocations kCombinationPageLocations = {"ComLine", 44001, 44002, 44003};

namespace {
constexpr const char* kTrouble = "작동 중 문제가 발생했습니다";
}

int automaticIndent(const MacroDocument& document, int position, int kind) {
    if (position <= 0) return 0;
    const EditLine& previous = document.lines[position - 1];
    const Block closes = blockClosedBy(kind);
    if (closes == Block::None) {
        return previous.indent + (blockOpenedBy(previous.kind) != Block::None ? 1 : 0);
    }
    for (int i = position - 1; i >= 0; --i) {
        const EditLine& above = document.lines[i];
        if (blockOpenedBy(above.kind) == closes) return above.indent;
        if (blockClosedBy(above.kind) == closes) return previous.indent > 0 ? previous.indent - 1 : 0;
    }
    return previous.indent;
}

MacroLineEditor::MacroLineEditor(MacroDocument& document, TextStore& store, const LineEditorLocations& where)
    : document_(document), store_(store), where_(where), selected_(kMaxLines, false) {}

void MacroLineEditor::insertAt(int position, const EditLine* lines, int count) {
    int total = document_.head.lineCount;
    std::memmove(&document_.lines[position + count], &document_.lines[position],
                 sizeof(EditLine) * static_cast<size_t>(total - position));
    std::memcpy(&document_.lines[position], lines, sizeof(EditLine) * static_cast<size_t>(count));
    document_.head.lineCount = total + count;
}

EditOutcome MacroLineEditor::addLine(const EditLine& line, AddMode mode) {
    int count = document_.head.lineCount;
    int current = document_.head.currentLine;
    if (count >= kMaxLines) {
        return {false, formatText("%s(최대%d줄까지 가능--%s=%d)", kTrouble, kMaxLines, where_.page, where_.addFull)};
    }
    if (count == 0 && mode != AddMode::Append) mode = AddMode::Append;
    int position = 0;
    switch (mode) {
    case AddMode::Append:
        position = count;
        insertAt(position, &line, 1);
        current = position;
        break;
    case AddMode::InsertBefore:
        position = current;
        insertAt(position, &line, 1);
        current = position + 1;
        break;
    case AddMode::InsertAfter:
        position = current + 1;
        insertAt(position, &line, 1);
        break;
    case AddMode::Replace:
        position = current;
        document_.lines[position] = line;
        break;
    }
    document_.lines[position].indent = automaticIndent(document_, position, line.kind);
    document_.head.currentLine = current;
    clearSelection();
    select(current, true);
    return {};
}

bool MacroLineEditor::moveUp() {
    int current = document_.head.currentLine;
    if (current <= 0 || current >= document_.head.lineCount) return false;
    std::swap(document_.lines[current], document_.lines[current - 1]);
    bool a = selected_[current], b = selected_[current - 1];
    selected_[current] = b;
    selected_[current - 1] = a;
    document_.head.currentLine = current - 1;
    return true;
}

bool MacroLineEditor::moveDown() {
    int current = document_.head.currentLine;
    if (current < 0 || current + 1 >= document_.head.lineCount) return false;
    std::swap(document_.lines[current], document_.lines[current + 1]);
    bool a = selected_[current], b = selected_[current + 1];
    selected_[current] = b;
    selected_[current + 1] = a;
    document_.head.currentLine = current + 1;
    return true;
}

EditOutcome MacroLineEditor::copySelection() {
    std::vector<int> lines = selectedLines();
    if (lines.size() > static_cast<size_t>(kMaxCopiedLines)) {
        return {false, formatText("%s(최대%d줄까지만 복사가능--%s=%d", kTrouble, kMaxCopiedLines, where_.page,
                                  where_.copyTooMany)};
    }
    if (lines.empty()) return {};
    std::memset(document_.copied, 0, sizeof(document_.copied));
    for (size_t i = 0; i < lines.size(); ++i) document_.copied[i] = document_.lines[lines[i]];
    document_.head.copiedLineCount = static_cast<int32_t>(lines.size());
    return {};
}

EditOutcome MacroLineEditor::paste(bool below) {
    int copied = document_.head.copiedLineCount;
    int count = document_.head.lineCount;
    if (copied <= 0) return {};
    if (count + copied > kMaxLines) {
        return {false, formatText("%s(최대 줄수(%d)초과--%s=%d)", kTrouble, kMaxLines, where_.page, where_.pasteFull)};
    }
    int position = count == 0 ? 0 : document_.head.currentLine + (below ? 1 : 0);
    insertAt(position, document_.copied, copied);
    clearSelection();
    for (int i = position; i < position + copied; ++i) selected_[i] = true;
    document_.head.currentLine = position;
    return {};
}

void MacroLineEditor::freeSlotIfUnused(int slot) {
    if (slot < 0 || slot >= kTextSlotCount) return;
    if (linesUsingSlot(document_, slot, -1) > 0) return;
    if (other_ && linesUsingSlot(*other_, slot, -1) > 0) return;
    // Copied lines may still be pasted: their texts stay.
    int copied = document_.head.copiedLineCount;
    for (int i = 0; i < copied && i < kMaxCopiedLines; ++i) {
        if (document_.copied[i].kind == kind::kTypeText && P(document_.copied[i], 8) == slot) return;
    }
    store_.slots[slot].inUse = 0;
}

void MacroLineEditor::deleteSelection() {
    int count = document_.head.lineCount;
    std::vector<int> freedSlots;
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        if (selected_[i]) {
            if (document_.lines[i].kind == kind::kTypeText) freedSlots.push_back(P(document_.lines[i], 8));
            continue;
        }
        if (kept != i) document_.lines[kept] = document_.lines[i];
        ++kept;
    }
    if (kept >= count) return;
    for (int i = kept; i < count; ++i) document_.lines[i] = EditLine{};
    document_.head.lineCount = kept;
    for (int slot : freedSlots) freeSlotIfUnused(slot);
    if (document_.head.currentLine >= kept) document_.head.currentLine = kept > 0 ? kept - 1 : 0;
    documentReplaced();
}

void MacroLineEditor::deleteAll() {
    int count = document_.head.lineCount;
    std::vector<int> slots;
    for (int i = 0; i < count; ++i) {
        if (document_.lines[i].kind == kind::kTypeText) slots.push_back(P(document_.lines[i], 8));
    }
    std::memset(document_.lines, 0, sizeof(EditLine) * static_cast<size_t>(count));
    document_.head.lineCount = 0;
    document_.head.currentLine = 0;
    for (int slot : slots) freeSlotIfUnused(slot);
    clearSelection();
}

void MacroLineEditor::indentSelection() {
    for (int i : selectedLines()) ++document_.lines[i].indent;
}

void MacroLineEditor::outdentSelection() {
    for (int i : selectedLines()) {
        if (document_.lines[i].indent > 0) --document_.lines[i].indent;
    }
}

void MacroLineEditor::setCurrentLine(int line) {
    if (line >= 0 && line < document_.head.lineCount) document_.head.currentLine = line;
}

void MacroLineEditor::select(int line, bool on) {
    if (line >= 0 && line < kMaxLines) selected_[line] = on;
}

bool MacroLineEditor::isSelected(int line) const { return line >= 0 && line < kMaxLines && selected_[line]; }

void MacroLineEditor::clearSelection() { std::fill(selected_.begin(), selected_.end(), false); }

std::vector<int> MacroLineEditor::selectedLines() const {
    std::vector<int> lines;
    for (int i = 0; i < document_.head.lineCount; ++i) {
        if (selected_[i]) lines.push_back(i);
    }
    return lines;
}

std::string MacroLineEditor::counterText() const {
    int count = document_.head.lineCount;
    return formatText("%d/%d", count == 0 ? 0 : document_.head.currentLine + 1, count);
}

void MacroLineEditor::documentReplaced() {
    int count = document_.head.lineCount;
    if (document_.head.currentLine < 0 || document_.head.currentLine >= count) {
        document_.head.currentLine = 0;
    }
    clearSelection();
    if (count > 0) select(document_.head.currentLine, true);
}

} // namespace quillon::control

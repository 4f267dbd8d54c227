#include "editor/forms/form_rows.h"

#include "analyzer/limits.h"
#include "editor/forms/command_forms.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

template <class Row, size_t N>
Status place(Row (&rows)[N], int32_t& count, int32_t& chosen, RowButton button, bool changing, const Row& row,
             const char* limitMessage) {
    const bool haveChosen = chosen >= 0 && chosen < count;
    if (changing) {
        if (button != RowButton::AddAfter || !haveChosen) return Status::failure("");
        rows[chosen] = row;
        return Status::success();
    }
    if (count < 0 || count >= static_cast<int32_t>(N)) return Status::failure(limitMessage);
    int32_t at = count;
    if (button == RowButton::AddBefore) at = haveChosen ? chosen : 0;
    if (button == RowButton::AddAfter && haveChosen) at = chosen + 1;
    for (int32_t i = count; i > at; --i) rows[i] = rows[i - 1];
    rows[at] = row;
    ++count;
    chosen = at;
    return Status::success();
}

} // namespace

RowButtonsShown rowButtons(bool changing) {
    if (changing) return {false, false, "수정 저장"};
    return {true, true, "뒤에 추가"};
}

Status placeCondition(Item& item, RowButton button, bool changing, const Condition& condition) {
    return place(item.conditions, item.conditionCount, item.currentCondition, button, changing, condition,
                 message::kTooManyConditions);
}

Status placeCommand(Item& item, RowButton button, bool changing, const Command& command) {
    return place(item.commands, item.commandCount, item.currentCommand, button, changing, command,
                 commandLimitMessage(command.kind()));
}

} // namespace quillon::editor

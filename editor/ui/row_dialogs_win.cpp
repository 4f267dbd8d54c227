#include "editor/ui/row_dialogs.h"

#include <algorithm>
#include <memory>

#include "editor/ui/editor_session.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/message_boxes.h"

namespace quillon::editor_ui {

namespace {

using analyzer::CommandKind;
using analyzer::ConditionKind;

constexpr int kButtonAtEnd = 6;
constexpr int kButtonBefore = 7;
constexpr int kButtonAfter = 8;

constexpr KindButton kButtons[] = {
    {1207, {false, analyzer::CondImage}},     {1210, {false, analyzer::CondRangeSearch}},
    {1212, {false, analyzer::CondCursor}},    {1214, {false, analyzer::CondKey}},
    {1208, {false, analyzer::CondVariable}},  {1204, {false, analyzer::CondTimer}},
    {1206, {false, analyzer::CondDateTime}},  {1205, {false, analyzer::CondState}},
    {1072, {false, analyzer::CondRemote}},    {1006, {true, analyzer::CmdKey}},
    {1057, {true, analyzer::CmdMouse}},       {1058, {true, analyzer::CmdMacro}},
    {1062, {true, analyzer::CmdReplaceImage}}, {1213, {true, analyzer::CmdReadNumber}},
    {1060, {true, analyzer::CmdVariable}},    {1061, {true, analyzer::CmdTimer}},
    {1059, {true, analyzer::CmdDelay}},       {1074, {true, analyzer::CmdDevice}},
};

editor::RowPlacement placementOf(const RowDialogContext& context, int buttonId) {
    if (context.editRow >= 0) return editor::RowPlacement::Replace;
    if (buttonId == kButtonBefore) return editor::RowPlacement::Before;
    if (buttonId == kButtonAfter) return editor::RowPlacement::After;
    return editor::RowPlacement::AtEnd;
}

template <class Row, class Place>
bool finish(HWND dialog, int buttonId, const Row& row, Place place) {
    auto* context = winui::dialogData<RowDialogContext>(dialog);
    if (!context || !context->session) {
        return false;
    }
    EditorSession& session = *context->session;
    const int chosen = context->editRow >= 0 ? context->editRow
                                             : chosenRowOf(session, context->what.command);
    Built<int> placed = place(*session.working, placementOf(*context, buttonId), chosen, row);
    if (!placed.ok()) {
        if (!placed.message.empty()) {
            winui::showWarning(dialog, placed.message);
        }
        return false;
    }
    // Closing frees the context: keep what is needed after it.
    const bool commands = context->what.command;
    closeRowDialog(dialog);
    showEditedItem(session, commands, *placed.value);
    return true;
}

} // namespace

std::span<const KindButton> kindButtons() { return kButtons; }

bool openRowDialog(EditorSession& session, RowKind what, int editRow) {
    // One dialog at a time: a second one would take the first one's data.
    if (session.rowDialog) {
        SetForegroundWindow(session.rowDialog);
        return false;
    }
    const std::span<const RowDialogEntry> table = what.command ? commandDialogs() : conditionDialogs();
    for (const RowDialogEntry& entry : table) {
        if (entry.procedure == nullptr || entry.what.command != what.command || entry.what.kind != what.kind) {
            continue;
        }
        auto context = std::make_unique<RowDialogContext>();
        context->session = &session;
        context->what = what;
        context->editRow = editRow;
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.resource),
                                         session.mainWindow, entry.procedure,
                                         reinterpret_cast<LPARAM>(context.get()));
        if (!dialog) {
            return false;
        }
        session.rowDialogContext = std::move(context);
        session.rowDialog = dialog;
        if (editRow >= 0) {
            ShowWindow(GetDlgItem(dialog, kButtonAtEnd), SW_HIDE);
            ShowWindow(GetDlgItem(dialog, kButtonBefore), SW_HIDE);
            winui::setControlText(dialog, kButtonAfter, "수정 저장");
        }
        EnableWindow(session.mainPanel, FALSE);
        ShowWindow(dialog, SW_SHOW);
        return true;
    }
    return false;
}

bool finishRowDialog(HWND dialog, int buttonId, const analyzer::Condition& condition) {
    return finish(dialog, buttonId, condition, editor::placeCondition);
}

bool finishRowDialog(HWND dialog, int buttonId, const analyzer::Command& command) {
    return finish(dialog, buttonId, command, editor::placeCommand);
}

const analyzer::Item* itemBeingEdited(EditorSession& session, analyzer::Item& scratch) {
    if (!session.working) return nullptr;
    if (!session.rowDialog || !session.rowDialogContext) return session.working.get();
    PendingRow pending;
    SendMessageW(session.rowDialog, kPendingRowMessage, 0, reinterpret_cast<LPARAM>(&pending));
    if (!pending.condition && !pending.command) return session.working.get();
    scratch = *session.working;
    // Changing a row: the dialog's row stands in its place; a new one goes
    // after the others (over the last one when the list is full: only the
    // checks see this copy).
    const int edited = session.rowDialogContext->editRow;
    if (pending.condition) {
        const int count = std::clamp(static_cast<int>(scratch.conditionCount), 0, analyzer::kConditionsPerItem);
        const int at = edited >= 0 && edited < count ? edited : std::min(count, analyzer::kConditionsPerItem - 1);
        scratch.conditions[at] = pending.conditionRow;
        scratch.conditionCount = std::max(count, at + 1);
    } else {
        const int count = std::clamp(static_cast<int>(scratch.commandCount), 0, analyzer::kCommandsPerItem);
        const int at = edited >= 0 && edited < count ? edited : std::min(count, analyzer::kCommandsPerItem - 1);
        scratch.commands[at] = pending.commandRow;
        scratch.commandCount = std::max(count, at + 1);
    }
    return &scratch;
}

void closeRowDialog(HWND dialog) {
    auto* context = winui::dialogData<RowDialogContext>(dialog);
    EditorSession* session = context ? context->session : nullptr;
    DestroyWindow(dialog);
    if (session && session->rowDialog == dialog) {
        session->rowDialog = nullptr;
        settlePanels(*session);
        SetActiveWindow(session->mainPanel);
        session->rowDialogContext.reset();
    }
}

} // namespace quillon::editor_ui

#include "editor/ui/row_dialogs.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "editor/forms/command_forms.h"
#include "editor/forms/condition_forms.h"
#include "editor/ui/editor_session.h"
#include "winui/dialog_colours.h"
#include "winui/dialog_data.h"
#include "winui/message_boxes.h"

namespace quillon::editor_ui {

namespace {

using analyzer::CommandKind;
using analyzer::ConditionKind;

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
    switch (kRowButtons.placementOf(buttonId, context.editRow >= 0)) {
    case winui::RowPlacement::Change: return editor::RowPlacement::Replace;
    case winui::RowPlacement::Before: return editor::RowPlacement::Before;
    case winui::RowPlacement::After: return editor::RowPlacement::After;
    default: return editor::RowPlacement::AtEnd;
    }
}

std::optional<std::string> openingRefusal(const RowDialogContext& context) {
    const editor::FormContext form = formContextOf(context);
    const auto refusal = context.what.command ? editor::commandOpeningRefusal : editor::conditionOpeningRefusal;
    return refusal(context.what.kind, *form.model, form.rows, form.changing);
}

const winui::DialogBrushes& brushes() {
    // Texts, check and radio buttons take the dialog's own colour.
    static const winui::DialogBrushes painted{
        winui::DialogColours{winui::kDefaultDialogColour, winui::kDefaultDialogColour}};
    return painted;
}

template <class Row, class Place>
bool finish(HWND dialog, int buttonId, const Row& row, Place place) {
    auto* context = rowContextOf(dialog);
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

RowDialogContext* rowContextOf(HWND dialog) { return winui::dialogData<RowDialogContext>(dialog); }

editor::FormContext formContextOf(const RowDialogContext& context) {
    EditorSession& session = *context.session;
    editor::FormContext form;
    form.model = &session.model;
    form.macros = &session.macroNames;
    if (session.working) {
        form.rows = context.what.command ? session.working->commandCount : session.working->conditionCount;
    }
    form.changing = context.editRow >= 0;
    return form;
}

bool startRowDialog(HWND dialog, LPARAM creation) {
    auto* context = winui::attachDialogData(dialog, reinterpret_cast<RowDialogContext*>(creation));
    winui::placeAt(dialog, context->session->mainPanel);
    if (!openingRefusal(*context)) return true;
    // Told once the dialog is registered as open, then closed again.
    PostMessageW(dialog, kRefuseOpeningMessage, 0, 0);
    return false;
}

bool onRowDialogMessage(HWND dialog, UINT message, WPARAM wParam, INT_PTR& result) {
    const RowDialogContext* context = rowContextOf(dialog);
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        result = brushes().paint(message, wParam);
        return true;
    case kRefuseOpeningMessage:
        if (context) {
            if (const std::optional<std::string> refusal = openingRefusal(*context)) {
                ShowWindow(dialog, SW_HIDE);
                winui::showWarning(context->session->mainWindow, *refusal);
            }
        }
        closeRowDialog(dialog);
        result = TRUE;
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return false;
        closeRowDialog(dialog);
        result = TRUE;
        return true;
    case WM_CLOSE:
        closeRowDialog(dialog);
        result = TRUE;
        return true;
    default: return false;
    }
}

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
        if (editRow >= 0) kRowButtons.showChanging(dialog);
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
    auto* context = rowContextOf(dialog);
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

// The condition and command dialogs, found by kind: the main panel's
// buttons name a kind, the table names the dialog resource and procedure
// that makes a row of that kind. A kind without a dialog in the table
// leaves its button without effect.
#pragma once

#include <windows.h>

#include <span>

#include "analyzer/records.h"
#include "editor/forms/form_context.h"
#include "editor/item_editing.h"
#include "winui/form_dialog.h"

namespace quillon::editor_ui {

struct EditorSession;

struct RowKind {
    bool command = false; // else a condition
    int kind = 0;         // ConditionKind or CommandKind
};

struct RowDialogEntry {
    RowKind what;
    int resource;
    DLGPROC procedure;
};

// The dialogs known to the program: the condition dialogs
// (condition_dialogs_win.cpp), then the command dialogs (command_dialogs_win.cpp).
std::span<const RowDialogEntry> conditionDialogs();
std::span<const RowDialogEntry> commandDialogs();

// The main panel's buttons and the kinds they make.
struct KindButton {
    int buttonId;
    RowKind what;
};
std::span<const KindButton> kindButtons();

// The creation parameter of every condition and command dialog.
struct RowDialogContext {
    EditorSession* session = nullptr;
    RowKind what;
    int editRow = -1; // the row being changed; -1 for a new row
};

// Opens the dialog of a kind, modeless, with the main panel disabled until
// it closes. To change a row, ids 6 and 7 are hidden and 8 reads "수정 저장".
bool openRowDialog(EditorSession& session, RowKind what, int editRow);
inline constexpr winui::AddButtons kRowButtons{6, 7, 8, 8, "수정 저장"};

// The start of every condition and command dialog (its WM_INITDIALOG): keeps
// the row context, places the dialog at the main panel and, when it may not
// open (a full list, nothing to choose from), has it tell so and close once
// it is up. False when it refuses: there is nothing to fill.
bool startRowDialog(HWND dialog, LPARAM creation);
RowDialogContext* rowContextOf(HWND dialog);
// The form context of the dialog's list (conditions or commands).
editor::FormContext formContextOf(const RowDialogContext& context);
// The messages every row dialog handles alike: the opening refusal, "취소",
// closing and the colours. True when `message` was handled.
bool onRowDialogMessage(HWND dialog, UINT message, WPARAM wParam, INT_PTR& result);

// Posted to the open condition or command dialog when the screenshot view is
// clicked: wParam the pixel's COLORREF (CLR_INVALID off the screenshot),
// lParam the point (x in the low word, y in the high word).
inline constexpr UINT kViewClickedMessage = WM_APP + 40;
// Posted by a dialog to itself while it opens, when it may not open: it tells
// the refusal and closes.
inline constexpr UINT kRefuseOpeningMessage = WM_APP + 41;
// Sent to the open condition or command dialog before a recognition image or
// a number pack is deleted: a dialog whose rows can name one (image and
// range conditions; mouse, image-replacing and number-reading commands)
// builds the row its controls show into the PendingRow at lParam, so the
// deletion sees what the dialog is about to add.
inline constexpr UINT kPendingRowMessage = WM_APP + 43;
struct PendingRow {
    bool condition = false;
    bool command = false;
    analyzer::Condition conditionRow{};
    analyzer::Command commandRow{};
};
// The item being edited as the deletion checks see it: the working copy,
// with the open dialog's row put in (into `scratch`) when it makes one.
const analyzer::Item* itemBeingEdited(EditorSession& session, analyzer::Item& scratch);

// The screenshot view's left click, handed to the open row dialog if any.
void handViewClickToRowDialog(EditorSession& session, int x, int y);

// Called by a dialog's buttons 6 ("끝에 추가"), 7 ("앞에 추가") and 8 ("뒤에
// 추가" or "수정 저장") with the row it built; refusals are told and leave
// the dialog open. True when the row was placed and the dialog closed.
bool finishRowDialog(HWND dialog, int buttonId, const analyzer::Condition& condition);
bool finishRowDialog(HWND dialog, int buttonId, const analyzer::Command& command);
// "취소" and the dialog's own close.
void closeRowDialog(HWND dialog);

} // namespace quillon::editor_ui

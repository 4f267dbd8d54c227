// The line dialogs of the edit and combination pages. Each is modal over
// its page; its procedure only moves control values into the dialog's form
// (control/forms/line_forms.h) and back, and refusals keep it open with the
// focus on the field the form names.
#pragma once

#include <windows.h>

#include <optional>

#include "control/forms/line_forms.h"
#include "control/macro_line_editor.h"

namespace quillon::control_ui {

struct ControlSession;

struct LineDialogRequest {
    control::LineDialog dialog = control::LineDialog::Keyboard;
    // The fields to start from: a line's form for "수정", else the dialog's defaults.
    std::optional<control::LineForm> form;
    bool change = false; // "수정": the line is replaced where it stands
    control::LineFormContext context;
    // Where the user placed the new line: the dialog's button "제일 끝줄에
    // 추가", "현재줄 앞에 추가" or "현재줄 뒤에 추가" (unchanged for "수정").
    control::AddMode* placement = nullptr;
};

// The line the dialog built, or nullopt when it was cancelled.
std::optional<control::EditLine> runLineDialog(ControlSession& s, HWND owner, const LineDialogRequest& request);

} // namespace quillon::control_ui

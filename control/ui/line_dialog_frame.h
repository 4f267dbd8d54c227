// What every line dialog does the same way: the memo box, the three add
// buttons (only "수정" when a line is changed), the colours, the radio
// buttons of the dialog's choices, and the round trip controls -> form ->
// build, where a refusal is told, focuses its field and keeps the dialog
// open. Each dialog only says how its own controls show and read its form.
#pragma once

#include <windows.h>

#include <optional>

#include "control/ui/line_dialogs.h"

namespace quillon::control_ui {

struct LineDialogState;

// The parts one dialog adds to the frame.
struct LineDialogParts {
    control::LineDialog dialog;
    void (*show)(HWND dialog, const control::LineForm& form);
    // `start` is the form the dialog opened with; fields without a control keep its values.
    control::LineForm (*read)(HWND dialog, const control::LineForm& start);
    // The control a refusal focuses; 0 for the frame's own choice.
    int (*fieldControl)(HWND dialog, control::LineField field) = nullptr;
    // Commands of the dialog's own controls (typing into a box that selects a choice).
    void (*command)(HWND dialog, LineDialogState& state, int id, int notification) = nullptr;
    void (*opened)(HWND dialog, LineDialogState& state) = nullptr;
    void (*closed)(HWND dialog, LineDialogState& state) = nullptr;
};

struct LineDialogState {
    ControlSession* session = nullptr;
    const LineDialogRequest* request = nullptr;
    control::LineFormContext context;
    control::LineForm start;
    std::optional<control::EditLine> result;
    bool filling = false; // controls are being filled, not typed into
    void* own = nullptr;  // the dialog's own extra state
};

// The whole message handling of a line dialog; each dialog's procedure is
// this call with its parts.
INT_PTR lineDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const LineDialogParts& parts);

// The radio buttons of the dialog's choices (control/forms choicesOf).
void checkChoice(HWND dialog, control::LineDialog which, int choice);
int checkedChoice(HWND dialog, control::LineDialog which);

// A number box: its value, or `empty` when it holds no number.
int numberOr(HWND dialog, int id, int empty);

} // namespace quillon::control_ui

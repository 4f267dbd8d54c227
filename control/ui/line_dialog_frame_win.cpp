#include "control/ui/line_dialog_frame.h"

#include <string>

#include "control/ui/control_session.h"
#include "resource.h"
#include "winui/control_text.h"
#include "winui/dialog_data.h"
#include "winui/form_dialog.h"

namespace quillon::control_ui {

using control::LineField;

namespace {

// The memo field holds 127 characters and its NUL.
constexpr int kMemoBytes = 127;

constexpr winui::AddButtons kAddButtons{IDC_LINE_ADD_END, IDC_LINE_ADD_BEFORE, IDC_LINE_ADD_AFTER, IDC_LINE_ADD_END,
                                        "수정"};

constexpr winui::FieldControl<LineField> kFieldControls[] = {
    {LineField::Key, IDC_LINE_KEY},
    {LineField::Button, IDC_LINE_BUTTON_FIRST},
    {LineField::ScrollCount, IDC_LINE_SCROLL_COUNT},
    {LineField::X, IDC_LINE_X},
    {LineField::Y, IDC_LINE_Y},
    {LineField::Slot, IDC_LINE_SLOT},
    {LineField::Horizontal, IDC_LINE_HORIZONTAL},
    {LineField::Vertical, IDC_LINE_VERTICAL},
    {LineField::Seconds, IDC_LINE_SECONDS},
    {LineField::LowerSeconds, IDC_LINE_LOWER},
    {LineField::UpperSeconds, IDC_LINE_UPPER},
    {LineField::RepeatName, IDC_LINE_REPEAT_NAME},
    {LineField::Count, IDC_LINE_COUNT},
    {LineField::LeftValue, IDC_LINE_LEFT_VALUE},
    {LineField::LeftOperator, IDC_LINE_LEFT_OPERATOR},
    {LineField::RightOperator, IDC_LINE_RIGHT_OPERATOR},
    {LineField::RightValue, IDC_LINE_RIGHT_VALUE},
    {LineField::Number, IDC_LINE_NUMBER},
    {LineField::Label, IDC_LINE_LABEL},
    {LineField::Text, IDC_LINE_TEXT},
    {LineField::Speed, IDC_LINE_SPEED},
    {LineField::MemoryIndex, IDC_LINE_MEMORY},
};

int controlOfField(HWND dialog, const LineDialogParts& parts, LineField field) {
    if (parts.fieldControl) {
        if (int id = parts.fieldControl(dialog, field)) return id;
    }
    if (field == LineField::Kind) {
        const int index = control::choiceIndexOf(parts.dialog, checkedChoice(dialog, parts.dialog));
        return IDC_LINE_CHOICE_FIRST + (index < 0 ? 0 : index);
    }
    return winui::controlOf<LineField>(kFieldControls, field);
}

std::string memoOf(const control::LineForm& form) {
    return std::visit([](const auto& f) { return f.memo; }, form);
}

void setMemo(control::LineForm& form, std::string memo) {
    std::visit([&](auto& f) { f.memo = std::move(memo); }, form);
}

// The button that places a new line; "수정" keeps the line where it stands.
void tellPlacement(const LineDialogState& state, int button) {
    if (state.request->change || state.request->placement == nullptr) return;
    const winui::RowPlacement placement = kAddButtons.placementOf(button, false);
    *state.request->placement = placement == winui::RowPlacement::Before  ? control::AddMode::InsertBefore
                                : placement == winui::RowPlacement::After ? control::AddMode::InsertAfter
                                                                          : control::AddMode::Append;
}

void open(HWND dialog, LineDialogState& state, const LineDialogParts& parts) {
    limitToCp949Bytes(GetDlgItem(dialog, IDC_LINE_MEMO), kMemoBytes);
    if (state.request->change) kAddButtons.showChanging(dialog);
    state.filling = true;
    parts.show(dialog, state.start);
    winui::setControlText(dialog, IDC_LINE_MEMO, memoOf(state.start));
    state.filling = false;
    if (parts.opened) parts.opened(dialog, state);
}

// The button's round trip: controls -> form -> line, or the refusal.
void place(HWND dialog, LineDialogState& state, const LineDialogParts& parts, int button) {
    control::LineForm form = parts.read(dialog, state.start);
    setMemo(form, winui::controlText(dialog, IDC_LINE_MEMO));
    const control::BuiltLine built = control::build(form, state.context);
    if (!built.ok()) {
        winui::tellRefusal(dialog, built, controlOfField(dialog, parts, built.field));
        return;
    }
    state.result = *built.value;
    tellPlacement(state, button);
    EndDialog(dialog, IDOK);
}

} // namespace

INT_PTR lineDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, const LineDialogParts& parts) {
    auto* state = winui::dialogData<LineDialogState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        open(dialog, *state, parts);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (kAddButtons.has(id)) {
            place(dialog, *state, parts, id);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        if (state && !state->filling && parts.command) {
            parts.command(dialog, *state, id, HIWORD(wParam));
        }
        return FALSE;
    }
    case WM_DESTROY:
        if (state && parts.closed) parts.closed(dialog, *state);
        return FALSE;
    default:
        return paintDialog(state ? state->session : nullptr, message, wParam);
    }
}

void checkChoice(HWND dialog, control::LineDialog which, int choice) {
    const int count = static_cast<int>(control::choicesOf(which).size());
    const int index = control::choiceIndexOf(which, choice);
    winui::chooseRadioRun(dialog, IDC_LINE_CHOICE_FIRST, count, index < 0 ? 0 : index);
}

int checkedChoice(HWND dialog, control::LineDialog which) {
    const auto choices = control::choicesOf(which);
    for (size_t i = 0; i < choices.size(); ++i) {
        if (winui::isChecked(dialog, IDC_LINE_CHOICE_FIRST + static_cast<int>(i))) return choices[i];
    }
    return choices.empty() ? 0 : choices[0];
}

int numberOr(HWND dialog, int id, int empty) { return winui::controlNumber(dialog, id).value_or(empty); }

} // namespace quillon::control_ui

// The frame of every dialog that makes one row from a form (the editor's
// condition and command dialogs, control-panel's line dialogs): its place
// over the window it serves, the three add buttons and what they become when
// a row is changed, the refusal told in the dialog's own message box with the
// refused field's control focused, and the radio, check and focus helpers the
// dialogs fill and read their controls with.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string_view>

#include "base/form_result.h"
#include "winui/message_boxes.h"

namespace quillon::winui {

// Check boxes and radio buttons by id.
bool isChecked(HWND dialog, int id);
void setChecked(HWND dialog, int id, bool on);

// A radio group by its ids: chooseRadio checks group[index] alone (none for
// an index outside the group); chosenRadio is the index checked, -1 for none.
// The dialogs check their radios themselves, so one frame can hold several
// groups.
void chooseRadio(HWND dialog, std::span<const int> group, int index);
int chosenRadio(HWND dialog, std::span<const int> group);
// A group whose ids run from `first` on: checks first + index alone.
void chooseRadioRun(HWND dialog, int first, int count, int index);
// When `id` belongs to one of the groups, checks it (when enabled) and says so.
bool onRadioClick(HWND dialog, std::initializer_list<std::span<const int>> groups, int id);

// Moves the focus to a control as the Tab key would, its text selected; no
// control (0 or not in the dialog) leaves the focus where it is.
void focusControl(HWND dialog, int id);

// Puts the dialog at the top-left corner of `window` (size, order and
// activation unchanged); nothing without the window.
void placeAt(HWND dialog, HWND window);

// Where the button pressed puts a new row; changing keeps the row in place.
enum class RowPlacement { AtEnd, Before, After, Change };

// The three add buttons ("끝에 추가", "앞에 추가", "뒤에 추가" or the like).
// To change a row two of them are hidden and the one kept is relabelled.
struct AddButtons {
    int atEnd;
    int before;
    int after;
    int kept;                 // the button left to change a row with
    const char* changeLabel;  // its caption then

    bool has(int id) const { return id == atEnd || id == before || id == after; }
    RowPlacement placementOf(int id, bool changing) const;
    void showChanging(HWND dialog) const;
};

// The control that shows one field of a form; a refusal focuses it.
template <class Field>
struct FieldControl {
    Field field;
    int control;
};

template <class Field>
int controlOf(std::span<const FieldControl<Field>> table, Field field) {
    for (const FieldControl<Field>& entry : table) {
        if (entry.field == field) return entry.control;
    }
    return 0;
}

// Tells a form's refusal in the dialog's own box ("오류", or "알림" for a
// notice; nothing for an empty message) and focuses `control`.
template <class T, class Field>
void tellRefusal(HWND dialog, const FormBuilt<T, Field>& built, int control) {
    if (!built.message.empty()) {
        if (built.notice) {
            showNotice(dialog, built.message);
        } else {
            showWarning(dialog, built.message);
        }
    }
    focusControl(dialog, control);
}

} // namespace quillon::winui

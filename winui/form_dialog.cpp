#include "winui/form_dialog.h"

#include "winui/control_text.h"

namespace quillon::winui {

bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void setChecked(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void chooseRadio(HWND dialog, std::span<const int> group, int index) {
    for (size_t i = 0; i < group.size(); ++i) setChecked(dialog, group[i], static_cast<int>(i) == index);
}

int chosenRadio(HWND dialog, std::span<const int> group) {
    for (size_t i = 0; i < group.size(); ++i) {
        if (isChecked(dialog, group[i])) return static_cast<int>(i);
    }
    return -1;
}

void chooseRadioRun(HWND dialog, int first, int count, int index) {
    CheckRadioButton(dialog, first, first + count - 1, first + index);
}

bool onRadioClick(HWND dialog, std::initializer_list<std::span<const int>> groups, int id) {
    for (std::span<const int> group : groups) {
        for (size_t i = 0; i < group.size(); ++i) {
            if (group[i] != id) continue;
            if (IsWindowEnabled(GetDlgItem(dialog, id))) chooseRadio(dialog, group, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void focusControl(HWND dialog, int id) {
    HWND control = id ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr) return;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageW(control, EM_SETSEL, 0, -1);
}

void placeAt(HWND dialog, HWND window) {
    RECT at{};
    if (window && GetWindowRect(window, &at)) {
        SetWindowPos(dialog, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RowPlacement AddButtons::placementOf(int id, bool changing) const {
    if (changing) return RowPlacement::Change;
    if (id == before) return RowPlacement::Before;
    if (id == after) return RowPlacement::After;
    return RowPlacement::AtEnd;
}

void AddButtons::showChanging(HWND dialog) const {
    for (int id : {atEnd, before, after}) {
        if (id != kept) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    }
    setControlText(dialog, kept, changeLabel);
}

} // namespace quillon::winui

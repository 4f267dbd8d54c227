// Each dialog procedure keeps a pointer to its own data (the struct passed at
// creation) in the dialog's DWLP_USER slot. These helpers keep the cast in
// one place.
#pragma once

#include <windows.h>

namespace quillon::winui {

template <typename T>
T* attachDialogData(HWND dialog, T* data) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    return data;
}

template <typename T>
T* dialogData(HWND dialog) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// For the top of a dialog procedure: on WM_INITDIALOG stores the creation
// parameter and returns it, afterwards returns the stored pointer. Null for
// the few messages that come before WM_INITDIALOG (WM_SETFONT).
template <typename T>
T* dialogData(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return attachDialogData(dialog, reinterpret_cast<T*>(lParam));
    }
    return dialogData<T>(dialog);
}

} // namespace quillon::winui

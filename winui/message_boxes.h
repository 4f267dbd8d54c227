// The programs' message boxes: Korean texts, the caption "오류" with the
// warning icon for warnings, "알림" with the information icon for notices,
// the question icon for Yes/No questions. MessageBoxDialogs is the window
// side of the core's question seam (base/user_dialogs.h).
#pragma once

#include <windows.h>

#include <string>

#include "base/user_dialogs.h"

namespace quillon::winui {


// MessageBoxW with UTF-8 texts; returns the button pressed (IDOK, IDYES, ...).
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);

// The Win32 styles of each kind.
UINT messageStyle(MessageKind kind);
UINT questionStyle(QuestionKind kind);

void showWarning(HWND owner, const std::string& text);
void showNotice(HWND owner, const std::string& text);

class MessageBoxDialogs final : public UserDialogs {
public:
    explicit MessageBoxDialogs(HWND owner = nullptr) : owner_(owner) {}
    // The window the boxes are modal to (the main window once it exists).
    void setOwner(HWND owner) { owner_ = owner; }
    HWND owner() const { return owner_; }

    bool ask(const std::string& text, const std::string& caption, QuestionKind kind) override;
    void tell(const std::string& text, const std::string& caption, MessageKind kind) override;

private:
    HWND owner_;
};

} // namespace quillon::winui

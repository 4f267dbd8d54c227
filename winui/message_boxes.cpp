#include "winui/message_boxes.h"

#include "base/wide_text.h"

namespace quillon::winui {

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    // An owner that another window keeps disabled (an open dialog or editor)
    // stays disabled after the box: Wine enables it again when the box ends.
    const bool ownerWasDisabled = owner && !IsWindowEnabled(owner);
    const int pressed = MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), style);
    if (ownerWasDisabled && IsWindow(owner) && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
    }
    return pressed;
}

UINT messageStyle(MessageKind kind) {
    return MB_OK | (kind == MessageKind::Warning ? MB_ICONWARNING : MB_ICONINFORMATION);
}

UINT questionStyle(QuestionKind kind) {
    // Yes/No asks a question; OK/Cancel is a notice the user may decline.
    return kind == QuestionKind::YesNo ? MB_YESNO | MB_ICONQUESTION : MB_OKCANCEL | MB_ICONINFORMATION;
}

void showWarning(HWND owner, const std::string& text) {
    messageBox(owner, text, kCaptionWarning, messageStyle(MessageKind::Warning));
}

void showNotice(HWND owner, const std::string& text) {
    messageBox(owner, text, kCaptionNotice, messageStyle(MessageKind::Notice));
}

bool MessageBoxDialogs::ask(const std::string& text, const std::string& caption, QuestionKind kind) {
    const int answer = messageBox(owner_, text, caption, questionStyle(kind));
    return answer == IDYES || answer == IDOK;
}

void MessageBoxDialogs::tell(const std::string& text, const std::string& caption, MessageKind kind) {
    messageBox(owner_, text, caption, messageStyle(kind));
}

} // namespace quillon::winui

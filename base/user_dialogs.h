// The questions and message boxes of the portable core. The window side shows them as
// Korean message boxes; tests answer them from a script.
#pragma once

#include <string>

namespace quillon {

inline constexpr const char* kCaptionWarning = "오류";
inline constexpr const char* kCaptionNotice = "알림";

enum class QuestionKind { YesNo, OkCancel };
enum class MessageKind { Warning, Notice };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // True for Yes (or OK).
    virtual bool ask(const std::string& text, const std::string& caption, QuestionKind kind) = 0;
    virtual void tell(const std::string& text, const std::string& caption, MessageKind kind) = 0;

    bool askYesNo(const std::string& text, const std::string& caption = kCaptionNotice) {
        return ask(text, caption, QuestionKind::YesNo);
    }
    void warn(const std::string& text) { tell(text, kCaptionWarning, MessageKind::Warning); }
    void notify(const std::string& text) { tell(text, kCaptionNotice, MessageKind::Notice); }
};

} // namespace quillon

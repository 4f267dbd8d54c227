#include "winui/control_text.h"

#include <charconv>
#include <string>

#include "base/wide_text.h"

namespace quillon::winui {

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, wide.data(), length + 1);
    wide.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return narrow(wide);
}

void setWindowText(HWND window, std::string_view text) { SetWindowTextW(window, widen(text).c_str()); }

std::string controlText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

void setControlText(HWND dialog, int id, std::string_view text) { setWindowText(GetDlgItem(dialog, id), text); }

std::optional<int> parseWholeNumber(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt; // "+-5"
        }
    }
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> controlNumber(HWND dialog, int id) { return parseWholeNumber(controlText(dialog, id)); }

void setControlNumber(HWND dialog, int id, long long value) {
    setControlText(dialog, id, std::to_string(value));
}

} // namespace quillon::winui

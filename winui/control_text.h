// Texts and whole numbers of dialog controls, in UTF-8 on our side and
// UTF-16 at the window, so Korean shows on any Windows locale.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quillon::winui {

std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view text);

std::string controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, std::string_view text);

// A whole number written in decimal with an optional sign; spaces around it
// are allowed. Anything else ("12a", "", "1 2", a number beyond int) is no number.
std::optional<int> parseWholeNumber(std::string_view text);

// The control's text as a whole number, or nothing when it holds no number
// (the dialog then refuses and focuses the control).
std::optional<int> controlNumber(HWND dialog, int id);
void setControlNumber(HWND dialog, int id, long long value);

} // namespace quillon::winui

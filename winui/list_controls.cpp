#include "winui/list_controls.h"

#include "base/wide_text.h"

namespace quillon::winui {
namespace {

// The list and combo messages differ only in their names.
struct ListMessages {
    UINT reset, add, setSelection, getSelection, textLength, text;
    LRESULT failed; // LB_ERR and CB_ERR
};
constexpr ListMessages kListBox{LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT,
                                LB_ERR};
constexpr ListMessages kComboBox{CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL, CB_GETLBTEXTLEN,
                                 CB_GETLBTEXT, CB_ERR};

void select(HWND control, const ListMessages& m, std::optional<size_t> index) {
    // -1 clears the selection.
    SendMessageW(control, m.setSelection, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
}

void fill(HWND control, const ListMessages& m, const std::vector<std::string>& lines, std::optional<size_t> selection) {
    // One repaint for the whole list, not one per line.
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    SendMessageW(control, m.reset, 0, 0);
    for (const std::string& line : lines) {
        SendMessageW(control, m.add, 0, reinterpret_cast<LPARAM>(widen(line).c_str()));
    }
    if (selection && *selection < lines.size()) {
        select(control, m, selection);
    }
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control, nullptr, TRUE);
}

std::optional<size_t> selection(HWND control, const ListMessages& m) {
    LRESULT index = SendMessageW(control, m.getSelection, 0, 0);
    if (index == m.failed || index < 0) {
        return std::nullopt;
    }
    return static_cast<size_t>(index);
}

std::string line(HWND control, const ListMessages& m, size_t index) {
    LRESULT length = SendMessageW(control, m.textLength, index, 0);
    if (length == m.failed || length < 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(control, m.text, index, reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return narrow(wide);
}

} // namespace

void fillListBox(HWND list, const std::vector<std::string>& lines, std::optional<size_t> selection) {
    fill(list, kListBox, lines, selection);
}
void fillComboBox(HWND combo, const std::vector<std::string>& lines, std::optional<size_t> selection) {
    fill(combo, kComboBox, lines, selection);
}
std::optional<size_t> listBoxSelection(HWND list) { return selection(list, kListBox); }
std::optional<size_t> comboBoxSelection(HWND combo) { return selection(combo, kComboBox); }
void selectListBoxLine(HWND list, std::optional<size_t> index) { select(list, kListBox, index); }
void selectComboBoxLine(HWND combo, std::optional<size_t> index) { select(combo, kComboBox, index); }
std::string listBoxLine(HWND list, size_t index) { return line(list, kListBox, index); }
std::string comboBoxLine(HWND combo, size_t index) { return line(combo, kComboBox, index); }

} // namespace quillon::winui

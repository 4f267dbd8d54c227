// List boxes and combo boxes filled from the core's lists of UTF-8 lines,
// and their selection read back as an index into that list.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillon::winui {

// Replaces the control's lines with `lines` (in order when the control has
// no sorting style), and selects
// `selection` when given (and in range).
void fillListBox(HWND list, const std::vector<std::string>& lines, std::optional<size_t> selection = std::nullopt);
void fillComboBox(HWND combo, const std::vector<std::string>& lines, std::optional<size_t> selection = std::nullopt);

// The selected line's index; nothing when no line is selected.
std::optional<size_t> listBoxSelection(HWND list);
std::optional<size_t> comboBoxSelection(HWND combo);
void selectListBoxLine(HWND list, std::optional<size_t> index);
void selectComboBoxLine(HWND combo, std::optional<size_t> index);

// One line's text (empty when out of range).
std::string listBoxLine(HWND list, size_t index);
std::string comboBoxLine(HWND combo, size_t index);

} // namespace quillon::winui

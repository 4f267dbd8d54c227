// What the command dialogs' procedures share besides the row dialogs' frame:
// building the form and placing the row, the choice lists of the analyzer's
// objects and the key box.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/forms/command_forms.h"
#include "editor/ui/row_dialogs.h"

namespace quillon::editor_ui {

struct EditorSession;

namespace command_ui {

using FieldControl = winui::FieldControl<editor::CommandField>;
using winui::chooseRadio, winui::chosenRadio, winui::isChecked, winui::onRadioClick, winui::setChecked;

EditorSession& sessionOf(HWND dialog);
// The row being changed, or nullptr for a new row.
const analyzer::Command* editedRow(HWND dialog);

// Builds the form; a refusal is told with the dialog kept open and its field
// focused, a command is placed by the button pressed and the dialog closes.
// `focus` places the focus for a field the table does not name.
void submit(HWND dialog, int buttonId, const editor::CommandForm& form, std::span<const FieldControl> fields,
            void (*focus)(HWND, editor::CommandField) = nullptr);
// The command the form makes, told to no one; nothing when it is refused.
std::optional<analyzer::Command> quietlyBuilt(HWND dialog, const editor::CommandForm& form);

// Choice lists of named slots. The box is a drop-down combo: a chosen line or
// its name typed in chooses the slot.
struct SlotList {
    std::vector<std::string> lines;
    std::vector<int> slots;
};
SlotList imageChoices(const EditorSession& session);
SlotList areaChoices(const EditorSession& session);
SlotList variableChoices(const EditorSession& session);
SlotList timerChoices();
SlotList numberPackChoices(const EditorSession& session);
SlotList macroChoices(const EditorSession& session, analyzer::MacroKind kind);

void fillSlots(HWND dialog, int id, const SlotList& list, int chosen);
// The slot whose line the box shows; -1 when its text names none.
int chosenSlot(HWND dialog, int id);
// A box that takes a typed number or a chosen slot.
void showNumberOrSlot(HWND dialog, int id, const editor::NumberOrSlot& value);
editor::NumberOrSlot numberOrSlot(HWND dialog, int id);

// A drop-down list of fixed labels; the chosen index or -1.
void fillLabels(HWND dialog, int id, std::initializer_list<const char*> labels, int chosen);
int chosenLabel(HWND dialog, int id);

// An edit box that takes the next key pressed and shows its name; the key
// table row it holds, or -1.
void makeKeyBox(HWND dialog, int id, int row);
int keyBoxRow(HWND dialog, int id);

// Draws a recognition image scaled into an owner-drawn preview; blank for
// no image.
void drawImagePreview(const EditorSession& session, int slot, const DRAWITEMSTRUCT& item);

} // namespace command_ui
} // namespace quillon::editor_ui

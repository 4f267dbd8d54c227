// The pieces the condition dialogs share: lists of the analyzer's objects in
// list and combo boxes, boxes that take a typed number or a chosen entry,
// toggle buttons, picture previews, and the click on the
// screenshot view that an open dialog takes a colour or a point from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "analyzer/records.h"
#include "editor/forms/form_values.h"
#include "editor/side_panel.h"
#include "editor/ui/row_dialogs.h"

namespace quillon::editor_ui {

struct EditorSession;


// Object lists (images, areas, cursors) as the side panel shows them: the
// lines are the objects in list order and the selection maps back to a slot
// through the same order (-1: none).
void fillObjectList(HWND dialog, int id, const EditorSession& session, editor::SideList list, int chosenSlot);
int chosenObject(HWND dialog, int id, const EditorSession& session, editor::SideList list);
void chooseObject(HWND dialog, int id, const EditorSession& session, editor::SideList list, int slot);

// Combo boxes of the active variables ("변수000"..) and of the 50 timers
// ("타이머0"..), choosing `index` (-1: none).
void fillVariables(HWND dialog, int id, const EditorSession& session, int index);
void fillTimers(HWND dialog, int id, int index);
int comboChoice(HWND dialog, int id);

// A drop-down box that takes a number or a chosen line: a chosen line wins
// while the box still shows its text.
void setNumberOrSlot(HWND dialog, int id, const editor::NumberOrSlot& value);
editor::NumberOrSlot numberOrSlot(HWND dialog, int id);

// Plain lists of fixed lines (the comparison and state lists).
void fillLines(HWND dialog, int id, std::initializer_list<const char*> lines, int chosen);
int chosenLine(HWND dialog, int id);

using winui::chooseRadio, winui::chosenRadio, winui::focusControl, winui::isChecked, winui::setChecked;

// A push button whose caption switches between two texts when pressed.
void setToggle(HWND dialog, int id, const char* first, const char* second, bool showsSecond);
bool toggleShowsSecond(HWND dialog, int id, const char* second);
void flipToggle(HWND dialog, int id, const char* first, const char* second);

// Previews: a recognition image scaled into the SS_BITMAP static `id`
// (null slot clears it), a cursor's mask and colour pictures.
void showImagePreview(HWND dialog, int id, const EditorSession& session, int slot);
void showCursorPreviews(HWND dialog, int maskId, int colourId, const EditorSession& session, int slot);

} // namespace quillon::editor_ui

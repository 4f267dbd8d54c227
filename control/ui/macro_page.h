// What the edit page and the combination page share: the line list, the
// macro's name and options, the machine and file buttons. Each page gives
// its differences as one MacroPageKind; the procedure is the same.
#pragma once

#include <windows.h>

#include <cstddef>

#include "control/macro_line_editor.h"

namespace quillon::control_ui {

struct MacroPageKind {
    bool combination;
    int resource;
    const control::LineEditorLocations* locations;
    size_t folder; // name offset of the page's macro folder
    const char* loadFilter;
    const char* saveFilter;
    const char* extension;
    int startArgument; // the working copy this page reads at start (1 or 2)
};

// Makes the page's dialog (hidden) as a child of `parent`.
HWND createMacroPage(ControlSession& s, HWND parent, const MacroPageKind& kind);

} // namespace quillon::control_ui

// What the condition and command dialogs need besides their own fields.
#pragma once

#include "analyzer/model.h"
#include "editor/machine_macros.h"

namespace quillon::editor {

struct FormContext {
    // The open analyzer: the objects the lists offer, the variables, and the
    // sentence table the auto-typing dialog writes into.
    analyzer::AnalyzerModel* model = nullptr;
    // The machine's macros as read at start-up; null when they are unknown,
    // and then a chosen memory is not checked for content.
    const MacroNameLists* macros = nullptr;
    // Rows already in the list the dialog adds to, and whether the dialog
    // was opened to change one of them ("수정 저장").
    int rows = 0;
    bool changing = false;
};

} // namespace quillon::editor

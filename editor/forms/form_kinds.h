// The condition and command kinds the editor's dialogs make, as tables:
// each kind with its dialog (resource and title), a blank form with the
// dialog's defaults, the sentence its row shows, and its build. The windows
// keep the matching {kind, resource, procedure} table.
#pragma once

#include <span>
#include <string>

#include "editor/forms/command_forms.h"
#include "editor/forms/condition_forms.h"
#include "editor/item_sentences.h"

namespace quillon::editor {

struct ConditionDialogKind {
    int32_t kind;
    int resource;
    const char* title;
    ConditionForm (*blank)();
    std::string (*sentence)(const analyzer::Condition&, const AnalyzerNames&);
    BuiltCondition (*build)(const ConditionForm&, const FormContext&);
};

// "분석기 교체" has no dialog resource of its own: it asks for a file (0).
struct CommandDialogKind {
    int32_t kind;
    int resource;
    const char* title;
    CommandForm (*blank)();
    std::string (*sentence)(const analyzer::Command&, const AnalyzerNames&);
    BuiltCommand (*build)(const CommandForm&, const FormContext&);
};

std::span<const ConditionDialogKind> conditionDialogKinds();
std::span<const CommandDialogKind> commandDialogKinds();
const ConditionDialogKind* findConditionDialog(int32_t kind);
const CommandDialogKind* findCommandDialog(int32_t kind);

} // namespace quillon::editor

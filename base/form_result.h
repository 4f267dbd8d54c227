// What a dialog's form gives when it is built: the record, or the refusal
// the dialog shows with the field it focuses. Every dialog that makes a
// record (the editor's conditions and commands, control-panel's lines and
// settings) has a form built on these.
#pragma once

#include <string>
#include <utility>

#include "base/status.h"

namespace quillon {

// One refusal a dialog can give. `id` names the check so that a table test
// can show it meets every check of its dialog; `message` is the dialog's own
// text (UTF-8; empty when the dialog only stays open); a notice is shown with
// the caption "알림" instead of "오류".
template <class Field>
struct FormCheck {
    const char* id;
    Field field;
    const char* message;
    bool notice = false;
};

template <class T, class Field>
struct FormBuilt : quillon::Built<T> {
    Field field{};          // where the dialog puts the focus after a refusal
    const char* check = ""; // the id of the refusing check
    bool notice = false;

    static FormBuilt of(T record) {
        FormBuilt built;
        built.value = std::move(record);
        return built;
    }
    // `text` replaces the check's message when it is filled in ("%s" texts).
    static FormBuilt refused(const FormCheck<Field>& check, std::string text = {}) {
        FormBuilt built;
        built.message = text.empty() ? std::string(check.message) : std::move(text);
        built.field = check.field;
        built.check = check.id;
        built.notice = check.notice;
        return built;
    }
};

} // namespace quillon

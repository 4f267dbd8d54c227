// What a dialog's form gives when it is built: the record, or the refusal the
// dialog shows together with the field it puts the focus on.
#pragma once

#include "base/status.h"

#include <optional>
#include <string>
#include <utility>

namespace quillon::control {

// One refusal a dialog can give. `id` names the check so that a table test
// can show it has met every check of its dialog; `message` is the dialog's
// own text (UTF-8, caption "오류"), empty when the dialog only stays open.
template <class Field>
struct FormCheck {
    const char* id;
    Field field;
    const char* message;
};

// A record or the refusal (quillon::Built), with the field the dialog puts
// the focus on and the id of the check that refused.
template <class T, class Field>
struct Built : quillon::Built<T> {
    Field field{};          // where the dialog puts the focus after a refusal
    const char* check = ""; // the id of the check that refused

    static Built of(T record) {
        Built built;
        built.value = std::move(record);
        return built;
    }
    static Built refused(const FormCheck<Field>& check) {
        Built built;
        built.message = check.message;
        built.field = check.field;
        built.check = check.id;
        return built;
    }
};

} // namespace quillon::control

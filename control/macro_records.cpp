#include "control/macro_records.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace quillon::control {

void FreeDeleter::operator()(void* p) const { std::free(p); }

ZeroedPtr<MacroDocument> newMacroDocument() {
    void* p = std::calloc(1, sizeof(MacroDocument));
    if (!p) {
        throw std::bad_alloc(); // only at start-up; nothing sensible is left to do
    }
    return ZeroedPtr<MacroDocument>(static_cast<MacroDocument*>(p));
}

ZeroedPtr<TextStore> newTextStore() {
    void* p = std::calloc(1, sizeof(TextStore));
    if (!p) {
        throw std::bad_alloc();
    }
    return ZeroedPtr<TextStore>(static_cast<TextStore*>(p));
}

} // namespace quillon::control

// What the user types into the editor's and the control panel's dialogs,
// read without a window: whole numbers, seconds, similarity, delay seconds,
// and typing texts turned into the key stream the machine types. The first
// byte picks the reader; the rest is the typed text. What a reader accepts
// must read back the same when shown again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/forms/line_forms.h"
#include "control/key_stream.h"
#include "editor/forms/form_values.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string typed(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 5) {
    case 0:
        if (auto n = editor::parseWholeNumber(typed)) {
            if (editor::parseWholeNumber(std::to_string(*n)) != n) {
                std::abort();
            }
        }
        break;
    case 1:
        if (auto ms = editor::parseSeconds(typed)) {
            if (*ms < 0 || editor::parseSeconds(editor::secondsText(*ms)) != ms) {
                std::abort();
            }
        }
        break;
    case 2:
        if (auto percent = editor::parseSimilarity(typed)) {
            if (*percent < 50 || *percent > 100) {
                std::abort();
            }
        }
        break;
    case 3:
        if (auto ms = control::parseDelaySeconds(typed)) {
            if (*ms < 0) {
                std::abort();
            }
        }
        break;
    default: {
        if (typed.size() > static_cast<size_t>(control::kMaxTypingCharacters)) {
            break;
        }
        const auto keys = control::textToKeyStream(typed);
        // Each character takes at most a few keystrokes (jamo, shift, switch).
        if (keys.size() > 8 * typed.size() + 2) {
            std::abort();
        }
        break;
    }
    }
    return 0;
}

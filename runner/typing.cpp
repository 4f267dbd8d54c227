// Typing a sentence: Korean/English mode first, then each key code with
// Shift held only while needed, polling the status after every key.
#include "runner/interpreter.h"

#include "device/actions.h"

#include <algorithm>

namespace quillon::runner {

namespace {
constexpr uint8_t kToggleKey = 0x90;
constexpr uint8_t kLeftShift = 0xE1;
constexpr uint8_t kToggleCode = 254;
constexpr uint32_t kToggleSleepMs = 100;
} // namespace

bool Interpreter::commandTypeSentence(const analyzer::Command& c) {
    const int32_t index = c[analyzer::cmd::TypeSentence::sentence];
    if (index < 0 || index >= analyzer::kSentenceCapacity) return true;
    const analyzer::TypingSentence& sentence = model_.sentenceTable().sentences[index];
    if (!host_.inputMethodOpen()) {
        if (!send(Action::keyDown(kToggleKey)) || !sleep(kToggleSleepMs) || !send(Action::keyUp(kToggleKey)) ||
            !sleep(kToggleSleepMs))
            return false;
    }
    const uint32_t press = static_cast<uint32_t>(std::max(0, sentence.keyDownMs - 5));
    const uint32_t release = static_cast<uint32_t>(std::max(0, sentence.keyUpMs - 5));
    const int count = std::clamp(sentence.keyCount, 0, analyzer::kSentenceMaxKeyCodes);
    bool shift = false;
    auto releaseShift = [&] { return !shift || send(Action::keyUp(kLeftShift)); };
    for (int i = 0; i < count; ++i) {
        const uint8_t code = sentence.keyCodes[i];
        if (code == kToggleCode) {
            if (!send(Action::keyDown(kToggleKey)) || !sleep(press) || !send(Action::keyUp(kToggleKey)) ||
                !sleep(release)) {
                if (ending_ != Ending::LinkFailed) releaseShift();
                return false;
            }
            continue;
        }
        bool ok = true;
        if ((code & 0x80) && !shift) {
            ok = send(Action::keyDown(kLeftShift)) && sleep(press);
            shift = true;
        } else if (!(code & 0x80) && shift) {
            ok = send(Action::keyUp(kLeftShift)) && sleep(release);
            shift = false;
        }
        const uint8_t key = code & 0x7F;
        ok = ok && send(Action::keyDown(key)) && sleep(press) && send(Action::keyUp(key)) && sleep(release);
        if (!ok || !pollStatus(kPollIntervalMs) || !keepGoing()) {
            // Stopped in the middle: leave no Shift held on the machine.
            if (ending_ != Ending::LinkFailed) releaseShift();
            return false;
        }
    }
    return releaseShift();
}

} // namespace quillon::runner

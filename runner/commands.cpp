// Commands: key, mouse, macro, timer, delay, machine and run control,
// replacing an image from the screen, reading a number, and loading another
// analyzer. Variables and typing have files of their own.
#include "runner/interpreter.h"

#include "base/file.h"
#include "base/path.h"
#include "base/text.h"
#include "device/actions.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace quillon::runner {

using analyzer::bodyInt;

namespace {

// Digits typed from a variable: main-keyboard 1..9 are 0x1E..0x26, 0 is 0x27.
uint8_t digitKey(char c) { return c == '0' ? 0x27 : static_cast<uint8_t>(0x1E + (c - '1')); }
constexpr uint8_t kMinusKey = 0x2D;
constexpr uint32_t kCommandNameBytes = 160;

int8_t toSignedByte(long long v) { return static_cast<int8_t>(std::clamp<long long>(v, -128, 127)); }

std::string bodyText(const uint8_t* body, size_t offset, size_t capacity) {
    return std::string(analyzer::fixedText(reinterpret_cast<const char*>(body + offset), capacity));
}

} // namespace

bool Interpreter::runCommands(const analyzer::Item& item) {
    const int count = std::clamp(item.commandCount, 0, analyzer::kCommandsPerItem);
    for (int i = 0; i < count; ++i) {
        if (!keepGoing() || !runCommand(item.commands[i])) return false;
        if (restart_) return true;
    }
    return keepGoing();
}

bool Interpreter::runCommand(const analyzer::Command& command) {
    const uint8_t* b = command.body;
    switch (command.kind()) {
    case analyzer::CmdKey: return commandKey(b);
    case analyzer::CmdMouse: return commandMouse(b);
    case analyzer::CmdMacro: return commandMacro(b);
    case analyzer::CmdVariable: return commandVariable(b);
    case analyzer::CmdTimer: {
        const int32_t timer = bodyInt(b, 8);
        if (timer < 0 || timer >= analyzer::kTimerCount) return true;
        Timer& t = state_.timers[static_cast<size_t>(timer)];
        if (bodyInt(b, 4) == 0) {
            t.start = clock_.tickCount();
            t.value = static_cast<int64_t>(bodyInt(b, 12)) * 1000;
        } else {
            const int32_t other = bodyInt(b, 12);
            if (other >= 0 && other < analyzer::kTimerCount) t = state_.timers[static_cast<size_t>(other)];
        }
        return true;
    }
    case analyzer::CmdDelay: {
        const int32_t low = std::max(0, bodyInt(b, 8));
        uint32_t ms = static_cast<uint32_t>(low);
        if (bodyInt(b, 4) == 1) {
            // low + rand() % (high - low), with the remainder's sign taken
            // from rand(): a high bound below the low one still adds
            // 0..(low - high - 1). Equal bounds sleep the low one.
            const int64_t span = static_cast<int64_t>(bodyInt(b, 12)) - low;
            if (span != 0) ms = static_cast<uint32_t>(low + random() % span);
        }
        // Long delays keep polling so the stop hotkey still ends the run.
        while (ms > 0) {
            const uint32_t slice = std::min(ms, kPollIntervalMs);
            if (!sleep(slice)) return false;
            ms -= slice;
            if (ms > 0 && !pollStatus(kPollIntervalMs)) return false;
        }
        return keepGoing();
    }
    case analyzer::CmdDevice: return commandDevice(b);
    case analyzer::CmdReplaceImage: return commandReplaceImage(b);
    case analyzer::CmdRunAnalyzer: return commandRunAnalyzer(b);
    case analyzer::CmdTypeSentence: return commandTypeSentence(b);
    case analyzer::CmdReadNumber: return commandReadNumber(b);
    default: return true;
    }
}

bool Interpreter::commandKey(const uint8_t* b) {
    const uint32_t hold = static_cast<uint32_t>(std::max(0, bodyInt(b, 12)));
    const int action = bodyInt(b, 4);
    if (action == 3) {
        const int32_t index = bodyInt(b, 16);
        if (index < 0 || index >= analyzer::kVariableCapacity) return true;
        const int64_t value = state_.variables[static_cast<size_t>(index)].value;
        char digits[24];
        const unsigned long long magnitude =
            value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
        std::snprintf(digits, sizeof digits, "%s%llu", value < 0 ? "-" : "", magnitude);
        for (const char* c = digits; *c; ++c) {
            const uint8_t code = *c == '-' ? kMinusKey : digitKey(*c);
            if (!send(Action::keyDown(code)) || !sleep(hold) || !send(Action::keyUp(code)) || !sleep(hold)) return false;
        }
        return true;
    }
    const int32_t row = bodyInt(b, 8);
    if (row < 0 || static_cast<size_t>(row) >= keys_.size()) return true;
    const uint8_t code = keys_.codeOf(static_cast<size_t>(row));
    switch (action) {
    case 0: return send(Action::keyDown(code));
    case 1: return send(Action::keyUp(code));
    case 2: return send(Action::keyDown(code)) && sleep(hold) && send(Action::keyUp(code));
    default: return true;
    }
}

bool Interpreter::windowToScreen(int& x, int& y, bool beepForFixed) {
    const CaptureTarget target = capture_.target();
    Rect r{};
    if (target == CaptureTarget::ClientArea) {
        if (screen_.targetRect(CaptureTarget::ClientArea, r)) {
            x += r.left;
            y += r.top;
        }
        return true;
    }
    if (beepForFixed) {
        host_.beep(300, 300);
    } else if (target == CaptureTarget::FullScreen) {
        return true;
    }
    if (screen_.targetRect(target, r)) {
        x += r.left;
        y += r.top;
    }
    return true;
}

bool Interpreter::moveTo(int x, int y) {
    const Size size = screen_.screenSize();
    const DevicePoint p = toDeviceScale(x, y, size.width, size.height);
    return send(Action::moveTo(p.x, p.y));
}

bool Interpreter::commandMouse(const uint8_t* b) {
    const int action = bodyInt(b, 4);
    const uint8_t button = static_cast<uint8_t>(bodyInt(b, 16));
    const uint32_t hold = static_cast<uint32_t>(std::max(0, bodyInt(b, 52)));
    switch (action) {
    case 0: return send(Action::buttonDown(button));
    case 1: return send(Action::buttonUp(button));
    case 2: return send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button));
    case 3:
        return send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button)) && sleep(hold) &&
               send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button));
    case 4: return send(Action::wheel(toSignedByte(bodyInt(b, 20))));
    case 8: {
        const int bits = bodyInt(b, 48);
        const long long h = bodyInt(b, 40), v = bodyInt(b, 44);
        return send(Action::moveBy(toSignedByte((bits & 1) ? h : -h), toSignedByte((bits & 2) ? -v : v)));
    }
    case 5:
    case 6:
    case 7:
    case 9: break;
    default: return true;
    }
    int x = 0, y = 0;
    if (action == 5) {
        x = bodyInt(b, 32);
        y = bodyInt(b, 36);
        if (bodyInt(b, 12) != kMonitorCoordinates) windowToScreen(x, y, true);
    } else if (action == 6) {
        x = bodyInt(b, 32);
        y = bodyInt(b, 36);
        windowToScreen(x, y, false);
    } else if (action == 7) {
        const int32_t slot = bodyInt(b, 28);
        if (slot < 0 || slot >= analyzer::kAreaCapacity) return true;
        const RangeResult& r = state_.rangeResults[static_cast<size_t>(slot)];
        if (r.found != 1) return true;
        x = r.x;
        y = r.y;
        windowToScreen(x, y, false);
    } else {
        const int32_t index = bodyInt(b, 56);
        if (index < 0 || index >= analyzer::kVariableCapacity) return true;
        bool monitor = false;
        if (!variablePoint(state_.variables[static_cast<size_t>(index)], x, y, monitor)) return true;
        if (!monitor) windowToScreen(x, y, false);
    }
    if (bodyInt(b, 8) == 1) {
        const int spread = std::max(0, bodyInt(b, 60));
        x += spread - random() % (2 * spread + 1);
        y += spread - random() % (2 * spread + 1);
    }
    return moveTo(x, y);
}

bool Interpreter::variablePoint(const Variable& v, int& x, int& y, bool& monitor) const {
    monitor = false;
    switch (v.type) {
    case VarImage:
        if (!v.valid) return false;
        break;
    case VarRangeMatch:
        if (!v.found) return false;
        break;
    case VarPoint:
        if (!v.set) return false;
        monitor = v.coordinateMode == kMonitorCoordinates;
        break;
    default: return false;
    }
    x = v.x;
    y = v.y;
    return true;
}

bool Interpreter::commandMacro(const uint8_t* b) {
    const int action = bodyInt(b, 4);
    const uint16_t repeat = static_cast<uint16_t>(std::clamp(bodyInt(b, 8), 0, 65535));
    const uint8_t number = static_cast<uint8_t>(bodyInt(b, 12));
    switch (action) {
    case 0:
    case 1:
    case 2:
        if (state_.macroPlaying) return true;
        return send(action == 0   ? Action::playRecorded(number, repeat)
                    : action == 1 ? Action::playEdit(number, repeat)
                                  : Action::playCombination(number, repeat));
    case 3: return send(Action::pauseMacro());
    case 4: return send(Action::resumeMacro());
    case 5: return send(Action::stopMacro());
    default: return true;
    }
}

bool Interpreter::commandDevice(const uint8_t* b) {
    const int action = bodyInt(b, 4);
    switch (action) {
    case 0:
    case 1:
    case 2:
        return send(Action::light(static_cast<Light>(action), bodyInt(b, 8) == 1));
    case 3: {
        const std::string name = bodyText(b, analyzer::field::kDeviceSoundName, analyzer::field::kDeviceSoundNameBytes);
        const std::string utf8 = text::cp949ToUtf8(name);
        // A name from the file must stay inside the sound folder.
        if (!isSafeFileName(utf8)) return true;
        const std::string path = joinPath(settings_.soundFolder, utf8);
        if (host_.mainWindowShown()) host_.showSoundPath(path);
        if (host_.playSound(path)) state_.soundPlaying = true;
        return true;
    }
    case 4:
        host_.stopSound();
        state_.soundPlaying = false;
        return true;
    case 5: return send(Action::remoteCommand(static_cast<uint8_t>(bodyInt(b, 16))));
    case 6: paused.store(true); return true;
    case 7:
        paused.store(false);
        if (state_.soundPlaying) {
            host_.stopSound();
            state_.soundPlaying = false;
        }
        return true;
    case 8:
        host_.requestStop(false);
        stopping_ = true;
        ending_ = Ending::StopCommand;
        return false;
    case 9: host_.requestStop(true); return true;
    case 10: state_.rescan = true; return true;
    case 11:
    case 12:
        if (!send(Action::keyboardLock(action == 11))) return false;
        state_.keyboardLocked = action == 11;
        return true;
    case 13:
    case 14:
        if (!send(Action::mouseLock(action == 13))) return false;
        state_.mouseLocked = action == 13;
        return true;
    default: return true;
    }
}

bool Interpreter::commandReplaceImage(const uint8_t* b) {
    analyzer::RecognitionImage* image = model_.recognitionImage(bodyInt(b, analyzer::field::kReplaceImage));
    if (!image) return true;
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return keepGoing();
    const FrameView frame = capture_.frame();
    const ImageView view = viewOf(*image);
    if (!view.valid() || image->left < 0 || image->top < 0 || image->left + view.width - 1 >= frame.width ||
        image->top + view.height - 1 >= frame.height) {
        return true;
    }
    for (int y = 0; y < view.height; ++y) {
        const uint8_t* src = frame.pixel(image->left, image->top + y);
        uint8_t* dst = image->pixels + y * kImageStride;
        for (int x = 0; x < view.width; ++x) {
            dst[x * 4 + 0] = src[x * 4 + 0];
            dst[x * 4 + 1] = src[x * 4 + 1];
            dst[x * 4 + 2] = src[x * 4 + 2];
        }
    }
    return true;
}

bool Interpreter::commandReadNumber(const uint8_t* b) {
    const int32_t areaSlot = bodyInt(b, 8);
    const int32_t target = bodyInt(b, 20);
    if (areaSlot < 0 || areaSlot >= analyzer::kAreaCapacity || target < 0 || target >= analyzer::kVariableCapacity)
        return true;
    const analyzer::NumberPack* block = model_.numberPack(bodyInt(b, 16));
    NumberPackView pack;
    if (!block || !viewOf(*block, pack)) return true;
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return keepGoing();
    const analyzer::RecognitionArea& a = model_.image().areas[areaSlot];
    int64_t value = 0;
    readNumber(capture_.frame(), {a.left, a.top, a.width, a.height}, pack, bodyInt(b, 24), bodyInt(b, 28) == 1, value);
    if (host_.mainWindowShown()) {
        // The area the number was read from, as the capture showed it.
        previewFrame(capture_.frame(), {a.left, a.top, a.left + a.width, a.top + a.height}, PreviewBox::Reference);
    }
    Variable& v = state_.variables[static_cast<size_t>(target)];
    v.type = VarNumber;
    v.value = value;
    v.changed = true;
    return true;
}

bool Interpreter::commandRunAnalyzer(const uint8_t* b) {
    if (!pollStatus(kPollIntervalMs) || !keepGoing()) return false;
    const std::string name = text::cp949ToUtf8(bodyText(b, analyzer::field::kRunAnalyzerName, kCommandNameBytes));
    const std::string path = joinPath(settings_.analyzerFolder, name);
    state_.keyboardLocked = state_.mouseLocked = false;
    state_.soundPlaying = false;
    state_.macroPlaying = false;
    paused.store(false);
    for (RangeResult& r : state_.rangeResults) r = RangeResult{};
    const int code = isSafeFileName(name) ? loader_.load(path, model_) : -1;
    if (code != 0) {
        char text[512];
        std::snprintf(text, sizeof text, "%s - %d", settings_.loadFailureText.c_str(), code);
        host_.warn(text);
        host_.requestStop(false);
        stopping_ = true;
        ending_ = Ending::LoadFailed;
        return false;
    }
    restart_ = true;
    host_.analyzerReplaced();
    return true;
}

} // namespace quillon::runner

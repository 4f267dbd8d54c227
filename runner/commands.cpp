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

namespace cmd = analyzer::cmd;

namespace {

// Digits typed from a variable: main-keyboard 1..9 are 0x1E..0x26, 0 is 0x27.
uint8_t digitKey(char c) { return c == '0' ? 0x27 : static_cast<uint8_t>(0x1E + (c - '1')); }
constexpr uint8_t kMinusKey = 0x2D;

int8_t toSignedByte(long long v) { return static_cast<int8_t>(std::clamp<long long>(v, -128, 127)); }

} // namespace

bool Interpreter::runCommands(const analyzer::Item& item) {
    const int count = std::clamp(item.commandCount, 0, analyzer::kCommandsPerItem);
    for (int i = 0; i < count; ++i) {
        if (!keepGoing() || !runCommand(item.commands[i])) return false;
        if (restart_) return true;
    }
    return keepGoing();
}

bool Interpreter::runCommand(const analyzer::Command& c) {
    switch (c.kind()) {
    case analyzer::CmdKey: return commandKey(c);
    case analyzer::CmdMouse: return commandMouse(c);
    case analyzer::CmdMacro: return commandMacro(c);
    case analyzer::CmdVariable: return commandVariable(c);
    case analyzer::CmdTimer: {
        const int32_t timer = c[cmd::Timer::timer];
        if (timer < 0 || timer >= analyzer::kTimerCount) return true;
        Timer& t = state_.timers[static_cast<size_t>(timer)];
        if (c[cmd::Timer::action] == cmd::Timer::SetSeconds) {
            t.start = clock_.tickCount();
            t.value = static_cast<int64_t>(c[cmd::Timer::value]) * 1000;
        } else {
            const int32_t other = c[cmd::Timer::value];
            if (other >= 0 && other < analyzer::kTimerCount) t = state_.timers[static_cast<size_t>(other)];
        }
        return true;
    }
    case analyzer::CmdDelay: {
        const int32_t low = std::max(0, c[cmd::Delay::ms]);
        uint32_t ms = static_cast<uint32_t>(low);
        if (c[cmd::Delay::random] == 1) {
            // low + rand() % (high - low), with the remainder's sign taken
            // from rand(): a high bound below the low one still adds
            // 0..(low - high - 1). Equal bounds sleep the low one.
            const int64_t span = static_cast<int64_t>(c[cmd::Delay::highMs]) - low;
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
    case analyzer::CmdDevice: return commandDevice(c);
    case analyzer::CmdReplaceImage: return commandReplaceImage(c);
    case analyzer::CmdRunAnalyzer: return commandRunAnalyzer(c);
    case analyzer::CmdTypeSentence: return commandTypeSentence(c);
    case analyzer::CmdReadNumber: return commandReadNumber(c);
    default: return true;
    }
}

bool Interpreter::commandKey(const analyzer::Command& c) {
    using K = cmd::Key;
    const uint32_t hold = static_cast<uint32_t>(std::max(0, c[K::holdMs]));
    const int action = c[K::action];
    if (action == K::TypeVariable) {
        const int32_t index = c[K::variable];
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
    const int32_t row = c[K::key];
    if (row < 0 || static_cast<size_t>(row) >= keys_.size()) return true;
    const uint8_t code = keys_.codeOf(static_cast<size_t>(row));
    switch (action) {
    case K::Press: return send(Action::keyDown(code));
    case K::Release: return send(Action::keyUp(code));
    case K::PressAndRelease: return send(Action::keyDown(code)) && sleep(hold) && send(Action::keyUp(code));
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
        beep(300, 300);
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

bool Interpreter::commandMouse(const analyzer::Command& c) {
    using M = cmd::Mouse;
    const int action = c[M::action];
    const uint8_t button = static_cast<uint8_t>(c[M::button]);
    const uint32_t hold = static_cast<uint32_t>(std::max(0, c[M::holdMs]));
    switch (action) {
    case M::Press: return send(Action::buttonDown(button));
    case M::Release: return send(Action::buttonUp(button));
    case M::Click: return send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button));
    case M::DoubleClick:
        return send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button)) && sleep(hold) &&
               send(Action::buttonDown(button)) && sleep(hold) && send(Action::buttonUp(button));
    case M::Wheel: return send(Action::wheel(toSignedByte(c[M::wheel])));
    case M::MoveRelative: {
        const int bits = c[M::direction];
        const long long h = c[M::dx], v = c[M::dy];
        return send(Action::moveBy(toSignedByte((bits & M::TowardsRight) ? h : -h), toSignedByte((bits & M::Upwards) ? -v : v)));
    }
    case M::MoveTo:
    case M::MoveToImage:
    case M::MoveToRangeMatch:
    case M::MoveToVariable: break;
    default: return true;
    }
    int x = 0, y = 0;
    if (action == M::MoveTo) {
        x = c[M::x];
        y = c[M::y];
        if (c[M::monitor] != kMonitorCoordinates) windowToScreen(x, y, true);
    } else if (action == M::MoveToImage) {
        x = c[M::x];
        y = c[M::y];
        windowToScreen(x, y, false);
    } else if (action == M::MoveToRangeMatch) {
        const int32_t slot = c[M::area];
        if (slot < 0 || slot >= analyzer::kAreaCapacity) return true;
        const RangeResult& r = state_.rangeResults[static_cast<size_t>(slot)];
        if (r.found != 1) return true;
        x = r.x;
        y = r.y;
        windowToScreen(x, y, false);
    } else {
        const int32_t index = c[M::variable];
        if (index < 0 || index >= analyzer::kVariableCapacity) return true;
        bool monitor = false;
        if (!variablePoint(state_.variables[static_cast<size_t>(index)], x, y, monitor)) return true;
        if (!monitor) windowToScreen(x, y, false);
    }
    if (c[M::random] == 1) {
        const int spread = std::max(0, c[M::randomRange]);
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

bool Interpreter::commandMacro(const analyzer::Command& c) {
    const int action = c[cmd::Macro::action];
    const uint16_t repeat = static_cast<uint16_t>(std::clamp(c[cmd::Macro::repeat], 0, 65535));
    const uint8_t number = static_cast<uint8_t>(c[cmd::Macro::number]);
    switch (action) {
    case cmd::Macro::PlayRecorded:
    case cmd::Macro::PlayEdit:
    case cmd::Macro::PlayCombination:
        if (state_.macroPlaying) return true;
        return send(action == cmd::Macro::PlayRecorded ? Action::playRecorded(number, repeat)
                    : action == cmd::Macro::PlayEdit   ? Action::playEdit(number, repeat)
                                                       : Action::playCombination(number, repeat));
    case cmd::Macro::Pause: return send(Action::pauseMacro());
    case cmd::Macro::Resume: return send(Action::resumeMacro());
    case cmd::Macro::Stop: return send(Action::stopMacro());
    default: return true;
    }
}

bool Interpreter::commandDevice(const analyzer::Command& c) {
    using D = cmd::Device;
    const int action = c[D::action];
    switch (action) {
    case D::RedLight:
    case D::YellowLight:
    case D::GreenLight:
        return send(Action::light(static_cast<Light>(action), c[D::on] == 1));
    case D::PlaySound: {
        const std::string utf8 = text::cp949ToUtf8(c[D::sound]);
        // A name from the file must stay inside the sound folder.
        if (!isSafeFileName(utf8)) return true;
        const std::string path = joinPath(settings_.soundFolder, utf8);
        if (host_.mainWindowShown()) host_.showSoundPath(path);
        if (playSound(path)) state_.soundPlaying = true;
        return true;
    }
    case D::StopSound:
        stopSound();
        state_.soundPlaying = false;
        return true;
    case D::SendRemote: return send(Action::remoteCommand(static_cast<uint8_t>(c[D::remote])));
    case D::PauseAnalyzer: paused.store(true); return true;
    case D::ResumeAnalyzer:
        paused.store(false);
        if (state_.soundPlaying) {
            stopSound();
            state_.soundPlaying = false;
        }
        return true;
    case D::StopAnalyzer:
        host_.requestStop(false);
        stopping_ = true;
        ending_ = Ending::StopCommand;
        return false;
    case D::PowerOff: host_.requestStop(true); return true;
    case D::ScanAgain: state_.rescan = true; return true;
    case D::LockKeyboard:
    case D::UnlockKeyboard:
        if (!send(Action::keyboardLock(action == D::LockKeyboard))) return false;
        state_.keyboardLocked = action == D::LockKeyboard;
        return true;
    case D::LockMouse:
    case D::UnlockMouse:
        if (!send(Action::mouseLock(action == D::LockMouse))) return false;
        state_.mouseLocked = action == D::LockMouse;
        return true;
    default: return true;
    }
}

bool Interpreter::commandReplaceImage(const analyzer::Command& c) {
    analyzer::RecognitionImage* image = model_.recognitionImage(c[cmd::ReplaceImage::image]);
    if (!image) return true;
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return keepGoing();
    const FrameView frame = capture_.frame();
    const ImageView view = viewOf(*image);
    if (!view.valid() || image->left < 0 || image->top < 0 || image->left + view.width - 1 >= frame.width ||
        image->top + view.height - 1 >= frame.height) {
        return true;
    }
    ++imagesVersion_;
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

bool Interpreter::commandReadNumber(const analyzer::Command& c) {
    const int32_t areaSlot = c[cmd::ReadNumber::area];
    const int32_t target = c[cmd::ReadNumber::variable];
    if (areaSlot < 0 || areaSlot >= analyzer::kAreaCapacity || target < 0 || target >= analyzer::kVariableCapacity)
        return true;
    const analyzer::NumberPack* block = model_.numberPack(c[cmd::ReadNumber::pack]);
    NumberPackView pack;
    if (!block || !viewOf(*block, pack)) return true;
    const FreshCapture fresh = captureForCondition();
    if (!fresh.usable) return keepGoing();
    const analyzer::RecognitionArea& a = model_.image().areas[areaSlot];
    int64_t value = 0;
    readNumber(capture_.frame(), {a.left, a.top, a.width, a.height}, pack, c[cmd::ReadNumber::similarity], c[cmd::ReadNumber::arithmetic] == 1, value);
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

bool Interpreter::commandRunAnalyzer(const analyzer::Command& c) {
    if (!pollStatus(kPollIntervalMs) || !keepGoing()) return false;
    const std::string name = text::cp949ToUtf8(c[cmd::RunAnalyzer::name]);
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

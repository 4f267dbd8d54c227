// What a watcher is told: actions as text, and the conditions of one item
// tested on a still screen.
#include "runner/run_trace.h"

#include "base/clock.h"
#include "base/local_time.h"
#include "device/key_table.h"
#include "device/link.h"
#include "runner/interpreter.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace quillon::runner {

namespace {

namespace ac = action_code;

std::string buttonName(uint8_t button) {
    switch (button) {
    case mouse_button::kLeft: return "left";
    case mouse_button::kRight: return "right";
    case mouse_button::kMiddle: return "middle";
    default: return std::to_string(button);
    }
}

std::string keyName(uint8_t code) {
    static const KeyTable keys(KeyNames::AnalyzerEditor);
    std::string name(keys.nameOfCode(code));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty()) return name;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code);
    return hex;
}

std::string playText(const char* what, const Action& a) {
    const unsigned repeat = (static_cast<unsigned>(a.operands[1]) << 8) | a.operands[2];
    std::string text = std::string("play ") + what + " " + std::to_string(a.operands[0]);
    if (repeat > 1) text += " x " + std::to_string(repeat);
    return text;
}

std::string actionText(const Action& a, Size screen) {
    const auto lightText = [](const char* colour, bool on) { return std::string("light ") + colour + (on ? " on" : " off"); };
    switch (a.code) {
    case ac::kKeyDown: return "key down " + keyName(a.operands[0]);
    case ac::kKeyUp: return "key up " + keyName(a.operands[0]);
    case ac::kButtonDown: return "down " + buttonName(a.operands[0]);
    case ac::kButtonUp: return "up " + buttonName(a.operands[0]);
    case ac::kMoveTo: {
        DevicePoint device;
        device.x = static_cast<uint16_t>((a.operands[0] << 8) | a.operands[1]);
        device.y = static_cast<uint16_t>((a.operands[2] << 8) | a.operands[3]);
        int x = device.x, y = device.y;
        if (screen.width > 0 && screen.height > 0) fromDeviceScale(device, screen.width, screen.height, x, y);
        return "move " + std::to_string(x) + " " + std::to_string(y);
    }
    case ac::kWheel: return "wheel " + std::to_string(static_cast<int8_t>(a.operands[0]));
    case ac::kMoveBy:
        return "move by " + std::to_string(static_cast<int8_t>(a.operands[0])) + " " +
               std::to_string(static_cast<int8_t>(a.operands[1]));
    case ac::kPlayRecorded: return playText("recorded", a);
    case ac::kPlayEdit: return playText("edit", a);
    case ac::kPlayCombination: return playText("combination", a);
    case ac::kStopMacro: return "stop macro";
    case ac::kPauseMacro: return "pause macro";
    case ac::kResumeMacro: return "resume macro";
    case ac::kRemoteCommand: return "remote " + std::to_string(a.operands[0]);
    case ac::kKeyboardLock: return a.operands[0] ? "keyboard lock" : "keyboard unlock";
    case ac::kMouseLock: return a.operands[0] ? "mouse lock" : "mouse unlock";
    case ac::kRedOn: return lightText("red", true);
    case ac::kRedOff: return lightText("red", false);
    case ac::kYellowOn: return lightText("yellow", true);
    case ac::kYellowOff: return lightText("yellow", false);
    case ac::kGreenOn: return lightText("green", true);
    case ac::kGreenOff: return lightText("green", false);
    case ac::kComputerOff: return "computer off";
    default: {
        char hex[16];
        std::snprintf(hex, sizeof hex, "action 0x%02X", a.code);
        return hex;
    }
    }
}

std::string soundText(const SoundSeen& s) {
    switch (s.kind) {
    case SoundSeen::Kind::Play: return "sound " + s.path;
    case SoundSeen::Kind::Stop: return "sound stop";
    case SoundSeen::Kind::Beep: return "beep " + std::to_string(s.frequency) + " " + std::to_string(s.durationMs);
    }
    return "sound";
}

// A press at once followed by the release of the same key or button.
bool pressAndRelease(const Action& down, const Action& up) {
    return ((down.code == ac::kKeyDown && up.code == ac::kKeyUp) ||
            (down.code == ac::kButtonDown && up.code == ac::kButtonUp)) &&
           down.operands[0] == up.operands[0];
}

// The program's own sounds answer nothing and send nothing: the still test's
// host, with the local time of the computer for date conditions.
class StillHost final : public Host {
public:
    bool playSound(const std::string&) override { return false; }
    void stopSound() override {}
    void beep(int, int) override {}
    bool inputMethodOpen() override { return false; }
    LocalTime localTime() override { return localTimeNow(); }
    bool mainWindowShown() override { return false; }
    void requestStop(bool) override {}
    void switchWindow() override {}
    void showCurrentItem(int, const std::string&) override {}
    void showItemLabel(bool) override {}
    void showMacroPlaying(bool) override {}
    void showResultCode(int) override {}
    void showSoundPath(const std::string&) override {}
    void warn(const std::string&) override {}
};

class NoLoader final : public AnalyzerLoader {
public:
    int load(const std::string&, analyzer::AnalyzerModel&) override { return -1; }
};

} // namespace

std::vector<std::string> actionTexts(const ItemSeen& item) {
    std::vector<std::string> texts;
    texts.reserve(item.actions.size() + item.sounds.size());
    size_t sound = 0;
    auto soundsUpTo = [&](size_t actions) {
        while (sound < item.sounds.size() && sound < item.soundAfter.size() && item.soundAfter[sound] <= actions) {
            texts.push_back(soundText(item.sounds[sound++]));
        }
    };
    const auto& actions = item.actions;
    for (size_t i = 0; i < actions.size(); ++i) {
        soundsUpTo(i);
        const bool soundBetween = sound < item.soundAfter.size() && item.soundAfter[sound] == i + 1;
        if (i + 1 < actions.size() && !soundBetween && pressAndRelease(actions[i], actions[i + 1])) {
            texts.push_back(actions[i].code == ac::kKeyDown ? "key " + keyName(actions[i].operands[0])
                                                            : "click " + buttonName(actions[i].operands[0]));
            ++i;
            continue;
        }
        texts.push_back(actionText(actions[i], item.screen));
    }
    soundsUpTo(actions.size());
    // Sounds whose place was not given come last.
    while (sound < item.sounds.size()) texts.push_back(soundText(item.sounds[sound++]));
    return texts;
}

std::vector<ConditionSeen> testConditionsOnScreen(const analyzer::AnalyzerModel& model, const analyzer::Item& item,
                                                  Screen& screen) {
    // Condition evaluation only reads the analyzer; the interpreter takes it
    // as the run's, which commands may change, and none runs here.
    auto& readOnly = const_cast<analyzer::AnalyzerModel&>(model);
    VirtualClock clock(0);
    Link noMachine(Program::AnalyzerRunner, clock); // no transport: nothing could leave
    StillHost host;
    NoLoader loader;
    auto interpreter = std::make_unique<Interpreter>(readOnly, noMachine, screen, host, clock, loader, RunSettings{});
    // The capture buffer's pages stay between tests: touching 8 MB of fresh
    // pages costs more than the comparisons.
    static std::mutex spareLock;
    static CaptureBuffer spare;
    std::lock_guard<std::mutex> hold(spareLock);
    CaptureBuffer& buffer = interpreter->capture().buffer();
    buffer.swapPixels(spare);
    std::vector<ConditionSeen> seen = interpreter->testConditions(item);
    buffer.swapPixels(spare);
    return seen;
}

} // namespace quillon::runner

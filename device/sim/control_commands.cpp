#include "device/sim/control_commands.h"

#include "base/file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace quillon::sim {

namespace {

bool parseNumber(const std::string& text, long max, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0' && value >= 0 && value <= max;
}

bool parseByte(const std::string& text, uint8_t& value) {
    long v = 0;
    if (!parseNumber(text, 255, v)) {
        return false;
    }
    value = static_cast<uint8_t>(v);
    return true;
}

} // namespace

ControlResult runControlCommand(SimulatedMachine& machine, const std::string& line, std::string& reply) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    if (words.empty() || words[0][0] == '#') {
        return ControlResult::Done;
    }
    const std::string& name = words[0];
    auto arg = [&words](size_t i) { return i < words.size() ? words[i] : std::string(); };
    auto error = [&reply](const std::string& text) {
        reply = std::string("error: ").append(text);
        return ControlResult::Error;
    };
    uint8_t byte = 0;
    long number = 0;

    if (name == "quit" || name == "exit") {
        return ControlResult::Quit;
    }
    if (name == "hotkey") {
        if (!parseByte(arg(1), byte)) return error("hotkey CODE");
        machine.injectHotkey(byte);
    } else if (name == "signal") {
        if (!parseByte(arg(1), byte)) return error("signal VALUE");
        machine.injectSignal(byte);
    } else if (name == "remote") {
        if (!parseNumber(arg(1), 250, number)) return error("remote N (0..250)");
        machine.injectRemoteCommand(static_cast<uint8_t>(number));
    } else if (name == "held") {
        std::array<uint8_t, 6> keys{};
        if (words.size() > 7) return error("held takes at most six key codes");
        for (size_t i = 1; i < words.size(); ++i) {
            if (!parseByte(words[i], keys[i - 1])) return error("held K1 .. K6");
        }
        machine.setHeldKeys(keys);
    } else if (name == "status-none") {
        number = 1;
        if (words.size() > 1 && !parseNumber(arg(1), 10000, number)) return error("status-none [N]");
        ScriptedStatus none;
        none.marked = false;
        for (long i = 0; i < number; ++i) machine.scriptStatus(none);
    } else if (name == "status") {
        ScriptedStatus status;
        for (size_t i = 1; i < words.size(); ++i) {
            const size_t eq = words[i].find('=');
            if (eq == std::string::npos) return error("status field=value ...");
            const std::string key = words[i].substr(0, eq);
            const std::string value = words[i].substr(eq + 1);
            if (key == "hotkey" && parseByte(value, byte)) {
                status.hotkey = byte;
            } else if (key == "macro" && value == "playing") {
                status.macroState = 0xB0;
            } else if (key == "macro" && value == "stopped") {
                status.macroState = 0xB1;
            } else if (key == "macro" && parseByte(value, byte)) {
                status.macroState = byte;
            } else if (key == "remote" && parseByte(value, byte)) {
                status.remoteCommand = byte;
            } else if (key == "flags" && parseByte(value, byte)) {
                status.flags = byte;
            } else if (key == "held") {
                std::array<uint8_t, 6> keys{};
                std::istringstream list(value);
                size_t count = 0;
                for (std::string item; std::getline(list, item, ',');) {
                    if (count >= keys.size() || !parseByte(item, keys[count])) return error("held=K,K.. (six at most)");
                    ++count;
                }
                status.heldKeys = keys;
            } else {
                return error(std::string("status: bad field '").append(words[i]).append("'"));
            }
        }
        machine.scriptStatus(status);
    } else if (name == "fault") {
        const std::string kind = arg(1);
        long after = 0;
        if (words.size() > 2 && !parseNumber(arg(2), 1L << 30, after)) return error("fault KIND [AFTER]");
        if (words.size() > 4 && arg(3) == "on") {
            long code = 0;
            if (!parseNumber(arg(4), 0xFF, code)) return error("fault KIND AFTER on CODE");
            const FaultKind k = kind == "silence" ? FaultKind::Silence
                                : kind == "garbage" ? FaultKind::Garbage
                                : kind == "unplug"  ? FaultKind::Unplug
                                                    : FaultKind::None;
            if (k == FaultKind::None) return error("fault silence|garbage|unplug AFTER on CODE");
            machine.setFaultOnCommand(k, static_cast<uint8_t>(code), static_cast<uint64_t>(after));
            return ControlResult::Done;
        }
        const uint64_t at = machine.frameCount() + static_cast<uint64_t>(after);
        if (kind == "none") machine.clearFault();
        else if (kind == "silence") machine.setFault(FaultKind::Silence, at);
        else if (kind == "garbage") machine.setFault(FaultKind::Garbage, at);
        else if (kind == "unplug") machine.setFault(FaultKind::Unplug, at);
        else return error("fault silence|garbage|unplug|none [AFTER]");
    } else if (name == "wrong-magic") {
        if (arg(1) != "on" && arg(1) != "off") return error("wrong-magic on|off");
        machine.setWrongMagic(arg(1) == "on");
    } else if (name == "mode-ack-delay") {
        if (!parseNumber(arg(1), 1000, number)) return error("mode-ack-delay N");
        machine.setModeAcknowledgementDelay(static_cast<int>(number));
    } else if (name == "answer-pace") {
        if (!parseNumber(arg(1), 5000, number)) return error("answer-pace MS");
        machine.setSerialAnswerPace(static_cast<int>(number));
    } else if (name == "macro-polls") {
        if (!parseNumber(arg(1), 1000000, number)) return error("macro-polls N");
        machine.setMacroPlayPolls(static_cast<int>(number));
    } else if (name == "screen") {
        int w = 0, h = 0;
        if (std::sscanf(arg(1).c_str(), "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) return error("screen WxH");
        machine.setScreenSize(w, h);
    } else if (name == "reset") {
        machine.resetToDefaults();
    } else if (name == "dump") {
        const std::string json = machine.stateJson();
        if (words.size() > 1) {
            const std::string text = std::string(json).append("\n");
            if (!writeFileAtomic(arg(1), reinterpret_cast<const uint8_t*>(text.data()), text.size())) {
                return error(std::string("cannot write ").append(arg(1)));
            }
            reply = "ok";
        } else {
            reply = json;
        }
        return ControlResult::Done;
    } else {
        return error(std::string("unknown command '").append(name).append("' (see --help)"));
    }
    reply = "ok";
    return ControlResult::Done;
}

} // namespace quillon::sim

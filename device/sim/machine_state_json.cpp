// The simulated machine's state as one JSON object (machine-sim's "dump").
#include "base/byte_order.h"
#include "device/sim/action_log.h"
#include "device/sim/simulated_machine.h"

namespace quillon::sim {

namespace {

const char* modeName(MachineMode mode) {
    switch (mode) {
    case MachineMode::Normal: return "normal";
    case MachineMode::Screenshot: return "screenshot";
    case MachineMode::Analysis: return "analysis";
    }
    return "normal";
}

const char* faultName(FaultKind kind) {
    switch (kind) {
    case FaultKind::None: return "none";
    case FaultKind::Silence: return "silence";
    case FaultKind::Garbage: return "garbage";
    case FaultKind::Unplug: return "unplug";
    }
    return "none";
}

// Appends pieces; GCC warns falsely about `"literal" + std::string` chains.
void add(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) {
        out.append(piece.data(), piece.size());
    }
}

std::string num(uint64_t value) { return std::to_string(value); }
const char* flag(bool value) { return value ? "true" : "false"; }

std::string bytesArray(const uint8_t* bytes, size_t count) {
    std::string out = "[";
    for (size_t i = 0; i < count; ++i) {
        add(out, {i ? "," : "", num(bytes[i])});
    }
    out += "]";
    return out;
}

std::string memoriesJson(const SimMemory* memories, size_t count, size_t lengthOffset, bool wideLength) {
    std::string out = "[";
    bool first = true;
    for (size_t i = 0; i < count; ++i) {
        const SimMemory& m = memories[i];
        if (m.header.size() < lengthOffset + 4 || (m.header[0] == 0 && m.header[1] == 0)) {
            continue;
        }
        const uint32_t length =
            wideLength ? loadBe32(m.header.data() + lengthOffset) : loadBe16(m.header.data() + lengthOffset);
        add(out, {first ? "" : ",", "{\"index\":", num(i), ",\"magic\":", num(loadBe16(m.header.data())),
                  ",\"length\":", num(length), ",\"bodyBytes\":", num(m.body.size()), ",\"body\":\"", hexBytes(m.body), "\"}"});
        first = false;
    }
    out += "]";
    return out;
}

} // namespace

std::string SimulatedMachine::stateJson() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string out = "{";
    add(out, {"\"mode\":\"", modeName(mode_), "\""});
    add(out, {",\"frames\":", num(frames_), ",\"linkTests\":", num(linkTests_)});
    add(out, {",\"fault\":{\"kind\":\"", faultName(faultKind_), "\",\"atFrame\":", num(faultAtFrame_),
              ",\"active\":", flag(faultActive_), ",\"wrongMagic\":", flag(wrongMagic_), "}"});
    add(out, {",\"optionRecord\":\"", hexBytes(optionRecord_), "\""});
    add(out, {",\"hotkeyRecord\":\"", hexBytes(hotkeyRecord_), "\""});
    add(out, {",\"recorded\":", memoriesJson(recorded_.data(), recorded_.size(), 46, true)});
    add(out, {",\"edit\":", memoriesJson(edit_.data(), edit_.size(), 46, false)});
    add(out, {",\"combination\":", memoriesJson(combination_.data(), combination_.size(), 46, false)});
    add(out, {",\"autoClick\":\"", hexBytes(autoClick_), "\""});
    add(out, {",\"pressedKeys\":", bytesArray(pressedKeys_.data(), pressedKeys_.size())});
    add(out, {",\"pressedButtons\":", num(pressedButtons_)});
    add(out, {",\"pointer\":{\"x\":", std::to_string(pointerX_), ",\"y\":", std::to_string(pointerY_), "}"});
    add(out, {",\"screen\":{\"width\":", std::to_string(screenWidth_), ",\"height\":",
              std::to_string(screenHeight_), "}"});
    add(out, {",\"heldKeys\":", bytesArray(heldKeys_.data(), heldKeys_.size())});
    add(out, {",\"macroPlaying\":", flag(macroPlaying_), ",\"macroPaused\":", flag(macroPaused_)});
    add(out, {",\"keyboardLocked\":", flag(keyboardLocked_), ",\"mouseLocked\":", flag(mouseLocked_)});
    add(out, {",\"lights\":{\"red\":", flag(lights_[0]), ",\"yellow\":", flag(lights_[1]),
              ",\"green\":", flag(lights_[2]), "}"});
    add(out, {",\"computerOff\":", flag(computerOff_)});
    if (scheduled_) {
        add(out, {",\"scheduled\":{\"kind\":", num(scheduled_->first), ",\"index\":", num(scheduled_->second),
                  "}"});
    } else {
        out += ",\"scheduled\":null";
    }
    add(out, {",\"pendingSignals\":", num(signals_.size()), ",\"scriptedStatuses\":", num(statusScript_.size())});
    out += ",\"actions\":[";
    for (size_t i = 0; i < actions_.size(); ++i) {
        add(out, {i ? "," : "", actionJson(actions_[i], screenWidth_, screenHeight_)});
    }
    out += "]}";
    return out;
}

} // namespace quillon::sim

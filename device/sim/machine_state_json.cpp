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

std::string bytesArray(const uint8_t* bytes, size_t count) {
    std::string out = "[";
    for (size_t i = 0; i < count; ++i) {
        out += (i ? "," : "") + std::to_string(bytes[i]);
    }
    return out + "]";
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
        out += first ? "" : ",";
        first = false;
        out += "{\"index\":" + std::to_string(i) + ",\"magic\":" + std::to_string(loadBe16(m.header.data())) +
               ",\"length\":" + std::to_string(length) + ",\"bodyBytes\":" + std::to_string(m.body.size()) + "}";
    }
    return out + "]";
}

} // namespace

std::string SimulatedMachine::stateJson() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string out = "{";
    out += "\"mode\":\"" + std::string(modeName(mode_)) + "\"";
    out += ",\"frames\":" + std::to_string(frames_);
    out += ",\"linkTests\":" + std::to_string(linkTests_);
    out += ",\"fault\":{\"kind\":\"" + std::string(faultName(faultKind_)) +
           "\",\"atFrame\":" + std::to_string(faultAtFrame_) + ",\"active\":" + (faultActive_ ? "true" : "false") +
           ",\"wrongMagic\":" + (wrongMagic_ ? "true" : "false") + "}";
    out += ",\"optionRecord\":\"" + hexBytes(optionRecord_) + "\"";
    out += ",\"hotkeyRecord\":\"" + hexBytes(hotkeyRecord_) + "\"";
    out += ",\"recorded\":" + memoriesJson(recorded_.data(), recorded_.size(), 46, true);
    out += ",\"edit\":" + memoriesJson(edit_.data(), edit_.size(), 46, false);
    out += ",\"combination\":" + memoriesJson(combination_.data(), combination_.size(), 46, false);
    out += ",\"pressedKeys\":" + bytesArray(pressedKeys_.data(), pressedKeys_.size());
    out += ",\"pressedButtons\":" + std::to_string(pressedButtons_);
    out += ",\"pointer\":{\"x\":" + std::to_string(pointerX_) + ",\"y\":" + std::to_string(pointerY_) + "}";
    out += ",\"screen\":{\"width\":" + std::to_string(screenWidth_) + ",\"height\":" + std::to_string(screenHeight_) +
           "}";
    out += ",\"heldKeys\":" + bytesArray(heldKeys_.data(), heldKeys_.size());
    out += std::string(",\"macroPlaying\":") + (macroPlaying_ ? "true" : "false");
    out += std::string(",\"macroPaused\":") + (macroPaused_ ? "true" : "false");
    out += std::string(",\"keyboardLocked\":") + (keyboardLocked_ ? "true" : "false");
    out += std::string(",\"mouseLocked\":") + (mouseLocked_ ? "true" : "false");
    out += std::string(",\"lights\":{\"red\":") + (lights_[0] ? "true" : "false") +
           ",\"yellow\":" + (lights_[1] ? "true" : "false") + ",\"green\":" + (lights_[2] ? "true" : "false") + "}";
    out += std::string(",\"computerOff\":") + (computerOff_ ? "true" : "false");
    if (scheduled_) {
        out += ",\"scheduled\":{\"kind\":" + std::to_string(scheduled_->first) +
               ",\"index\":" + std::to_string(scheduled_->second) + "}";
    } else {
        out += ",\"scheduled\":null";
    }
    out += ",\"pendingSignals\":" + std::to_string(signals_.size());
    out += ",\"scriptedStatuses\":" + std::to_string(statusScript_.size());
    out += ",\"actions\":[";
    for (size_t i = 0; i < actions_.size(); ++i) {
        out += (i ? "," : "") + actionJson(actions_[i], screenWidth_, screenHeight_);
    }
    out += "]}";
    return out;
}

} // namespace quillon::sim

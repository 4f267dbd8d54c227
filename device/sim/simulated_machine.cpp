#include "device/sim/simulated_machine.h"

#include "base/byte_order.h"
#include "device/actions.h"
#include "device/frame.h"

#include <algorithm>

namespace quillon::sim {

using Lock = std::lock_guard<std::recursive_mutex>;

std::vector<uint8_t> defaultOptionRecordBytes() {
    std::vector<uint8_t> bytes(298);
    storeBe16(bytes.data(), 0x5678);
    for (size_t i = 2; i < 289; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 37 + 11); // device data the programs carry unread
    }
    storeBe16(bytes.data() + 289, 0x0004); // coordinate mouse
    bytes[291] = 10;                        // mouse speed
    storeBe32(bytes.data() + 292, 20261208); // device number
    storeBe16(bytes.data() + 296, 0x0103);  // firmware 01.03
    return bytes;
}

std::vector<uint8_t> defaultHotkeyRecordBytes() {
    std::vector<uint8_t> bytes(32, 0);
    storeBe16(bytes.data(), 0x4488);
    const uint8_t keys[30] = {
        0x3A, 0x3B, 0x3C, 0x3D,                         // F1..F4: record, play, edit, combination
        0x1E, 0x1F, 0x20, 0x21,                         // bank keys 1..4
        0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, // memory keys 1..8
        0x29,                                           // stop: Esc
        0x47, 0x48,                                     // keyboard and mouse lock
        0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44,       // speed keys F5..F11
        1, 4,                                           // NumLock schedules, ScrollLock screenshots
        0xFF, 0x00,                                     // no key pair
    };
    std::copy(std::begin(keys), std::end(keys), bytes.begin() + 2);
    return bytes;
}

SimulatedMachine::SimulatedMachine(Clock& clock) : clock_(clock) { resetToDefaults(); }

void SimulatedMachine::resetToDefaults() {
    Lock lock(mutex_);
    optionRecord_ = defaultOptionRecordBytes();
    hotkeyRecord_ = defaultHotkeyRecordBytes();
    for (auto& m : recorded_) m = {std::vector<uint8_t>(kRecordedHeaderSize, 0), {}};
    for (auto& m : edit_) m = {std::vector<uint8_t>(kEditHeaderSize, 0), {}};
    for (auto& m : combination_) m = {std::vector<uint8_t>(kCombinationHeaderSize, 0), {}};
    autoClick_.assign(kAutoClickBlockSize, 0);
}

// ---- faults -----------------------------------------------------------------

FrameFate SimulatedMachine::frameArrives() {
    Lock lock(mutex_);
    const uint64_t index = frames_++;
    if (faultKind_ != FaultKind::None && index >= faultAtFrame_ && !faultActive_) {
        faultActive_ = true;
    }
    if (!faultActive_) {
        return FrameFate::Accept;
    }
    switch (faultKind_) {
    case FaultKind::Unplug:
        return FrameFate::Unplugged;
    case FaultKind::Silence:
        return FrameFate::Swallow;
    default:
        return FrameFate::Accept;
    }
}

bool SimulatedMachine::unplugged() const {
    Lock lock(mutex_);
    return faultActive_ && faultKind_ == FaultKind::Unplug;
}

bool SimulatedMachine::silent() const {
    Lock lock(mutex_);
    return faultActive_ && faultKind_ == FaultKind::Silence;
}

void SimulatedMachine::garble(std::vector<uint8_t>& bytes) const {
    Lock lock(mutex_);
    if (faultActive_ && faultKind_ == FaultKind::Garbage) {
        for (auto& b : bytes) {
            b ^= 0x5A;
        }
    }
}

void SimulatedMachine::setFault(FaultKind kind, uint64_t atFrame) {
    Lock lock(mutex_);
    faultKind_ = kind;
    faultAtFrame_ = atFrame;
    faultActive_ = kind != FaultKind::None && atFrame <= frames_;
}

void SimulatedMachine::clearFault() {
    Lock lock(mutex_);
    faultOnCommand_.reset();
    setFault(FaultKind::None, 0);
}

void SimulatedMachine::setFaultOnCommand(FaultKind kind, uint8_t code, uint64_t afterFrames) {
    Lock lock(mutex_);
    faultOnCommand_ = code;
    faultOnCommandKind_ = kind;
    faultOnCommandAfter_ = afterFrames;
}

void SimulatedMachine::setWrongMagic(bool wrong) {
    Lock lock(mutex_);
    wrongMagic_ = wrong;
}

void SimulatedMachine::setModeAcknowledgementDelay(int reads) {
    Lock lock(mutex_);
    modeAckDelay_ = reads;
}

int SimulatedMachine::modeAcknowledgementDelay() const {
    Lock lock(mutex_);
    return modeAckDelay_;
}

void SimulatedMachine::setSerialAnswerPace(int milliseconds) {
    Lock lock(mutex_);
    serialAnswerPace_ = milliseconds;
}

int SimulatedMachine::serialAnswerPace() const {
    Lock lock(mutex_);
    return serialAnswerPace_;
}

// ---- responses ----------------------------------------------------------------

MachineResponse SimulatedMachine::reply(uint8_t first) const {
    MachineResponse response;
    response.kind = MachineResponse::Kind::Reply;
    response.bytes = {first};
    return response;
}

MachineResponse SimulatedMachine::blockOut(std::vector<uint8_t> bytes) const {
    MachineResponse response;
    response.kind = MachineResponse::Kind::BlockOut;
    response.bytes = std::move(bytes);
    return response;
}

MachineResponse SimulatedMachine::blockIn(size_t length,
                                          std::function<void(const std::vector<uint8_t>&)> store) const {
    MachineResponse response;
    response.kind = MachineResponse::Kind::BlockIn;
    response.bytes = {kModeAcknowledged};
    response.blockInLength = length;
    response.storeBlock = std::move(store);
    return response;
}

namespace {

size_t recordedBodyLength(const SimMemory& memory) {
    return std::min<size_t>(loadBe32(memory.header.data() + 46), kMaxBodySize);
}

size_t shortBodyLength(const SimMemory& memory) { return loadBe16(memory.header.data() + 46); }

std::vector<uint8_t> bodyOf(const SimMemory& memory, size_t length) {
    std::vector<uint8_t> body = memory.body;
    body.resize(length, 0);
    return body;
}

} // namespace

MachineResponse SimulatedMachine::handleCommand(const uint8_t* payload, size_t length) {
    Lock lock(mutex_);
    if (length == 0) {
        return {};
    }
    const uint8_t code = payload[0];
    if (faultOnCommand_ && *faultOnCommand_ == code) {
        // Counted from the frame after this command: 0 is the next frame.
        faultOnCommand_.reset();
        faultKind_ = faultOnCommandKind_;
        faultAtFrame_ = frames_ + faultOnCommandAfter_;
        faultActive_ = false;
    }
    const uint8_t index = length > 1 ? payload[1] : 0;
    const size_t bodyLength = length > 3 ? static_cast<size_t>(loadBe16(payload + 2)) : 0;
    auto storeInto = [this](std::vector<uint8_t>& target) {
        return [this, &target](const std::vector<uint8_t>& bytes) {
            Lock inner(mutex_);
            target = bytes;
        };
    };
    switch (code) {
    case command::kReadOptionRecord: {
        auto bytes = optionRecord_;
        if (wrongMagic_) bytes[0] ^= 0xFF;
        return blockOut(bytes);
    }
    case command::kWriteOptionRecord:
        return blockIn(optionRecord_.size(), storeInto(optionRecord_));
    case command::kReadHotkeyRecord: {
        auto bytes = hotkeyRecord_;
        if (wrongMagic_) bytes[0] ^= 0xFF;
        return blockOut(bytes);
    }
    case command::kWriteHotkeyRecord:
        return blockIn(hotkeyRecord_.size(), storeInto(hotkeyRecord_));
    case command::kResetHotkeys:
        hotkeyRecord_ = defaultHotkeyRecordBytes();
        return reply(kModeAcknowledged);
    case command::kEnterScreenshotMode:
        mode_ = MachineMode::Screenshot;
        return reply(kModeAcknowledged);
    case command::kEnterNormalMode:
    case command::kLeaveAnalysisMode:
        mode_ = MachineMode::Normal;
        return reply(kModeAcknowledged);
    case command::kEnterAnalysisMode:
        mode_ = MachineMode::Analysis;
        return reply(kModeAcknowledged);
    case command::kScheduleMacro:
        scheduled_ = std::make_pair(index, length > 2 ? payload[2] : uint8_t{0});
        return reply(kModeAcknowledged);
    case command::kCancelScheduledMacro:
        scheduled_.reset();
        return reply(kModeAcknowledged);
    case command::kLinkTest:
        ++linkTests_;
        return reply(kLinkTestAnswer);
    case command::kAction:
        return handleAction(payload + 1, length - 1);
    default:
        break;
    }
    // Macro memories.
    const bool recordedIndex = index < kRecordedMemories;
    const bool editIndex = index < kEditMemories;
    const bool combinationIndex = index < kCombinationMemories;
    switch (code) {
    case command::kWriteRecordedHeader:
        if (recordedIndex) return blockIn(kRecordedHeaderSize, storeInto(recorded_[index].header));
        break;
    case command::kReadRecordedHeader:
        if (recordedIndex) return blockOut(recorded_[index].header);
        break;
    case command::kWriteRecordedBody:
        if (recordedIndex) return blockIn(recordedBodyLength(recorded_[index]), storeInto(recorded_[index].body));
        break;
    case command::kReadRecordedBody:
        if (recordedIndex) return blockOut(bodyOf(recorded_[index], recordedBodyLength(recorded_[index])));
        break;
    case command::kWriteCombinationHeader:
        if (combinationIndex) return blockIn(kCombinationHeaderSize, storeInto(combination_[index].header));
        break;
    case command::kReadCombinationHeader:
        if (combinationIndex) return blockOut(combination_[index].header);
        break;
    case command::kWriteCombinationBody:
        if (combinationIndex && length > 3) return blockIn(bodyLength, storeInto(combination_[index].body));
        break;
    case command::kReadCombinationBody:
        if (combinationIndex)
            return blockOut(bodyOf(combination_[index], shortBodyLength(combination_[index])));
        break;
    case command::kWriteEditHeader:
        if (editIndex) return blockIn(kEditHeaderSize, storeInto(edit_[index].header));
        break;
    case command::kReadEditHeader:
        if (editIndex) return blockOut(edit_[index].header);
        break;
    case command::kWriteEditBody:
        if (editIndex && length > 3) return blockIn(bodyLength, storeInto(edit_[index].body));
        break;
    case command::kReadEditBody:
        if (editIndex) return blockOut(bodyOf(edit_[index], shortBodyLength(edit_[index])));
        break;
    case command::kWriteAutoClickBlock:
        return blockIn(kAutoClickBlockSize, storeInto(autoClick_));
    case command::kReadAutoClickBlock:
        return blockOut(autoClick_);
    default:
        break;
    }
    // What the machine does with anything else is its own affair: no answer.
    return {};
}

namespace {

// Operand count of each action code; -1 for codes the programs never send.
int operandCountOf(uint8_t code) {
    switch (code) {
    case action_code::kKeyDown:
    case action_code::kKeyUp:
    case action_code::kButtonDown:
    case action_code::kButtonUp:
    case action_code::kWheel:
    case action_code::kRemoteCommand:
    case action_code::kKeyboardLock:
    case action_code::kMouseLock:
        return 1;
    case action_code::kMoveBy:
        return 2;
    case action_code::kPlayRecorded:
    case action_code::kPlayEdit:
    case action_code::kPlayCombination:
        return 3;
    case action_code::kMoveTo:
        return 4;
    case action_code::kStopMacro:
    case action_code::kPauseMacro:
    case action_code::kResumeMacro:
    case action_code::kRedOn:
    case action_code::kRedOff:
    case action_code::kYellowOn:
    case action_code::kYellowOff:
    case action_code::kGreenOn:
    case action_code::kGreenOff:
    case action_code::kComputerOff:
    case action_code::kStatusRequest:
        return 0;
    default:
        return -1;
    }
}

} // namespace

MachineResponse SimulatedMachine::handleAction(const uint8_t* p, size_t length) {
    if (length == 0) {
        return {};
    }
    LoggedAction action;
    action.time = clock_.tickCount();
    action.code = p[0];
    int count = operandCountOf(action.code);
    if (count < 0) {
        // Unknown: keep the operands up to the terminator.
        count = 0;
        while (1 + static_cast<size_t>(count) < length && p[1 + count] != kActionTerminator) {
            ++count;
        }
    }
    if (1 + static_cast<size_t>(count) > length) {
        return {};
    }
    action.operands.assign(p + 1, p + 1 + count);
    const uint8_t* o = action.operands.data();
    switch (action.code) {
    case action_code::kKeyDown:
        if (std::find(pressedKeys_.begin(), pressedKeys_.end(), o[0]) == pressedKeys_.end()) {
            pressedKeys_.push_back(o[0]);
        }
        break;
    case action_code::kKeyUp:
        pressedKeys_.erase(std::remove(pressedKeys_.begin(), pressedKeys_.end(), o[0]), pressedKeys_.end());
        break;
    case action_code::kButtonDown:
        pressedButtons_ |= o[0];
        break;
    case action_code::kButtonUp:
        pressedButtons_ &= static_cast<uint8_t>(~o[0]);
        break;
    case action_code::kMoveTo:
        fromDeviceScale({loadBe16(o), loadBe16(o + 2)}, screenWidth_, screenHeight_, pointerX_, pointerY_);
        break;
    case action_code::kMoveBy:
        pointerX_ = std::clamp(pointerX_ + static_cast<int8_t>(o[0]), 0, screenWidth_ - 1);
        pointerY_ = std::clamp(pointerY_ + static_cast<int8_t>(o[1]), 0, screenHeight_ - 1);
        break;
    case action_code::kPlayRecorded:
    case action_code::kPlayEdit:
    case action_code::kPlayCombination:
        macroPlaying_ = true;
        macroPaused_ = false;
        macroPollsLeft_ = macroPlayPolls_;
        break;
    case action_code::kStopMacro:
        macroPlaying_ = false;
        macroPaused_ = false;
        break;
    case action_code::kPauseMacro:
        macroPaused_ = macroPlaying_;
        break;
    case action_code::kResumeMacro:
        macroPaused_ = false;
        break;
    case action_code::kKeyboardLock:
        keyboardLocked_ = o[0] != 0;
        break;
    case action_code::kMouseLock:
        mouseLocked_ = o[0] != 0;
        break;
    case action_code::kRedOn:
    case action_code::kRedOff:
    case action_code::kYellowOn:
    case action_code::kYellowOff:
    case action_code::kGreenOn:
    case action_code::kGreenOff:
        lights_[(action.code - action_code::kRedOn) / 2] = (action.code & 1) == 0;
        break;
    case action_code::kComputerOff:
        computerOff_ = true;
        break;
    default:
        break;
    }
    actions_.push_back(action);
    if (actionListener_) {
        actionListener_(action);
    }
    if (action.code == action_code::kStatusRequest) {
        MachineResponse response;
        response.kind = MachineResponse::Kind::RawReply;
        response.bytes = nextStatus();
        return response;
    }
    return {};
}

std::vector<uint8_t> SimulatedMachine::nextStatus() {
    ScriptedStatus scripted;
    if (!statusScript_.empty()) {
        scripted = statusScript_.front();
        statusScript_.pop_front();
    }
    std::vector<uint8_t> bytes(kStatusReplySize, 0);
    if (!scripted.marked) {
        // No status yet: whatever the other bytes hold, byte 1 is not 0xC5.
        bytes = {0x00, 0x11, kMacroPlaying, 0x05, 0x04, 0, 0, 0, 0, 0, 0};
        return bytes;
    }
    bytes[0] = kStatusMark;
    if (scripted.hotkey != 0) {
        bytes[1] = scripted.hotkey;
    } else if (pendingHotkey_) {
        bytes[1] = *pendingHotkey_;
        pendingHotkey_.reset();
    }
    bytes[2] = scripted.macroState.value_or(macroPlaying_ ? kMacroPlaying : kMacroNotPlaying);
    if (scripted.remoteCommand) {
        bytes[3] = *scripted.remoteCommand;
    } else if (pendingRemote_) {
        bytes[3] = *pendingRemote_;
        pendingRemote_.reset();
    } else {
        bytes[3] = kNoRemoteCommand;
    }
    const auto held = scripted.heldKeys.value_or(heldKeys_);
    std::copy(held.begin(), held.end(), bytes.begin() + 4);
    bytes[10] = scripted.flags;
    if (macroPlaying_ && !macroPaused_ && macroPlayPolls_ > 0 && --macroPollsLeft_ <= 0) {
        macroPlaying_ = false;
    }
    return bytes;
}

std::optional<uint8_t> SimulatedMachine::takeSignal() {
    Lock lock(mutex_);
    if (mode_ != MachineMode::Screenshot || signals_.empty()) {
        return std::nullopt;
    }
    const uint8_t signal = signals_.front();
    signals_.pop_front();
    return signal;
}

// ---- control --------------------------------------------------------------

void SimulatedMachine::injectHotkey(uint8_t code) {
    Lock lock(mutex_);
    pendingHotkey_ = code;
}

void SimulatedMachine::injectSignal(uint8_t signal) {
    Lock lock(mutex_);
    signals_.push_back(signal);
}

void SimulatedMachine::injectRemoteCommand(uint8_t number) {
    Lock lock(mutex_);
    pendingRemote_ = number;
}

void SimulatedMachine::setHeldKeys(const std::array<uint8_t, 6>& keys) {
    Lock lock(mutex_);
    heldKeys_ = keys;
}

void SimulatedMachine::scriptStatus(const ScriptedStatus& status) {
    Lock lock(mutex_);
    statusScript_.push_back(status);
}

void SimulatedMachine::setMacroPlayPolls(int polls) {
    Lock lock(mutex_);
    macroPlayPolls_ = polls;
}

void SimulatedMachine::setScreenSize(int width, int height) {
    Lock lock(mutex_);
    if (width > 0 && height > 0) {
        screenWidth_ = width;
        screenHeight_ = height;
    }
}

void SimulatedMachine::setActionListener(std::function<void(const LoggedAction&)> listener) {
    Lock lock(mutex_);
    actionListener_ = std::move(listener);
}

// ---- state ------------------------------------------------------------------

uint64_t SimulatedMachine::frameCount() const {
    Lock lock(mutex_);
    return frames_;
}

MachineMode SimulatedMachine::mode() const {
    Lock lock(mutex_);
    return mode_;
}

std::vector<LoggedAction> SimulatedMachine::actions() const {
    Lock lock(mutex_);
    return actions_;
}

std::vector<uint8_t> SimulatedMachine::optionRecordBytes() const {
    Lock lock(mutex_);
    return optionRecord_;
}

void SimulatedMachine::setOptionRecordBytes(const std::vector<uint8_t>& bytes) {
    Lock lock(mutex_);
    if (bytes.size() == optionRecord_.size()) {
        optionRecord_ = bytes;
    }
}

std::vector<uint8_t> SimulatedMachine::hotkeyRecordBytes() const {
    Lock lock(mutex_);
    return hotkeyRecord_;
}

SimMemory SimulatedMachine::recordedMemory(size_t index) const {
    Lock lock(mutex_);
    return index < recorded_.size() ? recorded_[index] : SimMemory{};
}

SimMemory SimulatedMachine::editMemory(size_t index) const {
    Lock lock(mutex_);
    return index < edit_.size() ? edit_[index] : SimMemory{};
}

SimMemory SimulatedMachine::combinationMemory(size_t index) const {
    Lock lock(mutex_);
    return index < combination_.size() ? combination_[index] : SimMemory{};
}

std::vector<uint8_t> SimulatedMachine::autoClickBlock() const {
    Lock lock(mutex_);
    return autoClick_;
}

size_t SimulatedMachine::linkTests() const {
    Lock lock(mutex_);
    return linkTests_;
}

} // namespace quillon::sim

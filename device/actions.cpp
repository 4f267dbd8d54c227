#include "device/actions.h"

#include "base/byte_order.h"

#include <cstring>

namespace quillon {

namespace {

Action make(uint8_t code, std::initializer_list<uint8_t> operands = {}) {
    Action action;
    action.code = code;
    for (uint8_t operand : operands) {
        action.operands[action.operandCount++] = operand;
    }
    return action;
}

Action play(uint8_t code, uint8_t slot, uint16_t repeat) {
    return make(code, {slot, static_cast<uint8_t>(repeat >> 8), static_cast<uint8_t>(repeat)});
}

} // namespace

Action Action::keyDown(uint8_t keyCode) { return make(action_code::kKeyDown, {keyCode}); }
Action Action::keyUp(uint8_t keyCode) { return make(action_code::kKeyUp, {keyCode}); }
Action Action::buttonDown(uint8_t button) { return make(action_code::kButtonDown, {button}); }
Action Action::buttonUp(uint8_t button) { return make(action_code::kButtonUp, {button}); }
Action Action::moveTo(uint16_t x, uint16_t y) {
    return make(action_code::kMoveTo, {static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(x),
                                       static_cast<uint8_t>(y >> 8), static_cast<uint8_t>(y)});
}
Action Action::wheel(int8_t steps) { return make(action_code::kWheel, {static_cast<uint8_t>(steps)}); }
Action Action::moveBy(int8_t dx, int8_t dy) {
    return make(action_code::kMoveBy, {static_cast<uint8_t>(dx), static_cast<uint8_t>(dy)});
}
Action Action::playRecorded(uint8_t slot, uint16_t repeat) { return play(action_code::kPlayRecorded, slot, repeat); }
Action Action::playEdit(uint8_t slot, uint16_t repeat) { return play(action_code::kPlayEdit, slot, repeat); }
Action Action::playCombination(uint8_t slot, uint16_t repeat) {
    return play(action_code::kPlayCombination, slot, repeat);
}
Action Action::stopMacro() { return make(action_code::kStopMacro); }
Action Action::pauseMacro() { return make(action_code::kPauseMacro); }
Action Action::resumeMacro() { return make(action_code::kResumeMacro); }
Action Action::remoteCommand(uint8_t number) { return make(action_code::kRemoteCommand, {number}); }
Action Action::keyboardLock(bool lock) { return make(action_code::kKeyboardLock, {uint8_t(lock ? 1 : 0)}); }
Action Action::mouseLock(bool lock) { return make(action_code::kMouseLock, {uint8_t(lock ? 1 : 0)}); }
Action Action::light(Light light, bool on) {
    const uint8_t base = light == Light::Red      ? action_code::kRedOn
                         : light == Light::Yellow ? action_code::kYellowOn
                                                  : action_code::kGreenOn;
    return make(static_cast<uint8_t>(on ? base : base + 1));
}
Action Action::computerOff() { return make(action_code::kComputerOff); }
Action Action::statusRequest() { return make(action_code::kStatusRequest); }

DevicePoint toDeviceScale(int x, int y, int screenWidth, int screenHeight) {
    DevicePoint point;
    if (screenWidth <= 0 || screenHeight <= 0) {
        return point;
    }
    point.x = static_cast<uint16_t>(static_cast<int64_t>(x) * kDeviceScaleWidth / screenWidth + 1);
    point.y = static_cast<uint16_t>(static_cast<int64_t>(y) * kDeviceScaleHeight / screenHeight + 1);
    return point;
}

void fromDeviceScale(DevicePoint point, int screenWidth, int screenHeight, int& x, int& y) {
    // Smallest pixel whose scaled position reaches the device position.
    auto back = [](int device, int size, int scale) {
        const int64_t scaled = device > 0 ? device - 1 : 0;
        return static_cast<int>((scaled * size + scale - 1) / scale);
    };
    x = back(point.x, screenWidth, kDeviceScaleWidth);
    y = back(point.y, screenHeight, kDeviceScaleHeight);
}

ActionSend sendActions(Link& link, const uint8_t* actions, size_t length) {
    // Payload: the action command, the actions, the terminator.
    if (length < 1 || length + 2 > kPayloadSize || !link.transport()) {
        return ActionSend::Failed;
    }
    Clock& clock = link.clock();
    if (link.anyActionSent) {
        while (clock.tickCount() - link.lastActionTime < action_timing::kSpacingMs) {
            clock.sleepMs(action_timing::kLookSleepMs);
        }
    }
    std::array<uint8_t, kPayloadSize> payload{};
    payload[0] = command::kAction;
    std::memcpy(payload.data() + 1, actions, length);
    payload[length + 1] = kActionTerminator;
    link.lastActionTime = clock.tickCount();
    link.anyActionSent = true;
    if (!link.sendFrameOnce(payload.data(), length + 2)) {
        link.fail(LinkFailure::SendFailed, "sendActions");
        return ActionSend::Failed;
    }
    return ActionSend::Sent;
}

ActionSend sendAction(Link& link, const Action& action) {
    std::array<uint8_t, 1 + 4> bytes{};
    bytes[0] = action.code;
    std::memcpy(bytes.data() + 1, action.operands.data(), action.operandCount);
    return sendActions(link, bytes.data(), 1u + action.operandCount);
}

std::optional<StatusReply> parseStatusReply(const uint8_t* frame) {
    if (frame[1] != kStatusMark) {
        return std::nullopt;
    }
    StatusReply reply;
    reply.hotkey = frame[2];
    reply.macroState = frame[3];
    reply.remoteCommand = frame[4];
    std::memcpy(reply.heldKeys.data(), frame + 5, reply.heldKeys.size());
    reply.flags = frame[11];
    return reply;
}

namespace {

// One round on the serial link: 11 raw bytes into bytes 1..11.
enum class SerialRound { Got, Empty, Failed };

SerialRound readSerialStatus(Link& link, Frame& frame) {
    uint8_t first = 0;
    switch (link.readSerialByteOnce(first)) {
    case ByteRead::Failed:
        return SerialRound::Failed;
    case ByteRead::TimedOut:
        return SerialRound::Empty;
    case ByteRead::Byte:
        break;
    }
    frame[1] = first;
    for (size_t i = 2; i <= 11; ++i) {
        if (!link.readSerialByte(frame[i], link_timing::kSerialByteLimitMs)) {
            return SerialRound::Failed;
        }
    }
    return SerialRound::Got;
}

} // namespace

bool requestStatus(Link& link, StatusReply& reply) {
    link.clearError();
    if (sendAction(link, Action::statusRequest()) != ActionSend::Sent) {
        return false;
    }
    link.clearReply(0xFF);
    Frame serialFrame{};
    serialFrame[1] = 0xFF;
    for (int round = 0; round < action_timing::kStatusRounds; ++round) {
        link.clock().sleepMs(action_timing::kStatusSleepMs);
        if (link.kind() == LinkKind::Hid) {
            if (!link.receiveReplyOnce()) {
                continue;
            }
        } else {
            const SerialRound got = readSerialStatus(link, serialFrame);
            if (got == SerialRound::Failed) {
                return link.fail(LinkFailure::ReceiveFailed, "requestStatus");
            }
            if (got == SerialRound::Empty) {
                continue;
            }
        }
        const uint8_t* frame = link.kind() == LinkKind::Hid ? link.reply().data() : serialFrame.data();
        if (auto parsed = parseStatusReply(frame)) {
            reply = *parsed;
            return true;
        }
    }
    return link.fail(LinkFailure::ReceiveFailed, "requestStatus");
}

bool readSignal(Link& link, uint8_t& signal) {
    if (link.kind() == LinkKind::Hid) {
        if (!link.receiveReply()) {
            return link.fail(LinkFailure::ReceiveFailed, "readSignal");
        }
        signal = link.reply()[1];
        return true;
    }
    switch (link.readSerialByteOnce(signal)) {
    case ByteRead::Byte:
        return true;
    case ByteRead::TimedOut:
        signal = 0xFF;
        return true;
    case ByteRead::Failed:
        break;
    }
    return link.fail(LinkFailure::ReceiveFailed, "readSignal");
}

} // namespace quillon

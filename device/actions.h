// Action frames (command 0x9D): how analyzer-runner makes the machine press
// keys, move and click the mouse, play its stored macros and switch its
// lights, and the status request that brings back hotkeys, macro state,
// remote commands and held keys.
//
//   byte 0  report id 4 (HID) or the length N (serial)
//   byte 1  0x9D
//   byte 2  action code
//   3..N-1  operands
//   byte N  0xFF terminator
#pragma once

#include "device/link.h"

#include <array>
#include <cstdint>
#include <optional>

namespace quillon {

namespace action_code {
inline constexpr uint8_t kKeyDown = 0x00;
inline constexpr uint8_t kKeyUp = 0x01;
inline constexpr uint8_t kButtonDown = 0x10;
inline constexpr uint8_t kButtonUp = 0x11;
inline constexpr uint8_t kMoveTo = 0x14;
inline constexpr uint8_t kWheel = 0x15;
inline constexpr uint8_t kMoveBy = 0x18;
inline constexpr uint8_t kPlayRecorded = 0x30;
inline constexpr uint8_t kStopMacro = 0x31;
inline constexpr uint8_t kPauseMacro = 0x32;
inline constexpr uint8_t kResumeMacro = 0x33;
inline constexpr uint8_t kPlayEdit = 0x34;
inline constexpr uint8_t kPlayCombination = 0x35;
inline constexpr uint8_t kRemoteCommand = 0x78;
inline constexpr uint8_t kKeyboardLock = 0x80;
inline constexpr uint8_t kMouseLock = 0x81;
inline constexpr uint8_t kRedOn = 0x88;
inline constexpr uint8_t kRedOff = 0x89;
inline constexpr uint8_t kYellowOn = 0x8A;
inline constexpr uint8_t kYellowOff = 0x8B;
inline constexpr uint8_t kGreenOn = 0x8C;
inline constexpr uint8_t kGreenOff = 0x8D;
inline constexpr uint8_t kComputerOff = 0xE8;
inline constexpr uint8_t kStatusRequest = 0xEB;
} // namespace action_code

inline constexpr uint8_t kActionTerminator = 0xFF;

// Mouse buttons of actions 0x10 and 0x11.
namespace mouse_button {
inline constexpr uint8_t kLeft = 1;
inline constexpr uint8_t kRight = 2;
inline constexpr uint8_t kMiddle = 4;
} // namespace mouse_button

enum class Light { Red, Yellow, Green };

// One action: its code and operands (the frame's bytes 2..end-1).
struct Action {
    uint8_t code = 0;
    std::array<uint8_t, 4> operands{};
    uint8_t operandCount = 0;

    // Byte index of the terminator when the action sits in a frame.
    int end() const { return 3 + operandCount; }

    static Action keyDown(uint8_t keyCode);
    static Action keyUp(uint8_t keyCode);
    static Action buttonDown(uint8_t button);
    static Action buttonUp(uint8_t button);
    static Action moveTo(uint16_t deviceX, uint16_t deviceY);
    static Action wheel(int8_t steps); // positive = up
    static Action moveBy(int8_t dx, int8_t dy);
    static Action playRecorded(uint8_t slot, uint16_t repeat);
    static Action playEdit(uint8_t slot, uint16_t repeat);
    static Action playCombination(uint8_t slot, uint16_t repeat);
    static Action stopMacro();
    static Action pauseMacro();
    static Action resumeMacro();
    static Action remoteCommand(uint8_t number); // 0..250
    static Action keyboardLock(bool lock);
    static Action mouseLock(bool lock);
    static Action light(Light light, bool on);
    static Action computerOff();
    static Action statusRequest();
};

// The machine's absolute mouse scale: X = x*19200/W + 1, Y = y*12000/H + 1.
inline constexpr int kDeviceScaleWidth = 19200;
inline constexpr int kDeviceScaleHeight = 12000;
struct DevicePoint {
    uint16_t x = 0;
    uint16_t y = 0;
};
DevicePoint toDeviceScale(int x, int y, int screenWidth, int screenHeight);
// The screen pixel a device position stands for (exact inverse for every
// pixel of the screen).
void fromDeviceScale(DevicePoint point, int screenWidth, int screenHeight, int& x, int& y);

namespace action_timing {
inline constexpr uint32_t kSpacingMs = 10;  // at least this between two action frames
inline constexpr uint32_t kLookSleepMs = 5; // sleep between looks at the tick count
inline constexpr int kStatusRounds = 20;
inline constexpr uint32_t kStatusSleepMs = 5;
} // namespace action_timing

enum class ActionSend { Sent, Failed };

// Sends one action frame: the action command, `length` bytes of actions and
// the terminator, at least 10 ms after the previous frame. HID: one output
// report, no retry (a failure stops the run: the runner posts its stop
// button, id 1224). Serial: the frame with its length byte.
ActionSend sendActions(Link& link, const uint8_t* actions, size_t length);
// One action in its own frame.
ActionSend sendAction(Link& link, const Action& action);

// Status reply to action 0xEB (bytes 1..11 of the input frame).
inline constexpr uint8_t kMacroPlaying = 0xB0;
inline constexpr uint8_t kMacroNotPlaying = 0xB1;
inline constexpr uint8_t kNoRemoteCommand = 0xFF;
struct StatusReply {
    uint8_t hotkey = 0;        // machine hotkey pressed since the last status
    uint8_t macroState = 0;    // 0xB0 playing, 0xB1 not playing, other = unchanged
    uint8_t remoteCommand = kNoRemoteCommand; // 0..250, 0xFF = none
    std::array<uint8_t, 6> heldKeys{};        // key codes held on the keyboard, 0 = empty
    uint8_t flags = 0;                        // bits 6 and 5 kept beside the held keys

    std::optional<bool> macroPlaying() const {
        if (macroState == kMacroPlaying) return true;
        if (macroState == kMacroNotPlaying) return false;
        return std::nullopt;
    }
};
// Parses bytes 1..11 of a frame; nothing when byte 1 is not 0xC5.
std::optional<StatusReply> parseStatusReply(const uint8_t* frame);

// Sends action 0xEB and polls up to 20 times, 5 ms apart, for a reply whose
// byte 1 is 0xC5. HID: one input report per round. Serial: 11 raw bytes;
// a round in which the first byte has not come counts as empty.
bool requestStatus(Link& link, StatusReply& reply);

// Screenshot signals: HID: one input report, the signal in payload byte 1.
// Serial: one byte within the port time-out, 0xFF when none came.
// Returns false when the link failed.
bool readSignal(Link& link, uint8_t& signal);

} // namespace quillon

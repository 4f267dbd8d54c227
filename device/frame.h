// Frames of the machine link. On HID every report is 65 bytes: byte 0 is the
// report id (always 4), bytes 1..64 the payload (byte 1 = command code or the
// reply's first byte). On the serial link a frame is one length byte L and L
// payload bytes, the payload being the same as HID bytes 1..L.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr size_t kFrameSize = 65;
inline constexpr size_t kPayloadSize = 64;
inline constexpr uint8_t kReportId = 4;

using Frame = std::array<uint8_t, kFrameSize>;

// Command codes (byte 1 of an output frame).
namespace command {
inline constexpr uint8_t kReadOptionRecord = 0x10;
inline constexpr uint8_t kWriteOptionRecord = 0x11;
inline constexpr uint8_t kWriteRecordedHeader = 0x30;
inline constexpr uint8_t kReadRecordedHeader = 0x31;
inline constexpr uint8_t kWriteRecordedBody = 0x32;
inline constexpr uint8_t kReadRecordedBody = 0x33;
inline constexpr uint8_t kWriteCombinationHeader = 0x34;
inline constexpr uint8_t kReadCombinationHeader = 0x35;
inline constexpr uint8_t kWriteCombinationBody = 0x36;
inline constexpr uint8_t kReadCombinationBody = 0x37;
inline constexpr uint8_t kWriteEditHeader = 0x38;
inline constexpr uint8_t kReadEditHeader = 0x39;
inline constexpr uint8_t kWriteEditBody = 0x3A;
inline constexpr uint8_t kReadEditBody = 0x3B;
inline constexpr uint8_t kWriteAutoClickBlock = 0x3C;
inline constexpr uint8_t kReadAutoClickBlock = 0x3D;
inline constexpr uint8_t kReadHotkeyRecord = 0x40;
inline constexpr uint8_t kWriteHotkeyRecord = 0x41;
inline constexpr uint8_t kResetHotkeys = 0x42;
inline constexpr uint8_t kEnterScreenshotMode = 0x60;
inline constexpr uint8_t kEnterNormalMode = 0x61;
inline constexpr uint8_t kEnterAnalysisMode = 0x65;
inline constexpr uint8_t kLeaveAnalysisMode = 0x66;
inline constexpr uint8_t kScheduleMacro = 0x68;
inline constexpr uint8_t kCancelScheduledMacro = 0x69;
inline constexpr uint8_t kLinkTest = 0x9C;
inline constexpr uint8_t kAction = 0x9D;
} // namespace command

// Bytes with a fixed meaning in replies.
inline constexpr uint8_t kLinkTestAnswer = 0xAA;   // first payload byte of the link-test reply
inline constexpr uint8_t kModeAcknowledged = 0xFE; // first payload byte of a mode acknowledgement
inline constexpr uint8_t kStatusMark = 0xC5;       // first payload byte of a status reply
inline constexpr uint8_t kSerialBlockAck = 0xAA;   // raw byte after each 512-byte chunk read
inline constexpr size_t kSerialChunkSize = 512;

} // namespace quillon

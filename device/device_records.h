// The two records the machine keeps besides its macro memories: the option
// record (298 bytes, magic 0x5678) and the hotkey record (32 bytes, magic
// 0x4488). Numbers are big-endian on the link and held in host order here;
// the 287 device bytes the programs do not interpret go back as they were read.
#pragma once

#include "device/link.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr uint16_t kOptionRecordMagic = 0x5678;
inline constexpr uint16_t kHotkeyRecordMagic = 0x4488;
inline constexpr size_t kOptionRecordSize = 298;
inline constexpr size_t kHotkeyRecordSize = 32;
inline constexpr uint16_t kOptionCoordinateMouse = 0x0004; // "좌표인식 마우스"; clear = "표준모드 마우스"

#pragma pack(push, 1)
struct OptionRecord {
    uint16_t magic;
    uint8_t deviceData[287]; // not interpreted; written back unchanged
    uint16_t flags;
    uint8_t mouseSpeed; // 1..20 in coordinate mode
    uint32_t deviceNumber;
    uint16_t firmwareVersion; // shown as "%.2X.%.2X"
};
struct HotkeyRecord {
    uint16_t magic;
    uint8_t keys[30]; // hotkey assignments, edited by control-panel
};
#pragma pack(pop)

static_assert(offsetof(OptionRecord, deviceData) == 2);
static_assert(offsetof(OptionRecord, flags) == 289);
static_assert(offsetof(OptionRecord, mouseSpeed) == 291);
static_assert(offsetof(OptionRecord, deviceNumber) == 292);
static_assert(offsetof(OptionRecord, firmwareVersion) == 296);
static_assert(sizeof(OptionRecord) == kOptionRecordSize);
static_assert(sizeof(HotkeyRecord) == kHotkeyRecordSize);

// Conversions between the link's byte order and host order.
OptionRecord optionRecordFromLink(const uint8_t* bytes);
void optionRecordToLink(const OptionRecord& record, uint8_t* bytes);
HotkeyRecord hotkeyRecordFromLink(const uint8_t* bytes);
void hotkeyRecordToLink(const HotkeyRecord& record, uint8_t* bytes);

// Location codes: where an operation is called from; shown in the messages.
// `location` 0 means the operation's own default.

// Command 0x10, block of 298; succeeds only with magic 0x5678.
bool readOptionRecord(Link& link, OptionRecord& record, int location = 0);
// Command 0x11, one reply, then the block.
bool writeOptionRecord(Link& link, const OptionRecord& record, int location = 0);
// Command 0x40, block of 32; succeeds only with magic 0x4488.
bool readHotkeyRecord(Link& link, HotkeyRecord& record, int location = 0);
// Command 0x41, one reply, then the block.
bool writeHotkeyRecord(Link& link, const HotkeyRecord& record, int location = 0);
// Command 0x42, one reply; then the record is read again with 0x40.
bool resetHotkeys(Link& link, HotkeyRecord& record, int location = 0);
// Commands 0x68 (kind 1 recorded, 2 edit, 3 combination; memory index) and 0x69.
bool scheduleMacro(Link& link, uint8_t kind, uint8_t memoryIndex, int location = 0);
bool cancelScheduledMacro(Link& link, int location = 0);
// The link test 0x9C and its one reply.
bool testLink(Link& link, int location = 0);

} // namespace quillon

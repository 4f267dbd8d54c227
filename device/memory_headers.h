// The machine's macro memories: 32 recorded, 32 edit and 8 combination
// memories, each one header and one body, and the 512-byte auto-click block.
// Headers travel big-endian except two groups that cross the link as they
// are held: the recorded header's delay values (offsets 54, 56: they stay
// big-endian in memory and files) and the combination header's two memory
// bit sets (offsets 48, 52: little-endian everywhere).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr size_t kRecordedMemoryCount = 32;
inline constexpr size_t kEditMemoryCount = 32;
inline constexpr size_t kCombinationMemoryCount = 8;
inline constexpr size_t kAutoClickBlockSize = 512;
inline constexpr uint16_t kRecordedMagic = 0x6688;
inline constexpr uint16_t kEditMagic = 0x3377;
inline constexpr uint16_t kCombinationMagic = 0x2266;
inline constexpr size_t kMemoryNameField = 42;
inline constexpr size_t kMemoryNameMax = 39; // CP949 bytes
inline constexpr size_t kEditBodyMax = 32768;
// Recorded bodies have a 32-bit length; the machine's memory is far smaller,
// so a larger length read back is not believed.
inline constexpr size_t kRecordedBodyMax = 1u << 20;

inline constexpr const char* kEmptyMemoryName = "비어 있슴";
inline constexpr const char* kNewMacroName = "새로 만든 매크로";

enum class MemoryKind { Recorded, Edit, Combination };

#pragma pack(push, 1)
struct RecordedMemoryHeader {
    uint16_t magic;
    uint16_t flags; // speed index, recording mode, locks, delays, keyboard only, play once
    char name[kMemoryNameField]; // CP949, NUL-terminated
    uint32_t bodyLength;         // body bytes
    uint32_t recordingLength;    // milliseconds
    uint8_t firstDelay[2];       // big-endian, kept as the machine wrote it
    uint8_t secondDelay[2];      // likewise
    uint8_t reserved[5];
};
struct EditMemoryHeader {
    uint16_t magic;
    uint16_t flags; // 0x10 FPS mode, 0x40 keyboard lock, 0x80 mouse lock, 0x4000 play once
    char name[kMemoryNameField];
    uint16_t bodyLength; // compiled code, at most 32,768
    uint8_t reserved[5];
};
struct CombinationMemoryHeader {
    uint16_t magic;
    uint16_t flags;
    char name[kMemoryNameField];
    uint16_t bodyLength;
    uint32_t recordedSet; // bit n = recorded memory n, little-endian on the link too
    uint32_t editSet;     // bit n = edit memory n, likewise
    uint8_t kept[4];
    uint8_t reserved[5];
};
#pragma pack(pop)

static_assert(offsetof(RecordedMemoryHeader, flags) == 2);
static_assert(offsetof(RecordedMemoryHeader, name) == 4);
static_assert(offsetof(RecordedMemoryHeader, bodyLength) == 46);
static_assert(offsetof(RecordedMemoryHeader, recordingLength) == 50);
static_assert(offsetof(RecordedMemoryHeader, firstDelay) == 54);
static_assert(offsetof(RecordedMemoryHeader, secondDelay) == 56);
static_assert(offsetof(RecordedMemoryHeader, reserved) == 58);
static_assert(sizeof(RecordedMemoryHeader) == 63);
static_assert(offsetof(EditMemoryHeader, name) == 4);
static_assert(offsetof(EditMemoryHeader, bodyLength) == 46);
static_assert(offsetof(EditMemoryHeader, reserved) == 48);
static_assert(sizeof(EditMemoryHeader) == 53);
static_assert(offsetof(CombinationMemoryHeader, name) == 4);
static_assert(offsetof(CombinationMemoryHeader, bodyLength) == 46);
static_assert(offsetof(CombinationMemoryHeader, recordedSet) == 48);
static_assert(offsetof(CombinationMemoryHeader, editSet) == 52);
static_assert(offsetof(CombinationMemoryHeader, kept) == 56);
static_assert(offsetof(CombinationMemoryHeader, reserved) == 60);
static_assert(sizeof(CombinationMemoryHeader) == 65);

// Link byte order <-> host order (only the converted fields change). The
// *FromLink functions also end the name field with a NUL; headerFromLink
// keeps every other byte exactly as the machine sent it.
void headerFromLink(const uint8_t* bytes, RecordedMemoryHeader& header);
void headerFromLink(const uint8_t* bytes, EditMemoryHeader& header);
void headerFromLink(const uint8_t* bytes, CombinationMemoryHeader& header);
void recordedHeaderToLink(const RecordedMemoryHeader& header, uint8_t* bytes);
RecordedMemoryHeader recordedHeaderFromLink(const uint8_t* bytes);
void editHeaderToLink(const EditMemoryHeader& header, uint8_t* bytes);
EditMemoryHeader editHeaderFromLink(const uint8_t* bytes);
void combinationHeaderToLink(const CombinationMemoryHeader& header, uint8_t* bytes);
CombinationMemoryHeader combinationHeaderFromLink(const uint8_t* bytes);

// Names: UTF-8 in, CP949 in the field, cut to 39 bytes without splitting a
// double-byte character; read back always NUL-terminated.
void setMemoryName(char (&field)[kMemoryNameField], std::string_view utf8);
std::string memoryName(const char (&field)[kMemoryNameField]);

bool isEmptyMemory(const RecordedMemoryHeader& header);
bool isEmptyMemory(const EditMemoryHeader& header);
bool isEmptyMemory(const CombinationMemoryHeader& header);

// "%d-%d": bank = index / 8 + 1, slot = index mod 8 + 1.
int bankOf(size_t index);
int slotOf(size_t index);
std::string bankSlot(size_t index);

} // namespace quillon

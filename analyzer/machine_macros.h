// The machine's macros as the analyzer file carries them, and the seam
// through which the file reaches the machine: a thin port over the machine's
// macro memories (the editor wires in the real link; tests use the in-memory
// machine, a fake port or the simulated machine).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/macro_memory.h"
#include "device/memory_headers.h"

namespace quillon::analyzer {

// The file carries each macro's header exactly as the machine's header type
// lays it out, in the program's byte order.
using MacroKind = quillon::MemoryKind;
using quillon::kCombinationMagic;
using quillon::kEditMagic;
using quillon::kRecordedMagic;

inline constexpr size_t kRecordedHeaderSize = sizeof(RecordedMemoryHeader);
inline constexpr size_t kEditHeaderSize = sizeof(EditMemoryHeader);
inline constexpr size_t kCombinationHeaderSize = sizeof(CombinationMemoryHeader);
inline constexpr size_t kMacroReservedBytes = 400;
inline constexpr uint32_t kLargestEditBody = kEditBodyMax;

size_t headerSizeOf(MacroKind kind);
uint16_t magicOf(MacroKind kind);

// Fields of a header as the program holds it (magic, flags and lengths in
// host order): the body length, 0 when the magic is wrong.
uint32_t bodyLengthOf(MacroKind kind, const std::vector<uint8_t>& header);
// A combination's own recorded and edit masks (offsets 48 and 52, as stored).
uint32_t combinationRecordedMask(const std::vector<uint8_t>& header);
uint32_t combinationEditMask(const std::vector<uint8_t>& header);

// The header of one memory as the file carries it: every byte as the
// machine holds it, magic, flags and lengths in host order (an empty memory
// is not renamed). False when the link failed or the index is out of range.
bool readHeaderBytes(MacroMemory& memory, MacroKind kind, int index, std::vector<uint8_t>& header, int location);

// The machine side. Headers cross this seam in host order; the link layer
// converts to and from the machine's big-endian order.
class MachineMacroPort {
public:
    virtual ~MachineMacroPort() = default;
    virtual bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) = 0;
    virtual bool readBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                          std::vector<uint8_t>& body) = 0;
    virtual bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) = 0;
    virtual bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                           const std::vector<uint8_t>& body) = 0;
    // The macro's name from the list read at start-up (UTF-8), for messages.
    virtual std::string listedName(MacroKind kind, int index) = 0;
};

// The port over the machine's macro memories: the byte vectors the file
// carries become the memories' header types and back, byte for byte.
// `location` is the call-site code a failed transfer carries. The names
// listed for messages come from the program that owns the lists; without
// them a macro is named by its number alone.
class MemoryMacroPort : public MachineMacroPort {
public:
    explicit MemoryMacroPort(MacroMemory& memory, int location = 0) : memory_(memory), location_(location) {}

    bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) override;
    // Nothing is asked of the machine for a header without a body.
    bool readBody(MacroKind kind, int index, const std::vector<uint8_t>& header, std::vector<uint8_t>& body) override;
    bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) override;
    bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                   const std::vector<uint8_t>& body) override;
    std::string listedName(MacroKind, int) override { return {}; }

private:
    MacroMemory& memory_;
    int location_;
};

} // namespace quillon::analyzer

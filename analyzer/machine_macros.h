// The machine's macros as the analyzer file carries them, and the seam
// through which the file reaches the machine (the editor wires in the real
// link; tests use a fake or the simulated machine).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::analyzer {

enum class MacroKind { Recorded, Edit, Combination };

inline constexpr size_t kRecordedHeaderSize = 63;
inline constexpr size_t kEditHeaderSize = 53;
inline constexpr size_t kCombinationHeaderSize = 65;
inline constexpr size_t kMacroReservedBytes = 400;
inline constexpr uint16_t kRecordedMagic = 0x6688;
inline constexpr uint16_t kEditMagic = 0x3377;
inline constexpr uint16_t kCombinationMagic = 0x2266;
inline constexpr uint32_t kLargestEditBody = 32768;

size_t headerSizeOf(MacroKind kind);
uint16_t magicOf(MacroKind kind);

// Fields of a header as the program holds it (magic, flags and lengths in
// host order): the body length, 0 when the magic is wrong.
uint32_t bodyLengthOf(MacroKind kind, const std::vector<uint8_t>& header);
// A combination's own recorded and edit masks (offsets 48 and 52, as stored).
uint32_t combinationRecordedMask(const std::vector<uint8_t>& header);
uint32_t combinationEditMask(const std::vector<uint8_t>& header);

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

} // namespace quillon::analyzer

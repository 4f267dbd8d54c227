#include "analyzer/machine_macros.h"

#include "base/byte_order.h"

namespace quillon::analyzer {

size_t headerSizeOf(MacroKind kind) {
    switch (kind) {
    case MacroKind::Recorded: return kRecordedHeaderSize;
    case MacroKind::Edit: return kEditHeaderSize;
    case MacroKind::Combination: return kCombinationHeaderSize;
    }
    return 0;
}

uint16_t magicOf(MacroKind kind) {
    switch (kind) {
    case MacroKind::Recorded: return kRecordedMagic;
    case MacroKind::Edit: return kEditMagic;
    case MacroKind::Combination: return kCombinationMagic;
    }
    return 0;
}

uint32_t bodyLengthOf(MacroKind kind, const std::vector<uint8_t>& header) {
    if (header.size() != headerSizeOf(kind) || loadLe16(header.data()) != magicOf(kind)) {
        return 0;
    }
    return kind == MacroKind::Recorded ? loadLe32(header.data() + offsetof(RecordedMemoryHeader, bodyLength))
                                       : loadLe16(header.data() + offsetof(EditMemoryHeader, bodyLength));
}

uint32_t combinationRecordedMask(const std::vector<uint8_t>& header) {
    return header.size() == kCombinationHeaderSize ? loadLe32(header.data() + offsetof(CombinationMemoryHeader, recordedSet)) : 0;
}

uint32_t combinationEditMask(const std::vector<uint8_t>& header) {
    return header.size() == kCombinationHeaderSize ? loadLe32(header.data() + offsetof(CombinationMemoryHeader, editSet)) : 0;
}

} // namespace quillon::analyzer

#include "control/memory_headers.h"

#include "control/recorded_macro.h"

namespace quillon::control {

EditMemoryHeader makeEditMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength) {
    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.flags = flags;
    setMacroName(header.name, utf8Name, 40);
    header.bodyLength = static_cast<uint16_t>(codeLength);
    return header;
}

CombinationMemoryHeader makeCombinationMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength,
                                                    uint32_t recordedSet, uint32_t editSet) {
    CombinationMemoryHeader header{};
    header.magic = kCombinationMagic;
    header.flags = flags;
    setMacroName(header.name, utf8Name, 40);
    header.bodyLength = static_cast<uint16_t>(codeLength);
    header.recordedSet = recordedSet;
    header.editSet = editSet;
    return header;
}

} // namespace quillon::control

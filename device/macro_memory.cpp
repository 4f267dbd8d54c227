#include "device/macro_memory.h"

#include <cstring>

namespace quillon {

bool readListedHeader(MacroMemory& memory, size_t index, RecordedMemoryHeader& header, int location) {
    if (!memory.readHeader(index, header, location)) return false;
    header.name[kMemoryNameField - 1] = '\0';
    if (isEmptyMemory(header)) {
        setMemoryName(header.name, kEmptyMemoryName);
        header.flags = 0;
        header.bodyLength = 0;
        header.recordingLength = 0;
    }
    return true;
}

bool readListedHeader(MacroMemory& memory, size_t index, EditMemoryHeader& header, int location) {
    if (!memory.readHeader(index, header, location)) return false;
    header.name[kMemoryNameField - 1] = '\0';
    if (header.magic != kEditMagic) {
        header.bodyLength = 0; // the name is kept
    }
    return true;
}

bool readListedHeader(MacroMemory& memory, size_t index, CombinationMemoryHeader& header, int location) {
    if (!memory.readHeader(index, header, location)) return false;
    header.name[kMemoryNameField - 1] = '\0';
    if (isEmptyMemory(header)) {
        setMemoryName(header.name, kEmptyMemoryName);
        header.flags = 0;
        // The length, both memory sets and the kept bytes.
        header.bodyLength = 0;
        header.recordedSet = 0;
        header.editSet = 0;
        std::memset(header.kept, 0, sizeof header.kept);
    }
    return true;
}

// ---- over the link -------------------------------------------------------------------

bool LinkMacroMemory::readHeader(size_t index, RecordedMemoryHeader& header, int location) {
    return readHeaderAsStored(link_, index, header, location);
}
bool LinkMacroMemory::readHeader(size_t index, EditMemoryHeader& header, int location) {
    return readHeaderAsStored(link_, index, header, location);
}
bool LinkMacroMemory::readHeader(size_t index, CombinationMemoryHeader& header, int location) {
    return readHeaderAsStored(link_, index, header, location);
}

bool LinkMacroMemory::readBody(size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body,
                               int location, const MemoryProgress* progress) {
    return readRecordedBody(link_, index, header, body, location, progress);
}
bool LinkMacroMemory::readBody(size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& body,
                               int location, const MemoryProgress* progress) {
    return readAnnouncedBody(link_, index, header, body, location, progress);
}
bool LinkMacroMemory::readBody(size_t index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body,
                               int location, const MemoryProgress* progress) {
    return readAnnouncedBody(link_, index, header, body, location, progress);
}

bool LinkMacroMemory::writeHeader(size_t index, const RecordedMemoryHeader& header, int location) {
    return writeRecordedHeader(link_, index, header, location);
}
bool LinkMacroMemory::writeHeader(size_t index, const EditMemoryHeader& header, int location) {
    return writeEditHeader(link_, index, header, location);
}
bool LinkMacroMemory::writeHeader(size_t index, const CombinationMemoryHeader& header, int location) {
    return writeCombinationHeader(link_, index, header, location);
}

bool LinkMacroMemory::writeBody(size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                                int location, const MemoryProgress* progress) {
    return writeRecordedBody(link_, index, header, body, location, progress);
}
bool LinkMacroMemory::writeBody(size_t index, const EditMemoryHeader&, const std::vector<uint8_t>& body,
                                int location, const MemoryProgress* progress) {
    return writeEditBody(link_, index, body, location, progress);
}
bool LinkMacroMemory::writeBody(size_t index, const CombinationMemoryHeader&, const std::vector<uint8_t>& body,
                                int location, const MemoryProgress* progress) {
    return writeCombinationBody(link_, index, body, location, progress);
}

bool LinkMacroMemory::readAutoClickBlock(uint8_t* block, int location) {
    return quillon::readAutoClickBlock(link_, block, location);
}
bool LinkMacroMemory::writeAutoClickBlock(const uint8_t* block, int location) {
    return quillon::writeAutoClickBlock(link_, block, location);
}

} // namespace quillon

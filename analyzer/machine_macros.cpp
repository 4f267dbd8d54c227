#include "analyzer/machine_macros.h"

#include "base/byte_order.h"

#include <algorithm>
#include <cstring>

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

namespace {

template <typename Header>
bool readHeaderAs(MacroMemory& memory, size_t index, std::vector<uint8_t>& bytes, int location) {
    Header header{};
    if (!memory.readHeader(index, header, location)) return false;
    bytes.resize(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    return true;
}

// A vector shorter than the header type leaves the rest zero.
template <typename Header>
Header headerOf(const std::vector<uint8_t>& bytes) {
    Header header{};
    std::memcpy(&header, bytes.data(), std::min(bytes.size(), sizeof header));
    return header;
}

template <typename Header>
bool readBodyAs(MacroMemory& memory, size_t index, const std::vector<uint8_t>& header, std::vector<uint8_t>& body,
                int location) {
    return memory.readBody(index, headerOf<Header>(header), body, location);
}

template <typename Header>
bool writeHeaderAs(MacroMemory& memory, size_t index, const std::vector<uint8_t>& header, int location) {
    return header.size() == sizeof(Header) && memory.writeHeader(index, headerOf<Header>(header), location);
}

template <typename Header>
bool writeBodyAs(MacroMemory& memory, size_t index, const std::vector<uint8_t>& header,
                 const std::vector<uint8_t>& body, int location) {
    return memory.writeBody(index, headerOf<Header>(header), body, location);
}

bool validIndex(MacroKind kind, int index) {
    return index >= 0 && static_cast<size_t>(index) < (kind == MacroKind::Combination ? kCombinationMemoryCount
                                                                                        : kRecordedMemoryCount);
}

} // namespace

bool readHeaderBytes(MacroMemory& memory, MacroKind kind, int index, std::vector<uint8_t>& header, int location) {
    if (!validIndex(kind, index)) return false;
    const auto at = static_cast<size_t>(index);
    switch (kind) {
    case MacroKind::Recorded: return readHeaderAs<RecordedMemoryHeader>(memory, at, header, location);
    case MacroKind::Edit: return readHeaderAs<EditMemoryHeader>(memory, at, header, location);
    case MacroKind::Combination: return readHeaderAs<CombinationMemoryHeader>(memory, at, header, location);
    }
    return false;
}

bool MemoryMacroPort::readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) {
    return readHeaderBytes(memory_, kind, index, header, location_);
}

bool MemoryMacroPort::readBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                               std::vector<uint8_t>& body) {
    if (!validIndex(kind, index) || bodyLengthOf(kind, header) == 0) return false;
    const auto at = static_cast<size_t>(index);
    switch (kind) {
    case MacroKind::Recorded: return readBodyAs<RecordedMemoryHeader>(memory_, at, header, body, location_);
    case MacroKind::Edit: return readBodyAs<EditMemoryHeader>(memory_, at, header, body, location_);
    case MacroKind::Combination: return readBodyAs<CombinationMemoryHeader>(memory_, at, header, body, location_);
    }
    return false;
}

bool MemoryMacroPort::writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    if (!validIndex(kind, index)) return false;
    const auto at = static_cast<size_t>(index);
    switch (kind) {
    case MacroKind::Recorded: return writeHeaderAs<RecordedMemoryHeader>(memory_, at, header, location_);
    case MacroKind::Edit: return writeHeaderAs<EditMemoryHeader>(memory_, at, header, location_);
    case MacroKind::Combination: return writeHeaderAs<CombinationMemoryHeader>(memory_, at, header, location_);
    }
    return false;
}

bool MemoryMacroPort::writeBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                                const std::vector<uint8_t>& body) {
    // The machine is never sent an empty body.
    if (!validIndex(kind, index) || body.empty()) return false;
    const auto at = static_cast<size_t>(index);
    switch (kind) {
    case MacroKind::Recorded: return writeBodyAs<RecordedMemoryHeader>(memory_, at, header, body, location_);
    case MacroKind::Edit: return writeBodyAs<EditMemoryHeader>(memory_, at, header, body, location_);
    case MacroKind::Combination: return writeBodyAs<CombinationMemoryHeader>(memory_, at, header, body, location_);
    }
    return false;
}

} // namespace quillon::analyzer

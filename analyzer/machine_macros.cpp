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

// Calls `act` with a zeroed header of the kind's type.
template <typename Act>
bool withHeaderType(MacroKind kind, Act&& act) {
    switch (kind) {
    case MacroKind::Recorded: return act(RecordedMemoryHeader{});
    case MacroKind::Edit: return act(EditMemoryHeader{});
    case MacroKind::Combination: return act(CombinationMemoryHeader{});
    }
    return false;
}

// A vector shorter than the header type leaves the rest zero.
template <typename Header>
Header headerOf(const std::vector<uint8_t>& bytes) {
    Header header{};
    std::memcpy(&header, bytes.data(), std::min(bytes.size(), sizeof header));
    return header;
}

bool validIndex(MacroKind kind, int index) {
    return index >= 0 && static_cast<size_t>(index) < (kind == MacroKind::Combination ? kCombinationMemoryCount
                                                                                        : kRecordedMemoryCount);
}

} // namespace

bool readHeaderBytes(MacroMemory& memory, MacroKind kind, int index, std::vector<uint8_t>& header, int location) {
    if (!validIndex(kind, index)) return false;
    return withHeaderType(kind, [&](auto held) {
        if (!memory.readHeader(static_cast<size_t>(index), held, location)) return false;
        header.resize(sizeof held);
        std::memcpy(header.data(), &held, sizeof held);
        return true;
    });
}

bool MemoryMacroPort::readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) {
    return readHeaderBytes(memory_, kind, index, header, location_);
}

bool MemoryMacroPort::readBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                               std::vector<uint8_t>& body) {
    if (!validIndex(kind, index) || bodyLengthOf(kind, header) == 0) return false;
    return withHeaderType(kind, [&](auto type) {
        return memory_.readBody(static_cast<size_t>(index), headerOf<decltype(type)>(header), body, location_);
    });
}

bool MemoryMacroPort::writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    if (!validIndex(kind, index) || header.size() != headerSizeOf(kind)) return false;
    return withHeaderType(kind, [&](auto type) {
        return memory_.writeHeader(static_cast<size_t>(index), headerOf<decltype(type)>(header), location_);
    });
}

bool MemoryMacroPort::writeBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                                const std::vector<uint8_t>& body) {
    // The machine is never sent an empty body.
    if (!validIndex(kind, index) || body.empty()) return false;
    return withHeaderType(kind, [&](auto type) {
        return memory_.writeBody(static_cast<size_t>(index), headerOf<decltype(type)>(header), body, location_);
    });
}

} // namespace quillon::analyzer

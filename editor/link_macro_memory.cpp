#include "editor/link_macro_memory.h"

#include "base/byte_order.h"
#include "device/frame.h"

namespace quillon::editor {

namespace {

constexpr size_t kBodyLengthOffset = 46;
constexpr size_t kRecordingLengthOffset = 50;
constexpr uint32_t kLargestRecordedBody = 1u << 24;

struct Codes {
    uint8_t writeHeader, readHeader, writeBody, readBody;
};

Codes codesOf(MacroKind kind) {
    switch (kind) {
    case MacroKind::Recorded:
        return {command::kWriteRecordedHeader, command::kReadRecordedHeader, command::kWriteRecordedBody,
                command::kReadRecordedBody};
    case MacroKind::Edit:
        return {command::kWriteEditHeader, command::kReadEditHeader, command::kWriteEditBody, command::kReadEditBody};
    case MacroKind::Combination:
        return {command::kWriteCombinationHeader, command::kReadCombinationHeader, command::kWriteCombinationBody,
                command::kReadCombinationBody};
    }
    return {};
}

int memoryCount(MacroKind kind) { return kind == MacroKind::Combination ? 8 : 32; }

void swap16(std::vector<uint8_t>& h, size_t at) {
    std::swap(h[at], h[at + 1]);
}
void swap32(std::vector<uint8_t>& h, size_t at) {
    std::swap(h[at], h[at + 3]);
    std::swap(h[at + 1], h[at + 2]);
}

// Reversing the bytes of each converted field turns either order into the
// other on a little-endian host.
void convertHeader(MacroKind kind, std::vector<uint8_t>& header) {
    if (header.size() != analyzer::headerSizeOf(kind)) {
        return;
    }
    swap16(header, 0);
    swap16(header, 2);
    if (kind == MacroKind::Recorded) {
        swap32(header, kBodyLengthOffset);
        swap32(header, kRecordingLengthOffset);
    } else {
        swap16(header, kBodyLengthOffset);
    }
}

} // namespace

void headerFromLink(MacroKind kind, std::vector<uint8_t>& header) { convertHeader(kind, header); }
void headerToLink(MacroKind kind, std::vector<uint8_t>& header) { convertHeader(kind, header); }

bool LinkMacroMemory::sendIndexCommand(uint8_t code, int index, int length, uint16_t bodyLength) {
    link_.output[1] = code;
    link_.output[2] = static_cast<uint8_t>(index);
    link_.output[3] = static_cast<uint8_t>(bodyLength >> 8);
    link_.output[4] = static_cast<uint8_t>(bodyLength);
    return link_.sendCommand(length);
}

bool LinkMacroMemory::readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) {
    if (index < 0 || index >= memoryCount(kind)) {
        return false;
    }
    BusyLink busy(link_);
    header.assign(analyzer::headerSizeOf(kind), 0);
    bool ok = sendIndexCommand(codesOf(kind).readHeader, index) && link_.readBlock(header.size(), header.data());
    if (!ok) {
        link_.fail(link_.lastError().failure, link_.lastError().operation, location_);
        return busy.finish(false);
    }
    headerFromLink(kind, header);
    return busy.finish(true);
}

bool LinkMacroMemory::readBody(MacroKind kind, int index, uint32_t length, std::vector<uint8_t>& body) {
    uint32_t largest = kind == MacroKind::Recorded ? kLargestRecordedBody : analyzer::kLargestEditBody;
    if (index < 0 || index >= memoryCount(kind) || length == 0 || length > largest) {
        return false;
    }
    BusyLink busy(link_);
    body.assign(length, 0);
    bool ok = sendIndexCommand(codesOf(kind).readBody, index) && link_.readBlock(body.size(), body.data());
    if (!ok) {
        link_.fail(link_.lastError().failure, link_.lastError().operation, location_);
    }
    return busy.finish(ok);
}

bool LinkMacroMemory::writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    if (index < 0 || index >= memoryCount(kind) || header.size() != analyzer::headerSizeOf(kind)) {
        return false;
    }
    std::vector<uint8_t> onLink = header;
    if (kind == MacroKind::Recorded) {
        storeLe16(onLink.data(), analyzer::kRecordedMagic);
    }
    headerToLink(kind, onLink);
    BusyLink busy(link_);
    bool ok = sendIndexCommand(codesOf(kind).writeHeader, index) && link_.receiveReply() &&
              link_.writeBlock(onLink.size(), onLink.data());
    if (!ok) {
        link_.fail(link_.lastError().failure, link_.lastError().operation, location_);
    }
    return busy.finish(ok);
}

bool LinkMacroMemory::writeBody(MacroKind kind, int index, const std::vector<uint8_t>& body) {
    if (index < 0 || index >= memoryCount(kind) || body.empty()) {
        return false;
    }
    if (kind != MacroKind::Recorded && body.size() > analyzer::kLargestEditBody) {
        return false;
    }
    BusyLink busy(link_);
    // Edit and combination bodies carry their length in the command; the
    // machine knows a recorded body's length from the header written before.
    bool sent = kind == MacroKind::Recorded
                    ? sendIndexCommand(codesOf(kind).writeBody, index)
                    : sendIndexCommand(codesOf(kind).writeBody, index, 4, static_cast<uint16_t>(body.size()));
    bool ok = sent && link_.receiveReply() && link_.writeBlock(body.size(), body.data());
    if (!ok) {
        link_.fail(link_.lastError().failure, link_.lastError().operation, location_);
    }
    return busy.finish(ok);
}

} // namespace quillon::editor

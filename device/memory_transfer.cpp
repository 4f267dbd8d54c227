#include "device/memory_transfer.h"

#include <cstring>
#include <memory>

namespace quillon {

namespace {

constexpr size_t kReportPayload = kPayloadSize;

bool located(Link& link, bool ok, int location) {
    return ok || link.fail(link.lastError().failure, link.lastError().operation, location);
}

uint8_t indexByte(size_t index) { return static_cast<uint8_t>(index); }

// A command frame, its acknowledgement, then a block.
bool commandThenWrite(Link& link, uint8_t code, std::initializer_list<uint8_t> arguments, const uint8_t* bytes,
                      size_t size, const ProgressCallback& step) {
    return link.sendCommand(code, arguments) && link.receiveReply() && link.writeBlock(size, bytes, step);
}

// The bar's range and its per-report steps; every body, however short,
// moves the bar once per report.
ProgressCallback startProgress(const MemoryProgress* progress, size_t length) {
    if (!progress) {
        return {};
    }
    if (progress->setRange) {
        progress->setRange(static_cast<int>(length / kReportPayload + 1));
    }
    if (progress->setPosition) {
        progress->setPosition(0);
    }
    if (!progress->setPosition) {
        return {};
    }
    auto setPosition = progress->setPosition;
    auto last = std::make_shared<size_t>(0);
    return [setPosition, last](const TransferProgress& moved) {
        if (moved.reports != *last) {
            *last = moved.reports;
            setPosition(static_cast<int>(moved.reports));
        }
    };
}

bool refuse(Link& link, const char* operation, int location) {
    link.clearError();
    return link.fail(LinkFailure::Refused, operation, location);
}

template <typename Header>
bool readStoredHeader(Link& link, uint8_t code, size_t count, size_t index, Header& header, int location,
                      const char* operation) {
    if (index >= count) return refuse(link, operation, location);
    BusyLink busy(link);
    uint8_t bytes[sizeof(Header)];
    if (!located(link, link.sendCommand(code, {indexByte(index)}) && link.readBlock(sizeof bytes, bytes), location)) {
        return false;
    }
    headerFromLink(bytes, header);
    return busy.finish(true);
}

} // namespace

bool readHeaderAsStored(Link& link, size_t index, RecordedMemoryHeader& header, int location) {
    return readStoredHeader(link, command::kReadRecordedHeader, kRecordedMemoryCount, index, header, location,
                            "readRecordedHeader");
}
bool readHeaderAsStored(Link& link, size_t index, EditMemoryHeader& header, int location) {
    return readStoredHeader(link, command::kReadEditHeader, kEditMemoryCount, index, header, location,
                            "readEditHeader");
}
bool readHeaderAsStored(Link& link, size_t index, CombinationMemoryHeader& header, int location) {
    return readStoredHeader(link, command::kReadCombinationHeader, kCombinationMemoryCount, index, header,
                            location, "readCombinationHeader");
}

// ---- recorded ---------------------------------------------------------------------

bool writeRecordedHeader(Link& link, size_t index, const RecordedMemoryHeader& header, int location) {
    if (index >= kRecordedMemoryCount) return refuse(link, "writeRecordedHeader", location);
    BusyLink busy(link);
    RecordedMemoryHeader sent = header;
    sent.magic = kRecordedMagic;
    uint8_t bytes[sizeof sent];
    recordedHeaderToLink(sent, bytes);
    return busy.finish(located(link, commandThenWrite(link, command::kWriteRecordedHeader, {indexByte(index)}, bytes, sizeof bytes, {}), location));
}

bool readRecordedHeader(Link& link, size_t index, RecordedMemoryHeader& header, int location) {
    if (index >= kRecordedMemoryCount) return refuse(link, "readRecordedHeader", location);
    BusyLink busy(link);
    uint8_t bytes[sizeof(RecordedMemoryHeader)];
    if (!located(link, link.sendCommand(command::kReadRecordedHeader, {indexByte(index)}) && link.readBlock(sizeof bytes, bytes), location)) {
        return false;
    }
    header = recordedHeaderFromLink(bytes);
    if (isEmptyMemory(header)) {
        setMemoryName(header.name, kEmptyMemoryName);
        header.flags = 0;
        header.bodyLength = 0;
        header.recordingLength = 0;
    }
    return busy.finish(true);
}

bool writeRecordedBody(Link& link, size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                       int location, const MemoryProgress* progress) {
    // The machine takes as many bytes as the header written before announced.
    if (index >= kRecordedMemoryCount || header.bodyLength > body.size() || header.bodyLength > kRecordedBodyMax) {
        return refuse(link, "writeRecordedBody", location);
    }
    BusyLink busy(link);
    const ProgressCallback step = startProgress(progress, header.bodyLength);
    return busy.finish(located(link, commandThenWrite(link, command::kWriteRecordedBody, {indexByte(index)}, body.data(), header.bodyLength, step), location));
}

bool readRecordedBody(Link& link, size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body,
                      int location, const MemoryProgress* progress) {
    if (index >= kRecordedMemoryCount || isEmptyMemory(header) || header.bodyLength > kRecordedBodyMax) {
        return refuse(link, "readRecordedBody", location);
    }
    BusyLink busy(link);
    const ProgressCallback step = startProgress(progress, header.bodyLength);
    body.assign(header.bodyLength, 0);
    return busy.finish(
        located(link, link.sendCommand(command::kReadRecordedBody, {indexByte(index)}) && link.readBlock(body.size(), body.data(), step), location));
}

// ---- edit ----------------------------------------------------------------------------

bool writeEditHeader(Link& link, size_t index, const EditMemoryHeader& header, int location) {
    if (index >= kEditMemoryCount) return refuse(link, "writeEditHeader", location);
    BusyLink busy(link);
    uint8_t bytes[sizeof header];
    editHeaderToLink(header, bytes);
    return busy.finish(located(link, commandThenWrite(link, command::kWriteEditHeader, {indexByte(index)}, bytes, sizeof bytes, {}), location));
}

bool readEditHeader(Link& link, size_t index, EditMemoryHeader& header, int location) {
    if (index >= kEditMemoryCount) return refuse(link, "readEditHeader", location);
    BusyLink busy(link);
    uint8_t bytes[sizeof(EditMemoryHeader)];
    if (!located(link, link.sendCommand(command::kReadEditHeader, {indexByte(index)}) && link.readBlock(sizeof bytes, bytes), location)) {
        return false;
    }
    header = editHeaderFromLink(bytes);
    if (header.magic != kEditMagic) {
        header.bodyLength = 0; // the name is kept
    }
    return busy.finish(true);
}

namespace {

// Edit and combination bodies: the command carries the index and the length.
bool writeShortBody(Link& link, uint8_t code, size_t index, const std::vector<uint8_t>& body, int location,
                    const MemoryProgress* progress) {
    BusyLink busy(link);
    const ProgressCallback step = startProgress(progress, body.size());
    return busy.finish(located(link,
                               commandThenWrite(link, code,
                                                {indexByte(index), static_cast<uint8_t>(body.size() >> 8),
                                                 static_cast<uint8_t>(body.size())},
                                                body.data(), body.size(), step),
                               location));
}

bool readShortBody(Link& link, uint8_t code, size_t index, size_t length, std::vector<uint8_t>& body, int location,
                   const MemoryProgress* progress) {
    BusyLink busy(link);
    const ProgressCallback step = startProgress(progress, length);
    body.assign(length, 0);
    return busy.finish(located(
        link, link.sendCommand(code, {indexByte(index)}) && link.readBlock(body.size(), body.data(), step), location));
}

} // namespace

bool writeEditBody(Link& link, size_t index, const std::vector<uint8_t>& code, int location,
                   const MemoryProgress* progress) {
    if (index >= kEditMemoryCount || code.size() > kEditBodyMax) return refuse(link, "writeEditBody", location);
    return writeShortBody(link, command::kWriteEditBody, index, code, location, progress);
}

bool readEditBody(Link& link, size_t index, EditMemoryHeader& header, std::vector<uint8_t>& code, int location,
                  const MemoryProgress* progress) {
    if (!readEditHeader(link, index, header, location)) {
        return false;
    }
    if (isEmptyMemory(header) || header.bodyLength > kEditBodyMax) {
        return refuse(link, "readEditBody", location);
    }
    return readShortBody(link, command::kReadEditBody, index, header.bodyLength, code, location, progress);
}

// ---- combination ----------------------------------------------------------------------

bool writeCombinationHeader(Link& link, size_t index, const CombinationMemoryHeader& header, int location) {
    if (index >= kCombinationMemoryCount) return refuse(link, "writeCombinationHeader", location);
    BusyLink busy(link);
    uint8_t bytes[sizeof header];
    combinationHeaderToLink(header, bytes);
    return busy.finish(located(link, commandThenWrite(link, command::kWriteCombinationHeader, {indexByte(index)}, bytes, sizeof bytes, {}), location));
}

bool readCombinationHeader(Link& link, size_t index, CombinationMemoryHeader& header, int location) {
    if (index >= kCombinationMemoryCount) return refuse(link, "readCombinationHeader", location);
    BusyLink busy(link);
    uint8_t bytes[sizeof(CombinationMemoryHeader)];
    if (!located(link, link.sendCommand(command::kReadCombinationHeader, {indexByte(index)}) && link.readBlock(sizeof bytes, bytes), location)) {
        return false;
    }
    header = combinationHeaderFromLink(bytes);
    if (isEmptyMemory(header)) {
        setMemoryName(header.name, kEmptyMemoryName);
        header.flags = 0;
        // Bytes 46..59: the length, both memory sets and the kept bytes.
        std::memset(reinterpret_cast<uint8_t*>(&header) + 46, 0, 60 - 46);
    }
    return busy.finish(true);
}

bool writeCombinationBody(Link& link, size_t index, const std::vector<uint8_t>& code, int location,
                          const MemoryProgress* progress) {
    if (index >= kCombinationMemoryCount || code.size() > 0xFFFF) {
        return refuse(link, "writeCombinationBody", location);
    }
    return writeShortBody(link, command::kWriteCombinationBody, index, code, location, progress);
}

bool readCombinationBody(Link& link, size_t index, CombinationMemoryHeader& header, std::vector<uint8_t>& code,
                         int location, const MemoryProgress* progress) {
    if (!readCombinationHeader(link, index, header, location)) {
        return false;
    }
    if (isEmptyMemory(header)) {
        return refuse(link, "readCombinationBody", location);
    }
    return readShortBody(link, command::kReadCombinationBody, index, header.bodyLength, code, location, progress);
}

bool readAnnouncedBody(Link& link, size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& code,
                       int location, const MemoryProgress* progress) {
    if (index >= kEditMemoryCount || isEmptyMemory(header) || header.bodyLength > kEditBodyMax) {
        return refuse(link, "readEditBody", location);
    }
    return readShortBody(link, command::kReadEditBody, index, header.bodyLength, code, location, progress);
}

bool readAnnouncedBody(Link& link, size_t index, const CombinationMemoryHeader& header,
                       std::vector<uint8_t>& code, int location, const MemoryProgress* progress) {
    if (index >= kCombinationMemoryCount || isEmptyMemory(header)) {
        return refuse(link, "readCombinationBody", location);
    }
    return readShortBody(link, command::kReadCombinationBody, index, header.bodyLength, code, location, progress);
}

// ---- auto-click ----------------------------------------------------------------------------

bool writeAutoClickBlock(Link& link, const uint8_t* block, int location) {
    BusyLink busy(link);
    return busy.finish(
        located(link, commandThenWrite(link, command::kWriteAutoClickBlock, {}, block, kAutoClickBlockSize, {}), location));
}

bool readAutoClickBlock(Link& link, uint8_t* block, int location) {
    BusyLink busy(link);
    return busy.finish(located(
        link, link.sendCommand(command::kReadAutoClickBlock) && link.readBlock(kAutoClickBlockSize, block), location));
}

// ---- composites ---------------------------------------------------------------------------

bool storeRecorded(Link& link, size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                   int location, const MemoryProgress* progress) {
    return writeRecordedHeader(link, index, header, location) &&
           writeRecordedBody(link, index, header, body, location, progress);
}

bool storeEdit(Link& link, size_t index, const EditMemoryHeader& header, const std::vector<uint8_t>& code,
               int location, const MemoryProgress* progress) {
    return writeEditHeader(link, index, header, location) && writeEditBody(link, index, code, location, progress);
}

bool storeCombination(Link& link, size_t index, const CombinationMemoryHeader& header,
                      const std::vector<uint8_t>& code, int location, const MemoryProgress* progress) {
    return writeCombinationHeader(link, index, header, location) &&
           writeCombinationBody(link, index, code, location, progress);
}

} // namespace quillon

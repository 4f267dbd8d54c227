#include "device/memory_headers.h"

#include "base/byte_order.h"
#include "base/fixed_text.h"
#include "base/text.h"

#include <cstring>

namespace quillon {

void recordedHeaderToLink(const RecordedMemoryHeader& header, uint8_t* bytes) {
    std::memcpy(bytes, &header, sizeof header);
    storeBe16(bytes + offsetof(RecordedMemoryHeader, magic), header.magic);
    storeBe16(bytes + offsetof(RecordedMemoryHeader, flags), header.flags);
    storeBe32(bytes + offsetof(RecordedMemoryHeader, bodyLength), header.bodyLength);
    storeBe32(bytes + offsetof(RecordedMemoryHeader, recordingLength), header.recordingLength);
}

void headerFromLink(const uint8_t* bytes, RecordedMemoryHeader& header) {
    std::memcpy(&header, bytes, sizeof header);
    header.magic = loadBe16(bytes + offsetof(RecordedMemoryHeader, magic));
    header.flags = loadBe16(bytes + offsetof(RecordedMemoryHeader, flags));
    header.bodyLength = loadBe32(bytes + offsetof(RecordedMemoryHeader, bodyLength));
    header.recordingLength = loadBe32(bytes + offsetof(RecordedMemoryHeader, recordingLength));
}

RecordedMemoryHeader recordedHeaderFromLink(const uint8_t* bytes) {
    RecordedMemoryHeader header;
    headerFromLink(bytes, header);
    header.name[kMemoryNameField - 1] = '\0';
    return header;
}

void editHeaderToLink(const EditMemoryHeader& header, uint8_t* bytes) {
    std::memcpy(bytes, &header, sizeof header);
    storeBe16(bytes + offsetof(EditMemoryHeader, magic), header.magic);
    storeBe16(bytes + offsetof(EditMemoryHeader, flags), header.flags);
    storeBe16(bytes + offsetof(EditMemoryHeader, bodyLength), header.bodyLength);
}

void headerFromLink(const uint8_t* bytes, EditMemoryHeader& header) {
    std::memcpy(&header, bytes, sizeof header);
    header.magic = loadBe16(bytes + offsetof(EditMemoryHeader, magic));
    header.flags = loadBe16(bytes + offsetof(EditMemoryHeader, flags));
    header.bodyLength = loadBe16(bytes + offsetof(EditMemoryHeader, bodyLength));
}

EditMemoryHeader editHeaderFromLink(const uint8_t* bytes) {
    EditMemoryHeader header;
    headerFromLink(bytes, header);
    header.name[kMemoryNameField - 1] = '\0';
    return header;
}

void combinationHeaderToLink(const CombinationMemoryHeader& header, uint8_t* bytes) {
    std::memcpy(bytes, &header, sizeof header);
    storeBe16(bytes + offsetof(CombinationMemoryHeader, magic), header.magic);
    storeBe16(bytes + offsetof(CombinationMemoryHeader, flags), header.flags);
    storeBe16(bytes + offsetof(CombinationMemoryHeader, bodyLength), header.bodyLength);
}

void headerFromLink(const uint8_t* bytes, CombinationMemoryHeader& header) {
    std::memcpy(&header, bytes, sizeof header);
    header.magic = loadBe16(bytes + offsetof(CombinationMemoryHeader, magic));
    header.flags = loadBe16(bytes + offsetof(CombinationMemoryHeader, flags));
    header.bodyLength = loadBe16(bytes + offsetof(CombinationMemoryHeader, bodyLength));
}

CombinationMemoryHeader combinationHeaderFromLink(const uint8_t* bytes) {
    CombinationMemoryHeader header;
    headerFromLink(bytes, header);
    header.name[kMemoryNameField - 1] = '\0';
    return header;
}

void setMemoryName(char (&field)[kMemoryNameField], std::string_view utf8) {
    // At most kMemoryNameMax bytes are used; the bytes after them stay zero.
    std::memset(field, 0, kMemoryNameField);
    storeFixedText(field, kMemoryNameMax + 1, text::utf8ToCp949(utf8));
}

std::string memoryName(const char (&field)[kMemoryNameField]) {
    return text::cp949ToUtf8(fixedText(field));
}
bool isEmptyMemory(const RecordedMemoryHeader& header) { return header.magic != kRecordedMagic || header.bodyLength == 0; }
bool isEmptyMemory(const EditMemoryHeader& header) { return header.magic != kEditMagic || header.bodyLength == 0; }
bool isEmptyMemory(const CombinationMemoryHeader& header) {
    return header.magic != kCombinationMagic || header.bodyLength == 0;
}

int bankOf(size_t index) { return static_cast<int>(index / 8 + 1); }
int slotOf(size_t index) { return static_cast<int>(index % 8 + 1); }
std::string bankSlot(size_t index) {
    std::string text = std::to_string(bankOf(index));
    text += '-';
    text += std::to_string(slotOf(index));
    return text;
}

} // namespace quillon

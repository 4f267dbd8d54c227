#include "control/device_macro_memory.h"

#include <cstring>

#include "device/memory_transfer.h"

namespace quillon::control {

namespace {

// Location codes of the control program's memory transfers.
constexpr int kReadRecordedHeader = 36001, kReadRecordedBody = 36002, kWriteRecordedHeader = 36003,
              kWriteRecordedBody = 36004, kReadEditHeader = 36005, kReadEditBody = 36006, kStoreEdit = 36007,
              kReadCombinationHeader = 36008, kReadCombinationBody = 36009, kStoreCombination = 36010,
              kReadAutoClick = 36011, kWriteAutoClick = 36012, kWriteEditHeader = 36013;

static_assert(sizeof(quillon::RecordedMemoryHeader) == sizeof(RecordedMemoryHeader));
static_assert(sizeof(quillon::EditMemoryHeader) == sizeof(EditMemoryHeader));
static_assert(sizeof(quillon::CombinationMemoryHeader) == sizeof(CombinationMemoryHeader));

template <typename To, typename From> To same(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}

size_t at(int index) { return static_cast<size_t>(index); }

} // namespace

bool DeviceMacroMemory::readRecordedHeader(int index, RecordedMemoryHeader& header) {
    quillon::RecordedMemoryHeader read{};
    if (!quillon::readRecordedHeader(link_, at(index), read, kReadRecordedHeader)) return false;
    header = same<RecordedMemoryHeader>(read);
    return true;
}

bool DeviceMacroMemory::readRecordedBody(int index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body) {
    return quillon::readRecordedBody(link_, at(index), same<quillon::RecordedMemoryHeader>(header), body,
                                     kReadRecordedBody, progress_);
}

bool DeviceMacroMemory::writeRecordedHeader(int index, const RecordedMemoryHeader& header) {
    return quillon::writeRecordedHeader(link_, at(index), same<quillon::RecordedMemoryHeader>(header),
                                        kWriteRecordedHeader);
}

bool DeviceMacroMemory::writeRecordedBody(int index, const RecordedMemoryHeader& header,
                                          const std::vector<uint8_t>& body) {
    return quillon::writeRecordedBody(link_, at(index), same<quillon::RecordedMemoryHeader>(header), body,
                                      kWriteRecordedBody, progress_);
}

bool DeviceMacroMemory::readEditHeader(int index, EditMemoryHeader& header) {
    quillon::EditMemoryHeader read{};
    if (!quillon::readEditHeader(link_, at(index), read, kReadEditHeader)) return false;
    header = same<EditMemoryHeader>(read);
    return true;
}

bool DeviceMacroMemory::readEditBody(int index, const EditMemoryHeader&, std::vector<uint8_t>& body) {
    quillon::EditMemoryHeader read{};
    return quillon::readEditBody(link_, at(index), read, body, kReadEditBody);
}

bool DeviceMacroMemory::writeEditHeader(int index, const EditMemoryHeader& header) {
    return quillon::writeEditHeader(link_, at(index), same<quillon::EditMemoryHeader>(header), kWriteEditHeader);
}

bool DeviceMacroMemory::storeEdit(int index, const EditMemoryHeader& header, const std::vector<uint8_t>& code) {
    return quillon::storeEdit(link_, at(index), same<quillon::EditMemoryHeader>(header), code, kStoreEdit);
}

bool DeviceMacroMemory::readCombinationHeader(int index, CombinationMemoryHeader& header) {
    quillon::CombinationMemoryHeader read{};
    if (!quillon::readCombinationHeader(link_, at(index), read, kReadCombinationHeader)) return false;
    header = same<CombinationMemoryHeader>(read);
    return true;
}

bool DeviceMacroMemory::readCombinationBody(int index, const CombinationMemoryHeader&, std::vector<uint8_t>& body) {
    quillon::CombinationMemoryHeader read{};
    return quillon::readCombinationBody(link_, at(index), read, body, kReadCombinationBody);
}

bool DeviceMacroMemory::storeCombination(int index, const CombinationMemoryHeader& header,
                                         const std::vector<uint8_t>& code) {
    return quillon::storeCombination(link_, at(index), same<quillon::CombinationMemoryHeader>(header), code,
                                     kStoreCombination);
}

bool DeviceMacroMemory::readAutoClickBlock(uint8_t* block) {
    return quillon::readAutoClickBlock(link_, block, kReadAutoClick);
}

bool DeviceMacroMemory::writeAutoClickBlock(const uint8_t* block) {
    return quillon::writeAutoClickBlock(link_, block, kWriteAutoClick);
}

} // namespace quillon::control

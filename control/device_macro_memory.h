// The macro memory access of the control program on the machine link: the
// memory transfer of the device library behind the control library's seam.
// Headers have the same layout on both sides and are copied byte for byte.
#pragma once

#include "control/macro_memory_access.h"

namespace quillon {
class Link;
struct MemoryProgress;
} // namespace quillon

namespace quillon::control {

class DeviceMacroMemory final : public MacroMemoryAccess {
public:
    // `progress` (optional) is shown while recorded bodies move.
    explicit DeviceMacroMemory(Link& link, const MemoryProgress* progress = nullptr)
        : link_(link), progress_(progress) {}

    bool readRecordedHeader(int index, RecordedMemoryHeader& header) override;
    bool readRecordedBody(int index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body) override;
    bool writeRecordedHeader(int index, const RecordedMemoryHeader& header) override;
    bool writeRecordedBody(int index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body) override;
    bool readEditHeader(int index, EditMemoryHeader& header) override;
    bool readEditBody(int index, const EditMemoryHeader& header, std::vector<uint8_t>& body) override;
    bool writeEditHeader(int index, const EditMemoryHeader& header) override;
    bool storeEdit(int index, const EditMemoryHeader& header, const std::vector<uint8_t>& code) override;
    bool readCombinationHeader(int index, CombinationMemoryHeader& header) override;
    bool readCombinationBody(int index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body) override;
    bool storeCombination(int index, const CombinationMemoryHeader& header, const std::vector<uint8_t>& code) override;
    bool readAutoClickBlock(uint8_t* block) override;
    bool writeAutoClickBlock(const uint8_t* block) override;

private:
    Link& link_;
    const MemoryProgress* progress_;
};

} // namespace quillon::control

// The machine's macro memories as the macro pages and files need them:
// storing and reading back compiled macros, reading the memories a
// combination macro plays when its file is saved, and writing the macros a
// combination file carries back into the machine. The device library
// provides the real one; tests use a fake.
#pragma once

#include <cstdint>
#include <vector>

#include "control/macro_records.h"

namespace quillon::control {

class MacroMemoryAccess {
public:
    virtual ~MacroMemoryAccess() = default;

    // Headers come back in host order; an empty memory reads with a wrong
    // magic or length 0. Every call returns false when the link failed.
    virtual bool readRecordedHeader(int index, RecordedMemoryHeader& header) = 0;
    virtual bool readRecordedBody(int index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body) = 0;
    virtual bool writeRecordedHeader(int index, const RecordedMemoryHeader& header) = 0;
    virtual bool writeRecordedBody(int index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body) = 0;

    virtual bool readEditHeader(int index, EditMemoryHeader& header) = 0;
    virtual bool readEditBody(int index, const EditMemoryHeader& header, std::vector<uint8_t>& body) = 0;
    virtual bool writeEditHeader(int index, const EditMemoryHeader& header) = 0;
    virtual bool storeEdit(int index, const EditMemoryHeader& header, const std::vector<uint8_t>& code) = 0;

    virtual bool readCombinationHeader(int index, CombinationMemoryHeader& header) = 0;
    virtual bool readCombinationBody(int index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body) = 0;
    virtual bool storeCombination(int index, const CombinationMemoryHeader& header, const std::vector<uint8_t>& code) = 0;

    // The 512-byte auto-click block.
    virtual bool readAutoClickBlock(uint8_t* block) = 0;
    virtual bool writeAutoClickBlock(const uint8_t* block) = 0;
};

} // namespace quillon::control

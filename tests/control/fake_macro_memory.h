// A machine's macro memories held in the test, with a log of the writes.
#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "control/macro_memory_access.h"

namespace quillon::control::testing {

class FakeMacroMemory : public MacroMemoryAccess {
public:
    RecordedMemoryHeader recorded[32]{};
    std::vector<uint8_t> recordedBodies[32];
    EditMemoryHeader edit[32]{};
    std::vector<uint8_t> editBodies[32];
    CombinationMemoryHeader combination[8]{};
    std::vector<uint8_t> combinationBodies[8];
    std::array<uint8_t, 512> autoClick{};
    std::vector<std::string> log;
    int failReadsAfter = -1; // reads allowed before the link fails; -1 never
    bool failWrites = false;

    bool readRecordedHeader(int index, RecordedMemoryHeader& header) override {
        if (!read()) return false;
        header = recorded[index];
        return true;
    }
    bool readRecordedBody(int index, const RecordedMemoryHeader&, std::vector<uint8_t>& body) override {
        if (!read()) return false;
        body = recordedBodies[index];
        return true;
    }
    bool writeRecordedHeader(int index, const RecordedMemoryHeader& header) override {
        if (failWrites) return false;
        recorded[index] = header;
        log.push_back("recorded header " + std::to_string(index));
        return true;
    }
    bool writeRecordedBody(int index, const RecordedMemoryHeader&, const std::vector<uint8_t>& body) override {
        if (failWrites) return false;
        recordedBodies[index] = body;
        log.push_back("recorded body " + std::to_string(index));
        return true;
    }
    bool readEditHeader(int index, EditMemoryHeader& header) override {
        if (!read()) return false;
        header = edit[index];
        return true;
    }
    bool readEditBody(int index, const EditMemoryHeader&, std::vector<uint8_t>& body) override {
        if (!read()) return false;
        body = editBodies[index];
        return true;
    }
    bool writeEditHeader(int index, const EditMemoryHeader& header) override {
        if (failWrites) return false;
        edit[index] = header;
        log.push_back("edit header " + std::to_string(index));
        return true;
    }
    bool storeEdit(int index, const EditMemoryHeader& header, const std::vector<uint8_t>& code) override {
        if (failWrites) return false;
        edit[index] = header;
        editBodies[index] = code;
        log.push_back("edit " + std::to_string(index));
        return true;
    }

    bool readCombinationHeader(int index, CombinationMemoryHeader& header) override {
        if (!read()) return false;
        header = combination[index];
        return true;
    }
    bool readCombinationBody(int index, const CombinationMemoryHeader&, std::vector<uint8_t>& body) override {
        if (!read()) return false;
        body = combinationBodies[index];
        return true;
    }
    bool storeCombination(int index, const CombinationMemoryHeader& header, const std::vector<uint8_t>& code) override {
        if (failWrites) return false;
        combination[index] = header;
        combinationBodies[index] = code;
        log.push_back("combination " + std::to_string(index));
        return true;
    }

    bool readAutoClickBlock(uint8_t* block) override {
        if (!read()) return false;
        std::copy(autoClick.begin(), autoClick.end(), block);
        return true;
    }
    bool writeAutoClickBlock(const uint8_t* block) override {
        if (failWrites) return false;
        std::copy(block, block + autoClick.size(), autoClick.begin());
        log.push_back("auto-click");
        return true;
    }

    void putRecorded(int index, std::vector<uint8_t> body) {
        recorded[index] = {};
        recorded[index].magic = kRecordedMagic;
        recorded[index].bodyLength = static_cast<uint32_t>(body.size());
        recordedBodies[index] = std::move(body);
    }
    void putEdit(int index, std::vector<uint8_t> code) {
        edit[index] = {};
        edit[index].magic = kEditMagic;
        edit[index].bodyLength = static_cast<uint16_t>(code.size());
        editBodies[index] = std::move(code);
    }

private:
    bool read() { return failReadsAfter < 0 || failReadsAfter-- > 0; }
};

} // namespace quillon::control::testing

// The machine's macro memories held in the test, with the rules of the real
// ones (a recorded header is stored with magic 0x6688, an empty header
// refuses its body), a log of the writes and a switch that cuts the link.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "device/macro_memory.h"

namespace quillon::testing {

class FakeMacroMemory : public MacroMemory {
public:
    std::array<RecordedMemoryHeader, kRecordedMemoryCount> recorded{};
    std::array<std::vector<uint8_t>, kRecordedMemoryCount> recordedBodies;
    std::array<EditMemoryHeader, kEditMemoryCount> edit{};
    std::array<std::vector<uint8_t>, kEditMemoryCount> editBodies;
    std::array<CombinationMemoryHeader, kCombinationMemoryCount> combination{};
    std::array<std::vector<uint8_t>, kCombinationMemoryCount> combinationBodies;
    std::array<uint8_t, kAutoClickBlockSize> autoClick{};
    std::vector<std::string> log; // "recorded header 3", "edit body 9" ...
    int failReadsAfter = -1;       // reads allowed before the link fails; -1 never
    bool failWrites = false;
    std::string failOperation;     // this one fails at every index: "edit body write" ...
    int lastLocation = 0;          // of the last failed operation

    bool readHeader(size_t index, RecordedMemoryHeader& header, int location) override {
        return read("recorded header read", location) && index < recorded.size() && (header = recorded[index], true);
    }
    bool readHeader(size_t index, EditMemoryHeader& header, int location) override {
        return read("edit header read", location) && index < edit.size() && (header = edit[index], true);
    }
    bool readHeader(size_t index, CombinationMemoryHeader& header, int location) override {
        return read("combination header read", location) && index < combination.size() &&
               (header = combination[index], true);
    }
    bool readBody(size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* = nullptr) override {
        return readBodyOf("recorded body read", recordedBodies, index, header, body, location);
    }
    bool readBody(size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* = nullptr) override {
        return readBodyOf("edit body read", editBodies, index, header, body, location);
    }
    bool readBody(size_t index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* = nullptr) override {
        return readBodyOf("combination body read", combinationBodies, index, header, body, location);
    }
    bool writeHeader(size_t index, const RecordedMemoryHeader& header, int location) override {
        if (!write("recorded header write", location) || index >= recorded.size()) return false;
        recorded[index] = header;
        recorded[index].magic = kRecordedMagic;
        log.push_back("recorded header " + std::to_string(index));
        return true;
    }
    bool writeHeader(size_t index, const EditMemoryHeader& header, int location) override {
        if (!write("edit header write", location) || index >= edit.size()) return false;
        edit[index] = header;
        log.push_back("edit header " + std::to_string(index));
        return true;
    }
    bool writeHeader(size_t index, const CombinationMemoryHeader& header, int location) override {
        if (!write("combination header write", location) || index >= combination.size()) return false;
        combination[index] = header;
        log.push_back("combination header " + std::to_string(index));
        return true;
    }
    bool writeBody(size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body, int location,
                   const MemoryProgress* = nullptr) override {
        // The machine takes as many bytes as the header announced.
        if (!write("recorded body write", location) || index >= recorded.size() || header.bodyLength > body.size()) {
            return false;
        }
        recordedBodies[index].assign(body.begin(), body.begin() + header.bodyLength);
        log.push_back("recorded body " + std::to_string(index));
        return true;
    }
    bool writeBody(size_t index, const EditMemoryHeader&, const std::vector<uint8_t>& body, int location,
                   const MemoryProgress* = nullptr) override {
        if (!write("edit body write", location) || index >= edit.size() || body.size() > kEditBodyMax) return false;
        editBodies[index] = body;
        log.push_back("edit body " + std::to_string(index));
        return true;
    }
    bool writeBody(size_t index, const CombinationMemoryHeader&, const std::vector<uint8_t>& body, int location,
                   const MemoryProgress* = nullptr) override {
        if (!write("combination body write", location) || index >= combination.size()) return false;
        combinationBodies[index] = body;
        log.push_back("combination body " + std::to_string(index));
        return true;
    }
    bool readAutoClickBlock(uint8_t* block, int location) override {
        if (!read("auto-click read", location)) return false;
        std::copy(autoClick.begin(), autoClick.end(), block);
        return true;
    }
    bool writeAutoClickBlock(const uint8_t* block, int location) override {
        if (!write("auto-click write", location)) return false;
        std::copy(block, block + autoClick.size(), autoClick.begin());
        log.push_back("auto-click");
        return true;
    }

    // A valid memory holding `body`, named as the machine names a new macro
    // (an empty name).
    void putRecorded(size_t index, std::vector<uint8_t> body) {
        recorded.at(index) = {};
        recorded[index].magic = kRecordedMagic;
        recorded[index].bodyLength = static_cast<uint32_t>(body.size());
        recordedBodies[index] = std::move(body);
    }
    void putEdit(size_t index, std::vector<uint8_t> code) {
        edit.at(index) = {};
        edit[index].magic = kEditMagic;
        edit[index].bodyLength = static_cast<uint16_t>(code.size());
        editBodies[index] = std::move(code);
    }

private:
    bool read(const char* operation, int location) {
        if (operation != failOperation && (failReadsAfter < 0 || failReadsAfter-- > 0)) return true;
        lastLocation = location;
        return false;
    }
    bool write(const char* operation, int location) {
        if (operation != failOperation && !failWrites) return true;
        lastLocation = location;
        return false;
    }
    template <typename Bodies, typename Header>
    bool readBodyOf(const char* operation, const Bodies& bodies, size_t index, const Header& header,
                    std::vector<uint8_t>& body, int location) {
        if (index >= bodies.size() || isEmptyMemory(header)) return false;
        if (!read(operation, location)) return false;
        body = bodies[index];
        body.resize(header.bodyLength);
        return true;
    }
};

} // namespace quillon::testing

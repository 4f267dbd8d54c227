// Folders, a fake machine and a block walker shared by the file tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analyzer/analyzer_file.h"
#include "analyzer/machine_macros.h"

namespace quillon::analyzer::testing {

// A fresh folder with Image/, Sound/ and Save/ inside, removed afterwards.
class TempFolders {
public:
    TempFolders();
    ~TempFolders();
    std::string image() const { return (root_ / "Image").string(); }
    std::string sound() const { return (root_ / "Sound").string(); }
    std::string save(const std::string& name) const { return (root_ / "Save" / name).string(); }
    std::filesystem::path root() const { return root_; }
    void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> readFile(const std::string& path) const;

private:
    std::filesystem::path root_;
};

// Machine memories held in host order; every write is logged.
class FakeMachine : public MachineMacroPort {
public:
    struct Memory {
        std::vector<uint8_t> header;
        std::vector<uint8_t> body;
    };
    Memory& memory(MacroKind kind, int index) { return memories_[{static_cast<int>(kind), index}]; }
    void putRecorded(int index, const std::string& name, std::vector<uint8_t> body);
    void putEdit(int index, const std::string& name, std::vector<uint8_t> body);
    void putCombination(int index, uint32_t recordedMask, uint32_t editMask, std::vector<uint8_t> body);

    bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) override;
    bool readBody(MacroKind kind, int index, const std::vector<uint8_t>& header, std::vector<uint8_t>& body) override;
    bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) override;
    bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& header,
                   const std::vector<uint8_t>& body) override;
    std::string listedName(MacroKind kind, int index) override;

    std::vector<std::string> reads;  // "R9", "E3", "C0" ...
    std::vector<std::string> writes; // "R9 header", "R9 body" ...
    std::string failRead;            // e.g. "R9 body"
private:
    std::map<std::pair<int, int>, Memory> memories_;
};

struct Block {
    size_t offset;
    uint32_t length;
};

// Walks `count` blocks from `offset`; returns their positions.
std::vector<Block> walkBlocks(const std::vector<uint8_t>& file, size_t offset, size_t count);
// Decompressed content of one block.
std::vector<uint8_t> blockContent(const std::vector<uint8_t>& file, const Block& block, size_t size);

} // namespace quillon::analyzer::testing

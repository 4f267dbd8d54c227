// The machine's macro memories as every program reaches them: 32 recorded,
// 32 edit and 8 combination memories (one header and one body each) and the
// auto-click block. Headers cross this interface in host order, every other
// byte as the machine holds it. LinkMacroMemory moves them over the machine
// link; tests use an in-memory machine with the same rules.
#pragma once

#include "device/memory_headers.h"
#include "device/memory_transfer.h"

#include <cstdint>
#include <vector>

namespace quillon {

class MacroMemory {
public:
    virtual ~MacroMemory() = default;

    // Every operation carries the location code of its call site, shown when
    // the machine stops answering, and returns false on failure.

    // The header as stored: an empty memory reads with a wrong magic or a
    // body length of 0 and is not renamed (see readListedHeader).
    virtual bool readHeader(size_t index, RecordedMemoryHeader& header, int location) = 0;
    virtual bool readHeader(size_t index, EditMemoryHeader& header, int location) = 0;
    virtual bool readHeader(size_t index, CombinationMemoryHeader& header, int location) = 0;

    // The body the header announces; refused without any exchange when the
    // header is empty.
    virtual bool readBody(size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body, int location,
                          const MemoryProgress* progress = nullptr) = 0;
    virtual bool readBody(size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& body, int location,
                          const MemoryProgress* progress = nullptr) = 0;
    virtual bool readBody(size_t index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body,
                          int location, const MemoryProgress* progress = nullptr) = 0;

    // A recorded header always goes out with magic 0x6688.
    virtual bool writeHeader(size_t index, const RecordedMemoryHeader& header, int location) = 0;
    virtual bool writeHeader(size_t index, const EditMemoryHeader& header, int location) = 0;
    virtual bool writeHeader(size_t index, const CombinationMemoryHeader& header, int location) = 0;

    // A recorded body is as long as the header written before it says; edit
    // and combination bodies carry their own length.
    virtual bool writeBody(size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body,
                           int location, const MemoryProgress* progress = nullptr) = 0;
    virtual bool writeBody(size_t index, const EditMemoryHeader& header, const std::vector<uint8_t>& body,
                           int location, const MemoryProgress* progress = nullptr) = 0;
    virtual bool writeBody(size_t index, const CombinationMemoryHeader& header, const std::vector<uint8_t>& body,
                           int location, const MemoryProgress* progress = nullptr) = 0;

    // The 512-byte auto-click block.
    virtual bool readAutoClickBlock(uint8_t* block, int location) = 0;
    virtual bool writeAutoClickBlock(const uint8_t* block, int location) = 0;
};

// Header then body. A macro without a body gets its header only: the
// machine is never sent an empty body.
template <typename Header>
bool storeMacro(MacroMemory& memory, size_t index, const Header& header, const std::vector<uint8_t>& body,
                int location, const MemoryProgress* progress = nullptr) {
    if (!memory.writeHeader(index, header, location)) {
        return false;
    }
    return body.empty() || memory.writeBody(index, header, body, location, progress);
}

// The header as the memory lists show it, then the body it announces: a page
// that loads a macro asks for the header again, so that the body always
// matches the header the machine holds now. An empty memory is refused
// without asking for its body.
template <typename Header>
bool readMacro(MacroMemory& memory, size_t index, Header& header, std::vector<uint8_t>& body, int location,
               const MemoryProgress* progress = nullptr);

// The header as the memory lists show it: an empty recorded or combination
// memory is named "비어 있슴" with its flags and lengths 0; an edit memory
// with a wrong magic keeps its name and reads with length 0.
bool readListedHeader(MacroMemory& memory, size_t index, RecordedMemoryHeader& header, int location);
bool readListedHeader(MacroMemory& memory, size_t index, EditMemoryHeader& header, int location);
bool readListedHeader(MacroMemory& memory, size_t index, CombinationMemoryHeader& header, int location);

template <typename Header>
bool readMacro(MacroMemory& memory, size_t index, Header& header, std::vector<uint8_t>& body, int location,
               const MemoryProgress* progress) {
    return readListedHeader(memory, index, header, location) &&
           memory.readBody(index, header, body, location, progress);
}

// The macro memories over the machine link.
class LinkMacroMemory final : public MacroMemory {
public:
    explicit LinkMacroMemory(Link& link) : link_(link) {}

    bool readHeader(size_t index, RecordedMemoryHeader& header, int location) override;
    bool readHeader(size_t index, EditMemoryHeader& header, int location) override;
    bool readHeader(size_t index, CombinationMemoryHeader& header, int location) override;
    bool readBody(size_t index, const RecordedMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* progress = nullptr) override;
    bool readBody(size_t index, const EditMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* progress = nullptr) override;
    bool readBody(size_t index, const CombinationMemoryHeader& header, std::vector<uint8_t>& body, int location,
                  const MemoryProgress* progress = nullptr) override;
    bool writeHeader(size_t index, const RecordedMemoryHeader& header, int location) override;
    bool writeHeader(size_t index, const EditMemoryHeader& header, int location) override;
    bool writeHeader(size_t index, const CombinationMemoryHeader& header, int location) override;
    bool writeBody(size_t index, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body, int location,
                   const MemoryProgress* progress = nullptr) override;
    bool writeBody(size_t index, const EditMemoryHeader& header, const std::vector<uint8_t>& body, int location,
                   const MemoryProgress* progress = nullptr) override;
    bool writeBody(size_t index, const CombinationMemoryHeader& header, const std::vector<uint8_t>& body,
                   int location, const MemoryProgress* progress = nullptr) override;
    bool readAutoClickBlock(uint8_t* block, int location) override;
    bool writeAutoClickBlock(const uint8_t* block, int location) override;

private:
    Link& link_;
};

} // namespace quillon

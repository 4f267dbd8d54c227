#include "file_fixtures.h"

#include <atomic>
#include <unistd.h>
#include <fstream>
#include <iterator>

#include "base/byte_order.h"
#include "base/lznt1.h"

namespace quillon::analyzer::testing {

TempFolders::TempFolders() {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("quillon-analyzer-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    for (const char* sub : {"Image", "Sound", "Save"}) {
        std::filesystem::create_directories(root_ / sub);
    }
}

TempFolders::~TempFolders() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

namespace {

// Paths are UTF-8 everywhere, also where the narrow code page is not.
std::filesystem::path utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

} // namespace

void TempFolders::writeFile(const std::string& path, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(utf8Path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> TempFolders::readFile(const std::string& path) const {
    std::ifstream in(utf8Path(path), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace {

std::string tag(MacroKind kind, int index) {
    std::string out(1, kind == MacroKind::Recorded ? 'R' : kind == MacroKind::Edit ? 'E' : 'C');
    out += std::to_string(index);
    return out;
}

} // namespace

void FakeMachine::putRecorded(int index, const std::string& name, std::vector<uint8_t> body) {
    Memory& m = memory(MacroKind::Recorded, index);
    m.header.assign(kRecordedHeaderSize, 0);
    storeLe16(m.header.data(), kRecordedMagic);
    std::copy(name.begin(), name.end(), m.header.begin() + 4);
    storeLe32(m.header.data() + 46, static_cast<uint32_t>(body.size()));
    storeLe32(m.header.data() + 50, 1234);
    m.body = std::move(body);
}

void FakeMachine::putEdit(int index, const std::string& name, std::vector<uint8_t> body) {
    Memory& m = memory(MacroKind::Edit, index);
    m.header.assign(kEditHeaderSize, 0);
    storeLe16(m.header.data(), kEditMagic);
    std::copy(name.begin(), name.end(), m.header.begin() + 4);
    storeLe16(m.header.data() + 46, static_cast<uint16_t>(body.size()));
    m.body = std::move(body);
}

void FakeMachine::putCombination(int index, uint32_t recordedMask, uint32_t editMask, std::vector<uint8_t> body) {
    Memory& m = memory(MacroKind::Combination, index);
    m.header.assign(kCombinationHeaderSize, 0);
    storeLe16(m.header.data(), kCombinationMagic);
    storeLe16(m.header.data() + 46, static_cast<uint16_t>(body.size()));
    storeLe32(m.header.data() + 48, recordedMask);
    storeLe32(m.header.data() + 52, editMask);
    m.body = std::move(body);
}

bool FakeMachine::readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) {
    reads.push_back(tag(kind, index));
    if (failRead == tag(kind, index) + " header") {
        return false;
    }
    Memory& m = memory(kind, index);
    header = m.header.empty() ? std::vector<uint8_t>(headerSizeOf(kind), 0) : m.header;
    return true;
}

bool FakeMachine::readBody(MacroKind kind, int index, const std::vector<uint8_t>&, std::vector<uint8_t>& body) {
    if (failRead == tag(kind, index) + " body") {
        return false;
    }
    body = memory(kind, index).body;
    return true;
}

bool FakeMachine::writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) {
    writes.push_back(tag(kind, index) + " header");
    memory(kind, index).header = header;
    return true;
}

bool FakeMachine::writeBody(MacroKind kind, int index, const std::vector<uint8_t>&, const std::vector<uint8_t>& body) {
    writes.push_back(tag(kind, index) + " body");
    memory(kind, index).body = body;
    return true;
}

std::string FakeMachine::listedName(MacroKind kind, int index) { return "macro" + tag(kind, index); }

std::vector<Block> walkBlocks(const std::vector<uint8_t>& file, size_t offset, size_t count) {
    std::vector<Block> out;
    for (size_t i = 0; i < count && offset + 4 <= file.size(); ++i) {
        uint32_t length = loadLe32(file.data() + offset);
        out.push_back({offset, length});
        offset += 4 + length;
    }
    return out;
}

std::vector<uint8_t> blockContent(const std::vector<uint8_t>& file, const Block& block, size_t size) {
    std::vector<uint8_t> out(size);
    size_t produced = 0;
    if (!lznt1::decompress(file.data() + block.offset + 4, block.length, out.data(), out.size(), produced) ||
        produced != size) {
        return {};
    }
    return out;
}

} // namespace quillon::analyzer::testing

// The macro file readers on arbitrary bytes: the first byte chooses the
// reader (edit, combination, working copies, recorded, older recorded,
// auto-click, carried memories), the rest is the file.
#include <cstdint>
#include <vector>

#include "control/auto_click.h"
#include "control/macro_files.h"
#include "control/recorded_macro.h"

using namespace quillon::control;

namespace {

// Accepts every write and reads nothing: only the reader's bounds matter here.
class NullMemory : public MacroMemoryAccess {
public:
    bool readRecordedHeader(int, RecordedMemoryHeader&) override { return false; }
    bool readRecordedBody(int, const RecordedMemoryHeader&, std::vector<uint8_t>&) override { return false; }
    bool writeRecordedHeader(int, const RecordedMemoryHeader&) override { return true; }
    bool writeRecordedBody(int, const RecordedMemoryHeader& header, const std::vector<uint8_t>& body) override {
        return body.size() == header.bodyLength;
    }
    bool readEditHeader(int, EditMemoryHeader&) override { return false; }
    bool readEditBody(int, const EditMemoryHeader&, std::vector<uint8_t>&) override { return false; }
    bool writeEditHeader(int, const EditMemoryHeader&) override { return true; }
    bool storeEdit(int, const EditMemoryHeader& header, const std::vector<uint8_t>& code) override {
        return code.size() == header.bodyLength;
    }
    bool readCombinationHeader(int, CombinationMemoryHeader&) override { return false; }
    bool readCombinationBody(int, const CombinationMemoryHeader&, std::vector<uint8_t>&) override { return false; }
    bool storeCombination(int, const CombinationMemoryHeader&, const std::vector<uint8_t>&) override { return true; }
    bool readAutoClickBlock(uint8_t*) override { return false; }
    bool writeAutoClickBlock(const uint8_t*) override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t* file = data + 1;
    const size_t length = size - 1;
    switch (data[0] % 8) {
    case 0: {
        EditMacroFile out;
        decodeEditFile(file, length, out);
        break;
    }
    case 1: {
        CombinationMacroFile out;
        decodeCombinationFile(file, length, out);
        break;
    }
    case 2: {
        EditMacroFile out;
        decodeEditFile(file, length, out, true);
        break;
    }
    case 3: {
        CombinationMacroFile out;
        decodeCombinationFile(file, length, out, true);
        break;
    }
    case 4: {
        RecordedMacroFile out;
        decodeRecordedFile(file, length, out);
        break;
    }
    case 5: {
        auto converted = convertMgild(std::vector<uint8_t>(file, file + length));
        if (converted) {
            RecordedMacroFile out;
            if (!decodeRecordedFile(converted->data(), converted->size(), out)) __builtin_trap();
        }
        break;
    }
    case 6: {
        AutoClickSettings settings{};
        if (settingsFromFile(file, length, settings) || settingsFromBlock(file, length, settings)) {
            std::array<uint8_t, kAutoClickBlockSize> block;
            buildAutoClickBlock(settings, block);
        }
        break;
    }
    default: {
        NullMemory memory;
        storeEmbeddedMacros(file, length, memory);
        break;
    }
    }
    return 0;
}

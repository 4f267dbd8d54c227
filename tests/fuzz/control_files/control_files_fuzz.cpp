// The macro file readers on arbitrary bytes: the first byte chooses the
// reader (edit, combination, working copies, recorded, older recorded,
// auto-click, carried memories), the rest is the file.
#include <cstdint>
#include <vector>

#include "control/auto_click.h"
#include "control/macro_files.h"
#include "control/recorded_macro.h"
#include "tests/device/fake_macro_memory.h"

using namespace quillon::control;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The documents (7 MB each) are kept between inputs: allocating them for
    // each input was most of the target's time. Every reader fills what it
    // accepts before it is used.
    static EditMacroFile edit;
    static CombinationMacroFile combination;
    const uint8_t* file = data + 1;
    const size_t length = size - 1;
    switch (data[0] % 8) {
    case 0:
        decodeEditFile(file, length, edit);
        break;
    case 1:
        decodeCombinationFile(file, length, combination);
        break;
    case 2:
        decodeEditFile(file, length, edit, true);
        break;
    case 3:
        decodeCombinationFile(file, length, combination, true);
        break;
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
        quillon::testing::FakeMacroMemory memory; // takes every well-formed write
        storeEmbeddedMacros(file, length, memory);
        break;
    }
    }
    return 0;
}

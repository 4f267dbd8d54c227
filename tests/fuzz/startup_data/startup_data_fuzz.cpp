// The start-up data: the first byte picks what is fuzzed.
//   even: the readable source of a block (the text make-datafiles builds the
//         installed files from); a block it builds must load and read back.
//   odd:  the three installed files themselves, each filled with the input
//         over and over up to its size, then loaded and every shared text,
//         port name and setting read, plus texts at offsets the input names.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/path.h"
#include "device/startup_data.h"
#include "device/startup_data_writer.h"

namespace {

using namespace quillon;

const std::string& dataFolder() {
    static const std::string folder = [] {
        std::string root = (std::filesystem::temp_directory_path() / ("startup-fuzz-" + std::to_string(::getpid())))
                               .string();
        std::filesystem::create_directories(std::filesystem::path(root) / kStartupDataFolder);
        return root;
    }();
    return folder;
}

void writeBlock(const StartupBlockLayout& layout, const uint8_t* data, size_t size) {
    std::vector<uint8_t> block(layout.size);
    // The input over and over, by doubling copies (a loop over every byte was
    // most of the target's time under the fuzzer's comparison tracing).
    size_t filled = size < block.size() ? size : block.size();
    if (filled) std::memcpy(block.data(), data, filled);
    while (filled && filled < block.size()) {
        const size_t step = filled < block.size() - filled ? filled : block.size() - filled;
        std::memcpy(block.data() + filled, block.data(), step);
        filled += step;
    }
    // A plain write: the reader is fuzzed, not the safe save (whose flush to
    // the disk made this target a hundred times slower).
    std::FILE* file = std::fopen(joinPath(joinPath(dataFolder(), kStartupDataFolder), layout.fileName).c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
}

void readEverything(const StartupData& data, const uint8_t* offsets, size_t count) {
    (void)data.name(name_offset::kProgramFolder);
    (void)data.name(name_offset::kScreenshotPath);
    (void)data.name(name_offset::kDisplayDevice);
    for (size_t i = 0; i <= name_offset::kSerialPortCount; ++i) {
        (void)data.serialPortName(i);
    }
    for (size_t i = 0; i + 3 <= count; i += 3) {
        const size_t offset = offsets[i] | (offsets[i + 1] << 8) | (offsets[i + 2] << 16);
        (void)data.text(offset);
        (void)data.name(offset);
        (void)data.setting(offset);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t* rest = data + 1;
    const size_t length = size - 1;
    if ((data[0] & 1) == 0) {
        static const StartupBlock blocks[] = {StartupBlock::Text, StartupBlock::Settings, StartupBlock::Name};
        const StartupBlock block = blocks[(data[0] >> 1) % 3];
        std::vector<uint8_t> built;
        StartupSourceError error;
        if (buildStartupBlock(block, std::string(reinterpret_cast<const char*>(rest), length), built, error) &&
            built.size() != layoutOf(block).size) {
            std::abort();
        }
        return 0;
    }
    writeBlock(kTextBlockLayout, rest, length);
    writeBlock(kSettingsBlockLayout, rest, length);
    writeBlock(kNameBlockLayout, rest, length);
    StartupData loaded;
    if (loaded.load(dataFolder(), [] { return 7; }) == StartupLoadResult::Ok) {
        readEverything(loaded, rest, std::min<size_t>(length, 96));
    }
    return 0;
}

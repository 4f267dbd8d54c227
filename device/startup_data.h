// The three start-up data files that the four device programs read from the
// data sub-folder of their own folder: the text block (messages and labels,
// scrambled), the settings block (32-bit fields, plain after loading) and the
// name block (folder, port and device names, scrambled).
//
// Scrambling: every byte is stored plus the key byte (the low byte of the
// block's 32-bit key), and a text ends with one byte equal to the key byte.
// Text and name blocks are re-keyed at load time so that they stay scrambled
// in memory under a key that differs from run to run.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class StartupBlock { Text, Settings, Name };

struct StartupBlockLayout {
    StartupBlock block;
    const char* fileName; // inside the data sub-folder
    size_t size;
    size_t keyOffset;
};

inline constexpr const char* kStartupDataFolder = "Data";
inline constexpr StartupBlockLayout kTextBlockLayout{StartupBlock::Text, "qltext.bin", 262144, 256};
inline constexpr StartupBlockLayout kSettingsBlockLayout{StartupBlock::Settings, "qlconf.bin", 10240, 40};
inline constexpr StartupBlockLayout kNameBlockLayout{StartupBlock::Name, "qlname.bin", 76800, 256};

const StartupBlockLayout& layoutOf(StartupBlock block);

// Offsets that several programs share (name block).
namespace name_offset {
inline constexpr size_t kProgramFolder = 516;
inline constexpr size_t kScreenshotPath = 3460;
inline constexpr size_t kSerialPorts = 4964; // seven names in 8-byte slots
inline constexpr size_t kSerialPortSlot = 8;
inline constexpr size_t kSerialPortCount = 7;
inline constexpr size_t kDisplayDevice = 5020;
} // namespace name_offset

enum class StartupLoadResult { Ok, TextBlockMissing, SettingsBlockMissing, NameBlockMissing };

class StartupData {
public:
    StartupData();

    // Reads the three blocks from `<programFolder>/Data/`, applies the key
    // handling and writes the program folder into the name block. `random`
    // stands for rand() (tests pass their own); the default seeds from the time.
    StartupLoadResult load(const std::string& programFolder, std::function<int()> random = {});

    // Reads a text: CP949 bytes, key byte subtracted, up to the terminator or
    // the end of the block, whichever comes first.
    std::string hiddenText(StartupBlock block, size_t offset) const;
    // The same text in UTF-8, for showing it.
    std::string text(size_t offset) const;      // text block
    std::string name(size_t offset) const;      // name block
    std::string serialPortName(size_t index) const; // 0 = first of the seven

    // Settings fields: 32-bit signed little-endian; out-of-range offsets read 0.
    int32_t setting(size_t offset) const;
    void setSetting(size_t offset, int32_t value);

    // The settings block as held in memory (plain, key at offset 40 as read).
    const std::vector<uint8_t>& settingsBlock() const { return settings_; }
    // Raw blocks as held in memory (scrambled under the current keys).
    const std::vector<uint8_t>& rawBlock(StartupBlock block) const;
    uint32_t currentKey(StartupBlock block) const;

private:
    void rekey(std::vector<uint8_t>& block, size_t keyOffset, int d);
    void writeHidden(std::vector<uint8_t>& block, size_t keyOffset, size_t offset, std::string_view bytes);

    std::vector<uint8_t> text_, settings_, names_;
};

} // namespace quillon

#include "device/startup_data.h"

#include <cstdlib>
#include <ctime>

#include "base/byte_order.h"
#include "base/file.h"
#include "base/path.h"
#include "base/text.h"

namespace quillon {
namespace {

uint8_t keyByte(uint32_t key) { return static_cast<uint8_t>(key & 0xFF); }

std::string blockPath(const std::string& programFolder, const StartupBlockLayout& layout) {
    return joinPath(joinPath(programFolder, kStartupDataFolder), layout.fileName);
}

} // namespace

const StartupBlockLayout& layoutOf(StartupBlock block) {
    switch (block) {
    case StartupBlock::Text:
        return kTextBlockLayout;
    case StartupBlock::Settings:
        return kSettingsBlockLayout;
    case StartupBlock::Name:
        break;
    }
    return kNameBlockLayout;
}

StartupData::StartupData()
    : text_(kTextBlockLayout.size), settings_(kSettingsBlockLayout.size), names_(kNameBlockLayout.size) {}

StartupLoadResult StartupData::load(const std::string& programFolder, std::function<int()> random) {
    if (!random) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        random = [] { return std::rand(); };
    }
    // Each block is read whole; a missing or short file is a missing block.
    if (!readFileExactly(blockPath(programFolder, kTextBlockLayout), text_.data(), text_.size())) {
        return StartupLoadResult::TextBlockMissing;
    }
    if (!readFileExactly(blockPath(programFolder, kSettingsBlockLayout), settings_.data(), settings_.size())) {
        return StartupLoadResult::SettingsBlockMissing;
    }
    if (!readFileExactly(blockPath(programFolder, kNameBlockLayout), names_.data(), names_.size())) {
        return StartupLoadResult::NameBlockMissing;
    }

    // Settings are used plain; the key stays readable at its offset.
    const size_t settingsKeyAt = kSettingsBlockLayout.keyOffset;
    uint32_t settingsKey = loadLe32(&settings_[settingsKeyAt]);
    for (uint8_t& b : settings_) {
        b = static_cast<uint8_t>(b - keyByte(settingsKey));
    }
    storeLe32(&settings_[settingsKeyAt], settingsKey);

    // Texts and names stay scrambled, under a key that changes every run.
    rekey(text_, kTextBlockLayout.keyOffset, 1 + random() % 15);
    rekey(names_, kNameBlockLayout.keyOffset, 1 + random() % 15);

    writeHidden(names_, kNameBlockLayout.keyOffset, name_offset::kProgramFolder, text::utf8ToCp949(programFolder));
    return StartupLoadResult::Ok;
}

void StartupData::rekey(std::vector<uint8_t>& block, size_t keyOffset, int d) {
    uint32_t key = loadLe32(&block[keyOffset]);
    for (uint8_t& b : block) {
        b = static_cast<uint8_t>(b - d);
    }
    storeLe32(&block[keyOffset], key - static_cast<uint32_t>(d));
}

void StartupData::writeHidden(std::vector<uint8_t>& block, size_t keyOffset, size_t offset, std::string_view bytes) {
    uint8_t key = keyByte(loadLe32(&block[keyOffset]));
    // Room up to the next text the programs read (the screenshot path).
    const size_t room = name_offset::kScreenshotPath - offset - 1;
    size_t n = std::min(bytes.size(), room);
    for (size_t i = 0; i < n; ++i) {
        block[offset + i] = static_cast<uint8_t>(static_cast<uint8_t>(bytes[i]) + key);
    }
    block[offset + n] = key;
}

std::string StartupData::hiddenText(StartupBlock which, size_t offset) const {
    const std::vector<uint8_t>& block = rawBlock(which);
    if (which == StartupBlock::Settings || offset >= block.size()) {
        return {};
    }
    uint8_t key = keyByte(currentKey(which));
    std::string out;
    for (size_t i = offset; i < block.size() && block[i] != key; ++i) {
        out += static_cast<char>(static_cast<uint8_t>(block[i] - key));
    }
    return out;
}

std::string StartupData::text(size_t offset) const {
    return text::cp949ToUtf8(hiddenText(StartupBlock::Text, offset));
}

std::string StartupData::name(size_t offset) const {
    return text::cp949ToUtf8(hiddenText(StartupBlock::Name, offset));
}

std::string StartupData::serialPortName(size_t index) const {
    if (index >= name_offset::kSerialPortCount) {
        return {};
    }
    return name(name_offset::kSerialPorts + index * name_offset::kSerialPortSlot);
}

int32_t StartupData::setting(size_t offset) const {
    if (offset > settings_.size() - 4) {
        return 0;
    }
    return static_cast<int32_t>(loadLe32(&settings_[offset]));
}

void StartupData::setSetting(size_t offset, int32_t value) {
    if (offset <= settings_.size() - 4) {
        storeLe32(&settings_[offset], static_cast<uint32_t>(value));
    }
}

const std::vector<uint8_t>& StartupData::rawBlock(StartupBlock block) const {
    switch (block) {
    case StartupBlock::Text:
        return text_;
    case StartupBlock::Settings:
        return settings_;
    case StartupBlock::Name:
        break;
    }
    return names_;
}

uint32_t StartupData::currentKey(StartupBlock block) const {
    return loadLe32(&rawBlock(block)[layoutOf(block).keyOffset]);
}

} // namespace quillon

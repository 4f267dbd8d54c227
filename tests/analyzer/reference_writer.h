// An independent writer of analyzer files for the tests: it knows the layout
// only as byte offsets and encodes LZNT1 on its own (all-zero chunks as one
// literal and one long back reference, other chunks stored), so files made
// here check the reader without trusting the code under test.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon::analyzer::reference {

// A mostly-zero buffer: its size and the bytes written into it.
class SparseBytes {
public:
    explicit SparseBytes(uint64_t size) : size_(size) {}
    void put32(uint64_t offset, int64_t value);
    void putText(uint64_t offset, const std::string& bytes); // NUL added
    void putBytes(uint64_t offset, const std::vector<uint8_t>& bytes);
    uint64_t size() const { return size_; }
    // The bytes of [begin, begin + length), zeros where nothing was written.
    std::vector<uint8_t> slice(uint64_t begin, uint64_t length) const;
    bool anyWritten(uint64_t begin, uint64_t length) const;

private:
    uint64_t size_;
    std::map<uint64_t, uint8_t> bytes_;
};

// LZNT1 data of the buffer (without the block's length word).
std::vector<uint8_t> lznt1Encode(const SparseBytes& data);
// A whole block: length word and data.
std::vector<uint8_t> block(const SparseBytes& data);
std::vector<uint8_t> block(const std::vector<uint8_t>& data);

inline constexpr uint64_t kRecordSize = 75258260;
inline constexpr uint64_t kSentenceTableSize = 264800;
inline constexpr uint64_t kRecognitionImageSize = 161832;
inline constexpr uint64_t kNumberPackSize = 7758032;

// Record offsets, written out from the file's documentation.
namespace at {
inline constexpr uint64_t kName = 4;
inline constexpr uint64_t kCurrentScreenshot = 304;
inline constexpr uint64_t kScreenshotCount = 308;
inline constexpr uint64_t kScreenshotOrder = 312;
inline constexpr uint64_t kScreenshots = 8312;
inline constexpr uint64_t kScreenshotSize = 568;
inline constexpr uint64_t kNextImageNumber = 576312;
inline constexpr uint64_t kImageCount = 576320;
inline constexpr uint64_t kImageOrder = 576324;
inline constexpr uint64_t kPackCount = 616336;
inline constexpr uint64_t kPackOrder = 616344;
inline constexpr uint64_t kAreaCount = 616760;
inline constexpr uint64_t kAreaOrder = 616768;
inline constexpr uint64_t kAreas = 620772;
inline constexpr uint64_t kNextItemId = 817040;
inline constexpr uint64_t kItemCount = 817048;
inline constexpr uint64_t kItems = 817052;
inline constexpr uint64_t kItemSize = 14236;
inline constexpr uint64_t kCursorCount = 72011288;
inline constexpr uint64_t kActiveVariables = 74767256;
inline constexpr uint64_t kVariables = 74767260;
inline constexpr uint64_t kSoundCount = 74835260;
inline constexpr uint64_t kSounds = 74835264;
inline constexpr uint64_t kScreenWidth = 74848596;
inline constexpr uint64_t kScreenHeight = 74848600;
inline constexpr uint64_t kRecordedMask = 74848624;
inline constexpr uint64_t kEditMask = 74848628;
inline constexpr uint64_t kCombinationMask = 74848632;
inline constexpr uint64_t kFormatMarker = 74848656;
// Inside an item.
inline constexpr uint64_t kItemName = 16;
inline constexpr uint64_t kItemId = 80;
inline constexpr uint64_t kConditionCount = 96;
inline constexpr uint64_t kConditions = 100;
inline constexpr uint64_t kCommandCount = 4704;
inline constexpr uint64_t kCommands = 4708;
inline constexpr uint64_t kNextLinkCount = 13312;
} // namespace at

// A small analyzer described field by field, turned into file bytes.
struct Screenshot {
    int slot = 0;
    std::string name; // CP949
    std::vector<uint8_t> bmp;
    bool erased = false;
};

struct Sound {
    std::string name;
    std::vector<uint8_t> wav;
};

struct Analyzer {
    Analyzer();
    SparseBytes record{kRecordSize};
    SparseBytes sentences{kSentenceTableSize};
    std::vector<Screenshot> screenshots;
    std::vector<uint8_t> macroSection; // raw, written when any mask is set
    std::vector<Sound> sounds;
    std::vector<std::pair<int, SparseBytes>> recognitionImages; // slot, block
    std::vector<std::pair<int, SparseBytes>> numberPacks;

    void addScreenshot(Screenshot shot);
    void addSound(Sound sound);
    // A recognition image of width x height at (cx, cy) on a screenshot slot.
    void addRecognitionImage(int slot, int screenshotSlot, int cx, int cy, int width, int height,
                             const std::string& name);
    void addNumberPack(int slot, const std::string& name);
    // Item at list position `position` with an id; conditions and commands as
    // (kind, {body offset, value}...) lists.
    void setItemCount(int count);
    void putItem(int position, int id, const std::string& name);
    void putCondition(int position, int index, std::vector<std::pair<uint64_t, int64_t>> body);
    void putCommand(int position, int index, std::vector<std::pair<uint64_t, int64_t>> body);

    std::vector<uint8_t> bytes() const;
};

// A minimal BMP file of w x h 32-bit pixels with a pattern.
std::vector<uint8_t> smallBmp(int width, int height, uint8_t seed);

} // namespace quillon::analyzer::reference

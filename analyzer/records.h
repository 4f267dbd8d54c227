// The fixed-layout records of an analyzer. The analyzer file stores these
// bytes as they stand, so every offset below is also a file offset; the
// static_asserts pin each one. Integers are 32-bit little-endian, flags hold
// 0 or 1, texts are NUL-terminated CP949 in fixed arrays. Objects refer to each
// other by slot number or item id, never by address.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/byte_order.h" // asserts a little-endian host

namespace quillon::analyzer {

// Capacities: the program's limits.
inline constexpr int kScreenshotCapacity = 1000;
inline constexpr int kScreenshotOrderEntries = 2000; // only the first 1000 are used
inline constexpr int kRecognitionImageCapacity = 5000;
inline constexpr int kRecognitionImageMaxSide = 201;
inline constexpr int kAreaCapacity = 1000;
inline constexpr int kFillPatchCapacity = 1000;
inline constexpr int kNumberPackCapacity = 50;
inline constexpr int kCursorCapacity = 20;
inline constexpr int kItemCapacity = 5000;
inline constexpr int kItemSlots = 5001; // the last slot is spare
inline constexpr int kConditionsPerItem = 50;
inline constexpr int kCommandsPerItem = 50;
inline constexpr int kNextLinksPerItem = 20;
inline constexpr int kVariableCapacity = 1000;
inline constexpr int kVariablesAtStart = 50;
inline constexpr int kTimerCount = 50;
inline constexpr int kSoundCapacity = 101;
inline constexpr int kSentenceCapacity = 100;
inline constexpr int kSentenceTextBytes = 512;
inline constexpr int kSentenceMaxKeyCodes = 512;
inline constexpr int kRecordedMacroCount = 32;
inline constexpr int kEditMacroCount = 32;
inline constexpr int kCombinationMacroCount = 8;
inline constexpr int kFormatMarker = 30;

enum ConditionKind : int32_t {
    CondVariable = 0,
    CondTimer = 10,
    CondDateTime = 20,
    CondState = 30,
    CondImage = 40,
    CondRangeSearch = 50,
    CondCursor = 60,
    CondKey = 70,
    CondRemote = 80,
    CondNoItemDelay = 255,
};

enum CommandKind : int32_t {
    CmdKey = 0,
    CmdMouse = 1,
    CmdMacro = 2,
    CmdVariable = 3,
    CmdTimer = 4,
    CmdDelay = 5,
    CmdDevice = 8,
    CmdReplaceImage = 9,
    CmdRunAnalyzer = 11,
    CmdTypeSentence = 20,
    CmdReadNumber = 30,
};

// Body offsets of the fields the model itself reads or writes.
namespace field {
inline constexpr size_t kKind = 0;
inline constexpr size_t kAction = 4;
// CondImage
inline constexpr size_t kImageCompareWith = 4; // 5 image, 4 colour, 1 variable
inline constexpr size_t kImageWhere = 8;       // 1 variable point, 2 fixed, 3 image position
inline constexpr size_t kImageReference = 12;
inline constexpr size_t kImagePositionSource = 16;
inline constexpr size_t kImageX = 20;
inline constexpr size_t kImageY = 24;
// CondRangeSearch
inline constexpr size_t kRangeWhat = 4;
inline constexpr size_t kRangeArea = 8;
inline constexpr size_t kRangeImage = 16;
// CondCursor
inline constexpr size_t kCursorSample = 8;
// CondTimer
inline constexpr size_t kTimerTested = 12;
inline constexpr size_t kTimerOther = 16;
inline constexpr size_t kTimerRightIsTimer = 4;
// CondNoItemDelay
inline constexpr size_t kNoItemDelay = 4;
// CmdMouse
inline constexpr size_t kMouseImage = 24;
inline constexpr size_t kMouseArea = 28;
inline constexpr size_t kMouseX = 32;
inline constexpr size_t kMouseY = 36;
// CmdMacro
inline constexpr size_t kMacroRepeat = 8;
inline constexpr size_t kMacroNumber = 12;
// CmdDevice
inline constexpr size_t kDeviceCarried = 12;
inline constexpr size_t kDeviceSoundName = 24;
inline constexpr size_t kDeviceSoundNameBytes = 120;
// CmdReplaceImage
inline constexpr size_t kReplaceImage = 16;
// CmdRunAnalyzer
inline constexpr size_t kRunAnalyzerName = 4;
// CmdTypeSentence
inline constexpr size_t kSentence = 4;
// CmdReadNumber
inline constexpr size_t kReadArea = 8;
inline constexpr size_t kReadPack = 16;
// CmdVariable
inline constexpr size_t kVariableSource = 8;
inline constexpr size_t kVariableObject = 40; // image slot (source 3) or area slot (source 20)
} // namespace field

// Mouse actions and device actions that the model refers to.
inline constexpr int32_t kMouseMoveToImage = 6;
inline constexpr int32_t kMouseMoveToRangeMatch = 7;
inline constexpr int32_t kDevicePlaySound = 3;
inline constexpr int32_t kMacroPlayRecorded = 0;
inline constexpr int32_t kMacroPlayEdit = 1;
inline constexpr int32_t kMacroPlayCombination = 2;

// A 32-bit field inside a body, read and written without alignment concerns.
inline int32_t bodyInt(const uint8_t* body, size_t offset) { return static_cast<int32_t>(loadLe32(body + offset)); }
inline void setBodyInt(uint8_t* body, size_t offset, int32_t value) {
    storeLe32(body + offset, static_cast<uint32_t>(value));
}

struct ScreenshotEntry {
    int32_t used;
    int32_t erased;
    int32_t reserved8;
    int32_t recognitionImageCount;
    int32_t fileSize;
    int32_t cursorX;
    int32_t cursorY;
    char name[64];
    int32_t reserved92;
    char label[84];
    char path[260];
    uint8_t reserved440[128];
};
static_assert(sizeof(ScreenshotEntry) == 568);
static_assert(offsetof(ScreenshotEntry, erased) == 4);
static_assert(offsetof(ScreenshotEntry, recognitionImageCount) == 12);
static_assert(offsetof(ScreenshotEntry, fileSize) == 16);
static_assert(offsetof(ScreenshotEntry, cursorX) == 20);
static_assert(offsetof(ScreenshotEntry, cursorY) == 24);
static_assert(offsetof(ScreenshotEntry, name) == 28);
static_assert(offsetof(ScreenshotEntry, label) == 96);
static_assert(offsetof(ScreenshotEntry, path) == 180);
static_assert(offsetof(ScreenshotEntry, reserved440) == 440);

inline constexpr int kImageRowStride = kRecognitionImageMaxSide * 4;

struct RecognitionImage {
    int32_t used;
    int32_t pattern;
    int32_t reserved8[2];
    int32_t centreX;
    int32_t centreY;
    int32_t width;
    int32_t height;
    int32_t left;
    int32_t top;
    int32_t right;  // inclusive
    int32_t bottom; // inclusive
    int32_t screenshotSlot;
    int32_t reserved52;
    int32_t inUse;
    uint8_t reserved60[28];
    char name[64];
    uint8_t reserved152[72];
    uint8_t background[3]; // blue, green, red
    uint8_t reserved227;
    // 201 rows of 201 pixels (blue, green, red, mask); only width x height used.
    uint8_t pixels[kRecognitionImageMaxSide * kImageRowStride];
};
static_assert(sizeof(RecognitionImage) == 161832);
static_assert(offsetof(RecognitionImage, pattern) == 4);
static_assert(offsetof(RecognitionImage, centreX) == 16);
static_assert(offsetof(RecognitionImage, centreY) == 20);
static_assert(offsetof(RecognitionImage, width) == 24);
static_assert(offsetof(RecognitionImage, height) == 28);
static_assert(offsetof(RecognitionImage, left) == 32);
static_assert(offsetof(RecognitionImage, top) == 36);
static_assert(offsetof(RecognitionImage, right) == 40);
static_assert(offsetof(RecognitionImage, bottom) == 44);
static_assert(offsetof(RecognitionImage, screenshotSlot) == 48);
static_assert(offsetof(RecognitionImage, inUse) == 56);
static_assert(offsetof(RecognitionImage, name) == 88);
static_assert(offsetof(RecognitionImage, background) == 224);
static_assert(offsetof(RecognitionImage, pixels) == 228);

// What the pattern editor keeps in a recognition image besides the mask
// bytes: the colour of the first pixel picked (0x00RRGGBB), the similarity
// slider's position (0..50), the first selected pixel in row-major order
// (matching tests it first) and the two display sliders (0..4). They live
// in the reserved bytes at offsets 60..83 of the block.
struct PatternSettings {
    uint32_t pointColour = 0;
    int32_t similarityPosition = 0;
    int32_t anchorColumn = 0;
    int32_t anchorRow = 0;
    int32_t sourceDisplay = 0;
    int32_t patternDisplay = 0;
};

inline PatternSettings patternSettings(const RecognitionImage& image) {
    const uint8_t* b = image.reserved60;
    return {static_cast<uint32_t>(bodyInt(b, 0)), bodyInt(b, 4), bodyInt(b, 8),
            bodyInt(b, 12),                       bodyInt(b, 16), bodyInt(b, 20)};
}
inline void setPatternSettings(RecognitionImage& image, const PatternSettings& fields) {
    uint8_t* b = image.reserved60;
    setBodyInt(b, 0, static_cast<int32_t>(fields.pointColour));
    setBodyInt(b, 4, fields.similarityPosition);
    setBodyInt(b, 8, fields.anchorColumn);
    setBodyInt(b, 12, fields.anchorRow);
    setBodyInt(b, 16, fields.sourceDisplay);
    setBodyInt(b, 20, fields.patternDisplay);
}

struct RecognitionArea {
    int32_t used;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    int32_t screenshotSlot;
    int32_t inUse;
    char name[64];
    int32_t reserved92;
    uint32_t frameWindow; // run-time only
    uint8_t reserved100[32];
};
static_assert(sizeof(RecognitionArea) == 132);
static_assert(offsetof(RecognitionArea, screenshotSlot) == 20);
static_assert(offsetof(RecognitionArea, inUse) == 24);
static_assert(offsetof(RecognitionArea, name) == 28);
static_assert(offsetof(RecognitionArea, frameWindow) == 96);

struct FillPatch {
    int32_t used;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    int32_t screenshotSlot;
    uint32_t colour;       // 0x00BBGGRR
    uint32_t patchWindow;  // run-time only
    uint8_t reserved32[32];
};
static_assert(sizeof(FillPatch) == 64);
static_assert(offsetof(FillPatch, colour) == 24);
static_assert(offsetof(FillPatch, patchWindow) == 28);

inline constexpr int kNumberPackSamples = 16;
inline constexpr int kNumberSamplePixels = 40404;

// The fields of a sample after its set flag, as the number-pack editor
// writes them and number reading reads them: the sample's width and height,
// how many of its points are stored, and how far its top lies below the top
// of its line (digits and signs of one line share that line).
struct NumberSampleHeader {
    int32_t width;
    int32_t height;
    int32_t pointCount;
    int32_t lineOffset;
};
static_assert(sizeof(NumberSampleHeader) == 16);

struct NumberSample {
    int32_t set;
    uint8_t header[16]; // a NumberSampleHeader: sampleHeader / setSampleHeader
    int32_t pixels[kNumberSamplePixels][3]; // column, row, colour
};
static_assert(sizeof(NumberSample) == 484868);

inline NumberSampleHeader sampleHeader(const NumberSample& sample) {
    return {bodyInt(sample.header, 0), bodyInt(sample.header, 4), bodyInt(sample.header, 8), bodyInt(sample.header, 12)};
}
inline void setSampleHeader(NumberSample& sample, const NumberSampleHeader& fields) {
    setBodyInt(sample.header, 0, fields.width);
    setBodyInt(sample.header, 4, fields.height);
    setBodyInt(sample.header, 8, fields.pointCount);
    setBodyInt(sample.header, 12, fields.lineOffset);
}

// The samples of a pack in slot order: digits 0..9, then the signs + - x /
// (slots 10..13). The last two slots (separators) hold nothing.
inline constexpr int kNumberPackEntries = 14;
inline constexpr int kFirstNumberSign = 10;

// One stored point of a sample: its column and row inside the sample (from
// the sample's top-left corner) and its colour 0x00RRGGBB. The points of a
// sample are listed row by row, column by column.
struct NumberSamplePoint {
    int32_t column;
    int32_t row;
    uint32_t colour;
};
static_assert(sizeof(NumberSamplePoint) == 12);
static_assert(sizeof(NumberSample::pixels) == kNumberSamplePixels * sizeof(NumberSamplePoint));

inline const NumberSamplePoint* samplePoints(const NumberSample& sample) {
    return reinterpret_cast<const NumberSamplePoint*>(sample.pixels);
}
inline NumberSamplePoint* samplePoints(NumberSample& sample) {
    return reinterpret_cast<NumberSamplePoint*>(sample.pixels);
}

struct NumberPack {
    int32_t used;
    uint8_t reserved4[76];
    char name[62];
    uint8_t reserved142[2];
    NumberSample samples[kNumberPackSamples];
};
static_assert(sizeof(NumberPack) == 7758032);
static_assert(offsetof(NumberPack, name) == 80);
static_assert(offsetof(NumberPack, samples) == 144);

struct CursorSample {
    int32_t used;
    int32_t parts; // bit 0 mask image, bit 1 colour image
    uint8_t maskHeader[40];
    uint8_t maskBits[65536];
    uint8_t colourHeader[40];
    uint8_t colourBits[65536];
    char name[64];
    int32_t reserved131224;
    int32_t inUse;
};
static_assert(sizeof(CursorSample) == 131232);
static_assert(offsetof(CursorSample, maskHeader) == 8);
static_assert(offsetof(CursorSample, maskBits) == 48);
static_assert(offsetof(CursorSample, colourHeader) == 65584);
static_assert(offsetof(CursorSample, colourBits) == 65624);
static_assert(offsetof(CursorSample, name) == 131160);
static_assert(offsetof(CursorSample, inUse) == 131228);

struct VariableSlot {
    char name[68];
};
static_assert(sizeof(VariableSlot) == 68);

struct SoundEntry {
    int32_t reserved0;
    int32_t fileSize;
    char fileName[120];
    int32_t reserved124;
};
static_assert(sizeof(SoundEntry) == 132);
static_assert(offsetof(SoundEntry, fileName) == 8);

struct TypingSentence {
    int32_t inUse;
    int32_t speed; // keystrokes per minute
    int32_t keyDownMs;
    int32_t keyUpMs;
    int32_t keyCount;
    char name[64];
    int32_t reserved84;
    uint8_t keyCodes[2048];
    char text[kSentenceTextBytes];
};
static_assert(sizeof(TypingSentence) == 2648);
static_assert(offsetof(TypingSentence, keyCount) == 16);
static_assert(offsetof(TypingSentence, name) == 20);
static_assert(offsetof(TypingSentence, keyCodes) == 88);
static_assert(offsetof(TypingSentence, text) == 2136);

struct SentenceTable {
    TypingSentence sentences[kSentenceCapacity];
};
static_assert(sizeof(SentenceTable) == 264800);

struct Condition {
    int32_t used;
    int32_t reserved4;
    uint8_t body[84]; // body offset 0: ConditionKind
    int32_t kind() const { return bodyInt(body, field::kKind); }
    int32_t at(size_t offset) const { return bodyInt(body, offset); }
    void set(size_t offset, int32_t value) { setBodyInt(body, offset, value); }
};
static_assert(sizeof(Condition) == 92);
static_assert(offsetof(Condition, body) == 8);

struct Command {
    int32_t used;
    int32_t reserved4;
    uint8_t body[164]; // body offset 0: CommandKind
    int32_t kind() const { return bodyInt(body, field::kKind); }
    int32_t at(size_t offset) const { return bodyInt(body, offset); }
    void set(size_t offset, int32_t value) { setBodyInt(body, offset, value); }
};
static_assert(sizeof(Command) == 172);
static_assert(offsetof(Command, body) == 8);

struct NextLink {
    int32_t kind; // 0 variable test; 100 shown as the false-branch text
    int32_t lowIsVariable;
    int32_t low;
    int32_t reserved12;
    int32_t lowOperator;
    int32_t variable;
    int32_t highOperator;
    int32_t highIsVariable;
    int32_t high;
    int32_t reserved36;
    int32_t targetId; // -1 = back to the previous item
};
static_assert(sizeof(NextLink) == 44);
static_assert(offsetof(NextLink, targetId) == 40);

inline constexpr int32_t kReturnToPrevious = -1;

struct Item {
    int32_t reserved0;
    int32_t alwaysScan;
    int32_t head;
    int32_t reserved12;
    char name[64];
    int32_t id;
    int32_t reserved84;
    int32_t noItemDelay;
    int32_t currentCondition;
    int32_t conditionCount;
    Condition conditions[kConditionsPerItem];
    int32_t currentCommand;
    int32_t commandCount;
    Command commands[kCommandsPerItem];
    int32_t currentNextLink;
    int32_t nextLinkCount;
    NextLink nextLinks[kNextLinksPerItem];
    int32_t falseBranch;
    int32_t falseBranchTarget;
    int32_t otherwiseBranch;
    int32_t otherwiseBranchTarget;
    int32_t takeScreenshot;
    int32_t ignoreMode; // 0 none, 1 true and skip, 2 false and skip, 3 ignore circular structure
    uint8_t reserved14220[16];
};
static_assert(sizeof(Item) == 14236);
static_assert(offsetof(Item, alwaysScan) == 4);
static_assert(offsetof(Item, head) == 8);
static_assert(offsetof(Item, name) == 16);
static_assert(offsetof(Item, id) == 80);
static_assert(offsetof(Item, noItemDelay) == 88);
static_assert(offsetof(Item, currentCondition) == 92);
static_assert(offsetof(Item, conditionCount) == 96);
static_assert(offsetof(Item, conditions) == 100);
static_assert(offsetof(Item, currentCommand) == 4700);
static_assert(offsetof(Item, commandCount) == 4704);
static_assert(offsetof(Item, commands) == 4708);
static_assert(offsetof(Item, currentNextLink) == 13308);
static_assert(offsetof(Item, nextLinkCount) == 13312);
static_assert(offsetof(Item, nextLinks) == 13316);
static_assert(offsetof(Item, falseBranch) == 14196);
static_assert(offsetof(Item, falseBranchTarget) == 14200);
static_assert(offsetof(Item, otherwiseBranch) == 14204);
static_assert(offsetof(Item, otherwiseBranchTarget) == 14208);
static_assert(offsetof(Item, takeScreenshot) == 14212);
static_assert(offsetof(Item, ignoreMode) == 14216);

} // namespace quillon::analyzer

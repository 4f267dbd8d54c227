// The fixed-layout records of an analyzer. The analyzer file stores these
// bytes as they stand, so every offset below is also a file offset; the
// static_asserts pin each one. Integers are 32-bit little-endian, flags hold
// 0 or 1, texts are NUL-terminated CP949 in fixed arrays. Objects refer to each
// other by slot number or item id, never by address.
#pragma once

#include <cstddef>
#include <cstdint>

#include <string_view>
#include <type_traits>
#include <utility>

#include "base/byte_order.h" // asserts a little-endian host
#include "base/fixed_text.h"

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

// A 32-bit field inside a body, read and written without alignment concerns.
inline int32_t bodyInt(const uint8_t* body, size_t offset) { return static_cast<int32_t>(loadLe32(body + offset)); }
inline void setBodyInt(uint8_t* body, size_t offset, int32_t value) {
    storeLe32(body + offset, static_cast<uint32_t>(value));
}

// A named field of a condition or command body: its record, its type, its
// size and its offset. `record[field]` reads it and `record.set(field, value)`
// writes it, always through the body bytes, so a record stays byte for byte as
// stored. Texts are CP949, NUL-terminated in their bytes; writing one cuts it
// so that the NUL fits and zeroes the rest.
void fieldOutsideBody(); // not constexpr: naming it in a field's constructor stops the build
template <class R, typename T, size_t Bytes = sizeof(T)>
struct BodyField {
    using Record = R;
    using Value = T;
    static constexpr size_t bytes = Bytes;
    size_t offset;
    // Offsets 0..3 hold the kind.
    explicit consteval BodyField(size_t at) : offset(at) {
        if (at < 4 || at + Bytes > sizeof(R::body)) fieldOutsideBody();
    }
    T get(const uint8_t* body) const {
        const uint8_t* p = body + offset;
        if constexpr (std::is_same_v<T, std::string_view>) return fixedText(reinterpret_cast<const char*>(p), Bytes);
        else if constexpr (Bytes == 4) return static_cast<T>(loadLe32(p));
        else if constexpr (Bytes == 2) return static_cast<T>(loadLe16(p));
        else return static_cast<T>(*p);
    }
    void put(uint8_t* body, T value) const {
        uint8_t* p = body + offset;
        if constexpr (std::is_same_v<T, std::string_view>) storeFixedText(reinterpret_cast<char*>(p), Bytes, value);
        else if constexpr (Bytes == 4) storeLe32(p, static_cast<uint32_t>(value));
        else if constexpr (Bytes == 2) storeLe16(p, static_cast<uint16_t>(value));
        else *p = static_cast<uint8_t>(value);
    }
};

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
    uint8_t body[84]; // body offset 0: ConditionKind; the fields of each kind are in namespace cond
    int32_t kind() const { return bodyInt(body, 0); }
    void setKind(int32_t kind) { setBodyInt(body, 0, kind); }
    template <class F> requires std::is_same_v<typename F::Record, Condition>
    typename F::Value operator[](const F& field) const { return field.get(body); }
    template <class F> requires std::is_same_v<typename F::Record, Condition>
    void set(const F& field, typename F::Value value) { field.put(body, value); }
    // The raw word at a body offset, for the layout checks that read the
    // bytes on their own; program code goes through the named fields.
    int32_t at(size_t offset) const { return bodyInt(body, offset); }
    void set(size_t offset, int32_t value) { setBodyInt(body, offset, value); }
};
static_assert(sizeof(Condition) == 92);
static_assert(offsetof(Condition, body) == 8);

struct Command {
    int32_t used;
    int32_t reserved4;
    uint8_t body[164]; // body offset 0: CommandKind; the fields of each kind are in namespace cmd
    int32_t kind() const { return bodyInt(body, 0); }
    void setKind(int32_t kind) { setBodyInt(body, 0, kind); }
    template <class F> requires std::is_same_v<typename F::Record, Command>
    typename F::Value operator[](const F& field) const { return field.get(body); }
    template <class F> requires std::is_same_v<typename F::Record, Command>
    void set(const F& field, typename F::Value value) { field.put(body, value); }
    int32_t at(size_t offset) const { return bodyInt(body, offset); } // raw, as for Condition
    void set(size_t offset, int32_t value) { setBodyInt(body, offset, value); }
};
static_assert(sizeof(Command) == 172);
static_assert(offsetof(Command, body) == 8);

// ---- The fields of each condition and command kind ----------------------------
// Each field's number is its body offset as stored.

// Variable-comparison operators of the low and high sides of a variable test.
enum CompareOperator : int32_t { CompareNone = 0, CompareLess, CompareLessOrEqual, CompareEqual, CompareNotEqual };

// The values of a variable test: low (op) variable (op) high; an operator of
// CompareNone drops its side.
struct VariableTest {
    int32_t lowIsVariable = 0, low = 0, lowOperator = 0, variable = 0, highOperator = 0, highIsVariable = 0,
            high = 0;
};

// A variable test's fields, laid out from `Base` + 8 (a variable condition
// keeps them from 8, a variable command's guard from 64).
template <class R, size_t Base>
struct VariableTestFields {
    static constexpr BodyField<R, int32_t> lowIsVariable{Base + 8}, low{Base + 12}, lowOperator{Base + 20},
        variable{Base + 24}, highOperator{Base + 28}, highIsVariable{Base + 32}, high{Base + 36};
    static VariableTest test(const R& r) {
        return {r[lowIsVariable], r[low], r[lowOperator], r[variable], r[highOperator], r[highIsVariable], r[high]};
    }
    static void setTest(R& r, const VariableTest& t) {
        const std::pair<BodyField<R, int32_t>, int32_t> values[] = {
            {lowIsVariable, t.lowIsVariable}, {low, t.low}, {lowOperator, t.lowOperator}, {variable, t.variable},
            {highOperator, t.highOperator}, {highIsVariable, t.highIsVariable}, {high, t.high}};
        for (const auto& [field, value] : values) r.set(field, value);
    }
};

// What an image or range-search condition compares with.
enum CompareWith : int32_t { CompareWithVariable = 1, CompareWithColour = 4, CompareWithImage = 5 };

namespace cond {
using I32 = BodyField<Condition, int32_t>;

struct Variable : VariableTestFields<Condition, 0> {
    enum Axis : int32_t { BothAxes = 0, XOnly = 1, YOnly = 2 };
    static constexpr I32 axis{4};
};
struct Timer {
    static constexpr I32 rightIsTimer{4}, below{8}, timer{12}, otherTimer{16}, seconds{20}; // below: "<", else "≥"
};
// The date and time are 16-bit fields in the order year, month, weekday
// (0 = Sunday), day, hour, minute, second, milliseconds.
struct DateTime {
    enum Part : uint8_t { Second = 0x01, Minute = 0x02, Hour = 0x04, Day = 0x08, Weekday = 0x10, Month = 0x20,
                          Year = 0x40 };
    using U16 = BodyField<Condition, uint16_t>;
    static constexpr I32 below{4};
    static constexpr BodyField<Condition, uint8_t> parts{8};
    static constexpr U16 year{12}, month{14}, weekday{16}, day{18}, hour{20}, minute{22}, second{24},
        milliseconds{26};
};
struct State {
    enum Code : int32_t { MacroRunning = 0, MacroOff = 1, MacroPaused = 2, FalseBranch = 3, Otherwise = 4 };
    static constexpr I32 state{4};
};
// reference and positionSource: an image slot, or a variable; colour 0x00RRGGBB.
struct Image {
    enum Where : int32_t { AtVariable = 1, AtCoordinates = 2, AtImage = 3 };
    static constexpr I32 compareWith{4}, where{8}, reference{12}, positionSource{16}, x{20}, y{24},
        wantDifferent{28}, similarity{32}, colour{40};
};
// direction: the scan order 0..4; image: an image slot, or a variable;
// whichMatch: a number, or a variable; colour 0x00RRGGBB.
struct RangeSearch {
    static constexpr I32 what{4}, area{8}, direction{12}, image{16}, wantMissing{20}, whichMatch{24},
        whichMatchIsVariable{28}, similarity{32}, colour{56};
};
struct Cursor {
    static constexpr I32 cursor{8}, wantDifferent{12};
};
struct Key {
    enum Mode : int32_t { AnyKey = 0, GivenKey = 1, AllReleased = 2 };
    static constexpr I32 mode{4}, key{8}; // key: a row of the key table
};
struct Remote {
    static constexpr I32 number{4};
};
struct NoItemDelay {
    static constexpr I32 on{4};
};
} // namespace cond

namespace cmd {
using I32 = BodyField<Command, int32_t>;

struct Key {
    enum Action : int32_t { Press = 0, Release = 1, PressAndRelease = 2, TypeVariable = 3 };
    static constexpr I32 action{4}, key{8}, holdMs{12}, variable{16}; // key: a row of the key table
};
// monitor: the coordinates of MoveTo are the monitor's; direction: bits.
struct Mouse {
    enum Action : int32_t { Press = 0, Release = 1, Click = 2, DoubleClick = 3, Wheel = 4, MoveTo = 5,
                            MoveToImage = 6, MoveToRangeMatch = 7, MoveRelative = 8, MoveToVariable = 9 };
    enum Button : int32_t { Left = 1, Right = 2, Middle = 4 };
    enum Direction : int32_t { TowardsRight = 1, Upwards = 2 }; // clear: left, down
    static constexpr I32 action{4}, random{8}, monitor{12}, button{16}, wheel{20}, image{24}, area{28}, x{32},
        y{36}, dx{40}, dy{44}, direction{48}, holdMs{52}, variable{56}, randomRange{60};
};
struct Macro {
    enum Action : int32_t { PlayRecorded = 0, PlayEdit = 1, PlayCombination = 2, Pause = 3, Resume = 4, Stop = 5 };
    static constexpr I32 action{4}, repeat{8}, number{12};
};
// value: a number, or a variable; object: an image slot, an area slot or a
// date part; x and y are also the bounds of a random number.
struct Variable {
    enum Operator : int32_t { NoArithmetic = 0, Add, Subtract, Multiply, Divide };
    enum Source : int32_t { Number = 0, FromVariable = 1, ScreenPoint = 2, ImagePoint = 3, Colour = 4,
                            RangeMatch = 20, SavePreviousItem = 30, LoadPreviousItem = 40, RandomNumber = 50,
                            RandomPoint = 51, DatePart = 60 };
    static constexpr I32 arithmetic{4}, source{8}, rightIsVariable{12}, target{16}, value{20}, right{24},
        guarded{28}, monitor{32}, object{40}, x{44}, y{48}, spreadX{52}, spreadY{56};
    static constexpr BodyField<Command, uint8_t> blue{60}, green{61}, red{62};
    using Guard = VariableTestFields<Command, 56>;
};
struct Timer {
    enum Action : int32_t { SetSeconds = 0, CopyTimer = 1 };
    static constexpr I32 action{4}, timer{8}, value{12}; // value: seconds, or the timer copied
};
struct Delay {
    static constexpr I32 random{4}, ms{8}, highMs{12}; // ms: the low bound when random
};
struct Device {
    enum Action : int32_t { RedLight = 0, YellowLight = 1, GreenLight = 2, PlaySound = 3, StopSound = 4,
                            SendRemote = 5, PauseAnalyzer = 6, ResumeAnalyzer = 7, StopAnalyzer = 8,
                            PowerOff = 9, ScanAgain = 10, LockKeyboard = 11, UnlockKeyboard = 12, LockMouse = 13,
                            UnlockMouse = 14 };
    static constexpr I32 action{4}, on{8}, carried{12}, remote{16}; // carried: the file travels with the analyzer
    static constexpr BodyField<Command, std::string_view, 120> sound{24};
};
struct ReplaceImage {
    static constexpr I32 image{16};
};
struct RunAnalyzer {
    static constexpr BodyField<Command, std::string_view, 160> name{4}; // fills the body
};
struct TypeSentence {
    static constexpr I32 sentence{4};
};
struct ReadNumber {
    static constexpr I32 area{8}, pack{16}, variable{20}, similarity{24}, arithmetic{28};
};
} // namespace cmd

// A command's guard repeats a variable condition's test 56 bytes further on.
static_assert(cmd::Variable::Guard::lowIsVariable.offset == 64 && cmd::Variable::Guard::high.offset == 92);
static_assert(cmd::RunAnalyzer::name.offset + cmd::RunAnalyzer::name.bytes == sizeof(Command::body));

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

// Fixed-layout records of the macro editor: the line record, the document that
// holds the lines (also the body of the edit and combination files) and the
// store of typing texts. Their layouts are those of the files, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/fixed_text.h"
#include "device/memory_headers.h"

namespace quillon::control {

constexpr int kMaxLines = 10000;
constexpr int kMaxCopiedLines = 3000;
constexpr int kTextSlotCount = 100;
constexpr int kMaxCodeLength = 32768; // compiled code, end byte included
constexpr int kMaxNestedRepeats = 5;
constexpr int kTextFieldSize = 32768;
constexpr int kSentenceSize = 64;
constexpr int kMemoSize = 128;
constexpr int kLabelSize = 16;
constexpr int kMaxLabelCharacters = 14;
constexpr uint8_t kEndOfCode = 238;

// The editor's records need no packing: every field lies on its natural
// boundary, which the asserts below pin.

// One action line. P8..P36 are the parameter words; which word holds what
// depends on the kind (see line_kinds.h).
struct EditLine {
    int32_t indent;            // 0: drawn as that many TABs before the sentence
    int32_t kind;              // 4: the line's opcode
    int32_t param[16];         // 8..71: param[0] = P8, param[1] = P12, ...
    char sentence[kSentenceSize]; // 72: CP949, NUL-terminated
    char memo[kMemoSize];      // 136: CP949, at most 127 bytes
    int32_t sentenceLength;    // 264
    uint32_t colour;           // 268: COLORREF
    int32_t memoLength;        // 272
    uint8_t reserved1[16];     // 276
    char label[kLabelSize];    // 292: kinds 152 and 153
    uint8_t reserved2[240];    // 308
};
static_assert(sizeof(EditLine) == 548);
static_assert(offsetof(EditLine, kind) == 4);
static_assert(offsetof(EditLine, param) == 8);
static_assert(offsetof(EditLine, sentence) == 72);
static_assert(offsetof(EditLine, memo) == 136);
static_assert(offsetof(EditLine, sentenceLength) == 264);
static_assert(offsetof(EditLine, colour) == 268);
static_assert(offsetof(EditLine, memoLength) == 272);
static_assert(offsetof(EditLine, label) == 292);

// Parameter word at record offset `offset` (8, 12, ..., 68).
constexpr int paramIndex(int offset) { return (offset - 8) / 4; }
inline int32_t& P(EditLine& line, int offset) { return line.param[paramIndex(offset)]; }
inline int32_t P(const EditLine& line, int offset) { return line.param[paramIndex(offset)]; }

struct MacroDocumentHead {
    int32_t textStoreFollows;  // 0: > 0 when the file carries the text store block
    int32_t reserved0;         // 4
    int32_t lineCount;         // 8
    int32_t currentLine;       // 12: 0-based
    int32_t copiedLineCount;   // 16
    uint32_t pageWindow;       // 20: window handles, not meaningful in files
    uint32_t listWindow;       // 24
    uint32_t counterWindow;    // 28
    int32_t origin;            // 32: 2 = loaded from a file
    int32_t reserved1;         // 36
    char path[512];            // 40: file the macro was loaded from (CP949)
};
static_assert(sizeof(MacroDocumentHead) == 552);
static_assert(offsetof(MacroDocumentHead, lineCount) == 8);
static_assert(offsetof(MacroDocumentHead, copiedLineCount) == 16);
static_assert(offsetof(MacroDocumentHead, origin) == 32);
static_assert(offsetof(MacroDocumentHead, path) == 40);

constexpr int32_t kOriginFile = 2;

struct MacroDocument {
    MacroDocumentHead head;
    EditLine lines[kMaxLines];
    EditLine copied[kMaxCopiedLines];
    uint8_t tail[4092];
};
static_assert(offsetof(MacroDocument, lines) == 552);
static_assert(offsetof(MacroDocument, copied) == 5480552);
static_assert(sizeof(MacroDocument) == 7128644);

struct TextSlot {
    int32_t inUse;             // 0
    int32_t textLength;        // 4: entered text including its NUL
    int32_t keyStreamLength;   // 8
    int32_t speed;             // 12: characters per minute
    int32_t interval;          // 16: ms between keystrokes = 60000 / speed + 1
    char text[kTextFieldSize]; // 20: CP949
    uint8_t keyStream[kTextFieldSize]; // 32788
};
static_assert(sizeof(TextSlot) == 65556);
static_assert(offsetof(TextSlot, text) == 20);
static_assert(offsetof(TextSlot, keyStream) == 32788);

struct TextStore {
    TextSlot slots[kTextSlotCount];
};
static_assert(sizeof(TextStore) == 6555600);

// The machine's memory headers, as the program holds them (host order) and as
// the macro files carry them.
using quillon::CombinationMemoryHeader;
using quillon::EditMemoryHeader;
using quillon::RecordedMemoryHeader;
using quillon::kCombinationMagic;
using quillon::kEditMagic;
using quillon::kRecordedMagic;

// Macro option flags of edit and combination macros.
constexpr uint16_t kFlagFps = 0x10;
constexpr uint16_t kFlagKeyboardLock = 0x40;
constexpr uint16_t kFlagMouseLock = 0x80;
constexpr uint16_t kFlagPlayOnce = 0x4000;

// The big records are allocated zero-filled, so untouched capacity costs no
// resident memory.
struct FreeDeleter {
    void operator()(void* p) const;
};
template <typename T> using ZeroedPtr = std::unique_ptr<T, FreeDeleter>;
ZeroedPtr<MacroDocument> newMacroDocument();
ZeroedPtr<TextStore> newTextStore();

} // namespace quillon::control

// The machine's byte code: every opcode by name, the operands each one
// carries, and the one writer of code bytes. The compiler, the reverse reader
// and the auto-click generator all go through this table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace quillon::control {

// A line's kind is its opcode.
namespace kind {
constexpr int kTypeText = 8;
constexpr int kKeyDown = 1, kKeyUp = 2, kKeyPress = 3;
constexpr int kButtonDown = 16, kButtonUp = 19, kButtonClick = 22, kButtonDoubleClick = 25;
constexpr int kMoveTo = 28, kMoveToRandom = 29, kMoveBy = 30, kMoveByRandom = 31, kFpsMove = 32;
constexpr int kRememberPosition = 37, kShiftRemembered = 38, kMoveToRemembered = 39;
constexpr int kMoveToRememberedRandom = 40; // no code of its own: played as 39
constexpr int kScrollUp = 41, kScrollDown = 42;
constexpr int kWaitAnyKey = 48, kWaitKey = 49, kWaitAnyButton = 50, kWaitButton = 51;
constexpr int kWaitAnyRemote = 56, kWaitRemote = 57;
constexpr int kIfAnyKeyFirst = 64, kIfKey = 67, kIfKeyLast = 69;
constexpr int kIfAnyButtonFirst = 70, kIfButton = 73, kIfButtonLast = 78;
constexpr int kIfButtonOnceFirst = 92, kIfButtonOnceLast = 94;
constexpr int kIfAnyRemote = 80, kIfRemote = 81;
constexpr int kRepeatStart = 88, kRepeatCompare = 89;
constexpr int kEndKeyIf = 96, kEndButtonIf = 97, kEndRepeatCompare = 98, kEndRemoteIf = 99;
constexpr int kRepeatEnd = 103, kRepeatBreak = 105;
constexpr int kDelay = 112, kRandomDelay = 113;
constexpr int kSendRemote = 120;
constexpr int kRedOn = 136, kGreenOff = 141;
constexpr int kLabel = 152, kJump = 153;
constexpr int kPlayRecorded = 208, kPlayEdit = 209;
constexpr int kEndMacro = 224, kShutDown = 225;
} // namespace kind

// One operand of an opcode and the line's parameter word(s) it comes from.
enum class Operand : uint8_t {
    Key,        // 1 byte: the key code of the key-table row in `word`
    Byte,       // 1 byte: `word`
    Word,       // 2 bytes big-endian: `word`, read back unsigned
    SignedWord, // 2 bytes big-endian: `word`, read back signed
    ScaledX,    // 2 bytes: `word` × 19200 / `second` (the reference width) + 1
    ScaledY,    // 2 bytes: `word` × 12000 / `second` (the reference height) + 1
    Fps,        // 1 byte: the amount `word`, negated when `second` is 1
    Operators,  // 1 byte: operator `word` in the low four bits, `second` in the high ones, 3 = absent
    End16,      // 2 bytes: the address after the block's closer, filled in later
    Target16,   // 2 bytes: the jump's label address, filled in later
    Label,      // 15 bytes: the label name, NUL-padded
    Typing,     // slot, interval16, keys length16, keys, speed16, text length16, text
};
inline constexpr size_t kLabelCodeBytes = 15;

struct OperandField {
    Operand type;
    uint8_t word = 0;   // parameter word offset (P8 = 8 ...)
    uint8_t second = 0; // the second word of ScaledX/ScaledY, Fps and Operators
};

struct OpcodeLayout {
    int opcode;
    std::span<const OperandField> operands;
    int button = -1; // the mouse button the opcode itself names (16 + b and so on)
};

// Null for a byte that is no opcode of the language (the end byte 238 included).
const OpcodeLayout* opcodeLayout(int opcode);
std::span<const OpcodeLayout> opcodeLayouts();

// Bytes an operand takes in the code (0 for the variable typing record).
size_t operandBytes(Operand type);

// The one writer of code bytes; 16-bit values go big-endian.
class CodeWriter {
public:
    void byte(int value) { code_.push_back(static_cast<uint8_t>(value)); }
    void be16(int value);
    void bytes(const uint8_t* data, size_t size) { code_.insert(code_.end(), data, data + size); }
    size_t placeholder16();
    // The 16-bit field at `at` gets the address of the next byte.
    void pointHere(size_t at) { storeAt(at, code_.size()); }
    void storeAt(size_t at, size_t address);
    // The opcode and its operands as the table lays them out: one value per
    // operand in order (End16 and Target16 take none and become
    // placeholders, Label takes `name`). Returns the last placeholder's
    // address (0 when none).
    size_t op(int opcode, std::initializer_list<int> values = {}, const uint8_t* name = nullptr) {
        return op(opcode, std::span<const int>(values.begin(), values.size()), name);
    }
    size_t op(int opcode, std::span<const int> values, const uint8_t* name = nullptr);

    size_t size() const { return code_.size(); }
    const uint8_t* at(size_t address) const { return code_.data() + address; }
    uint8_t& back() { return code_.back(); }
    std::vector<uint8_t> take() { return std::move(code_); }

private:
    std::vector<uint8_t> code_;
};

} // namespace quillon::control

#include "control/byte_code.h"

#include <cassert>

#include "base/byte_order.h"

namespace quillon::control {

namespace {

using O = Operand;
constexpr OperandField kKey[] = {{O::Key, 8}};
constexpr OperandField kKeyIf[] = {{O::Key, 8}, {O::End16}};
constexpr OperandField kEnd[] = {{O::End16}};
constexpr OperandField kScroll[] = {{O::Byte, 20}};
constexpr OperandField kMoveTo[] = {{O::ScaledX, 16, 32}, {O::ScaledY, 20, 36}, {O::Word, 32}, {O::Word, 36}};
constexpr OperandField kMoveBy[] = {{O::SignedWord, 16}, {O::SignedWord, 20}, {O::Word, 32}, {O::Word, 36}};
constexpr OperandField kFps[] = {{O::Fps, 12, 20}, {O::Fps, 16, 24}};
constexpr OperandField kRemembered[] = {{O::Byte, 24}};
constexpr OperandField kShift[] = {{O::Byte, 24}, {O::SignedWord, 16}, {O::SignedWord, 20}, {O::Word, 32},
                                   {O::Word, 36}};
constexpr OperandField kRepeat[] = {{O::Byte, 8}, {O::Word, 16}, {O::End16}};
constexpr OperandField kCompare[] = {{O::Byte, 8}, {O::Operators, 24, 28}, {O::Word, 20}, {O::Word, 32}, {O::End16}};
constexpr OperandField kDelay[] = {{O::Word, 16}};
constexpr OperandField kRandomDelay[] = {{O::Word, 20}, {O::Word, 24}};
constexpr OperandField kTyping[] = {{O::Typing, 8}};
constexpr OperandField kCommand[] = {{O::Byte, 20}};
constexpr OperandField kCommandIf[] = {{O::Byte, 20}, {O::End16}};
constexpr OperandField kLabel[] = {{O::Label}};
constexpr OperandField kJump[] = {{O::Target16}, {O::Label}};
constexpr OperandField kMemory[] = {{O::Byte, 12}};

constexpr std::span<const OperandField> none{};

#define BUTTONS(first, fields) {first, fields, 0}, {first + 1, fields, 1}, {first + 2, fields, 2}

const OpcodeLayout kLayouts[] = {
    {1, kKey}, {2, kKey}, {3, kKey}, {8, kTyping},
    BUTTONS(16, none), BUTTONS(19, none), BUTTONS(22, none), BUTTONS(25, none),
    {28, kMoveTo}, {29, kMoveTo}, {30, kMoveBy}, {31, kMoveBy}, {32, kFps},
    {37, kRemembered}, {38, kShift}, {39, kRemembered}, {41, kScroll}, {42, kScroll},
    {48, none}, {49, kKey}, {50, none}, BUTTONS(51, none), {56, none}, {57, kCommand},
    {64, kEnd}, {65, kEnd}, {66, kEnd}, {67, kKeyIf}, {68, kKeyIf}, {69, kKeyIf},
    {70, kEnd}, {71, kEnd}, {72, kEnd}, BUTTONS(73, kEnd), BUTTONS(76, kEnd), BUTTONS(92, kEnd),
    {80, kEnd}, {81, kCommandIf},
    {88, kRepeat}, {89, kCompare},
    {96, none}, {97, none}, {98, none}, {99, none}, {103, none}, {105, none},
    {112, kDelay}, {113, kRandomDelay}, {120, kCommand},
    {136, none}, {137, none}, {138, none}, {139, none}, {140, none}, {141, none},
    {152, kLabel}, {153, kJump}, {208, kMemory}, {209, kMemory}, {224, none}, {225, none},
};

#undef BUTTONS

struct LayoutIndex {
    const OpcodeLayout* byOpcode[256]{};
    LayoutIndex() {
        for (const OpcodeLayout& layout : kLayouts) byOpcode[layout.opcode] = &layout;
    }
};

} // namespace

const OpcodeLayout* opcodeLayout(int opcode) {
    static const LayoutIndex index;
    return opcode >= 0 && opcode < 256 ? index.byOpcode[opcode] : nullptr;
}

std::span<const OpcodeLayout> opcodeLayouts() { return kLayouts; }

size_t operandBytes(Operand type) {
    switch (type) {
    case O::Key: case O::Byte: case O::Fps: case O::Operators: return 1;
    case O::Label: return kLabelCodeBytes;
    case O::Typing: return 0;
    default: return 2;
    }
}

void CodeWriter::be16(int value) {
    byte(value >> 8);
    byte(value);
}

size_t CodeWriter::placeholder16() {
    size_t at = code_.size();
    be16(0);
    return at;
}

void CodeWriter::storeAt(size_t at, size_t address) { storeBe16(&code_[at], static_cast<uint16_t>(address)); }

size_t CodeWriter::op(int opcode, std::span<const int> values, const uint8_t* name) {
    const OpcodeLayout* layout = opcodeLayout(opcode);
    assert(layout);
    byte(opcode);
    size_t placeholder = 0, next = 0;
    for (const OperandField& field : layout->operands) {
        switch (operandBytes(field.type)) {
        case 1: byte(values[next++]); break;
        case 2:
            if (field.type == O::End16 || field.type == O::Target16) {
                placeholder = placeholder16();
            } else {
                be16(values[next++]);
            }
            break;
        case kLabelCodeBytes: bytes(name, kLabelCodeBytes); break;
        default: assert(false && "the typing record is written by its own fields"); break;
        }
    }
    return placeholder;
}

} // namespace quillon::control

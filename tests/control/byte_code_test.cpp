// Every opcode of the table: a line with its operands compiles to the opcode
// and the table's operand bytes, and reads back into the same line.
#include <gtest/gtest.h>

#include <cstring>

#include "control/byte_code.h"
#include "control/key_stream.h"
#include "control/macro_compiler.h"
#include "control/macro_decoder.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::Page;

// A line of the opcode with a value in every word its operands use.
EditLine lineFor(const OpcodeLayout& layout, Page& page) {
    EditLine line = testing::makeLine(layout.opcode);
    if (layout.button >= 0) P(line, 8) = layout.button;
    for (const OperandField& f : layout.operands) {
        switch (f.type) {
        case Operand::Key: P(line, 8) = testing::rowOf(0x04); break;
        case Operand::Byte: P(line, f.word) = 3; break;
        case Operand::Word: P(line, f.word) = f.word == 32 ? 1920 : f.word == 36 ? 1080 : 500; break;
        case Operand::SignedWord: P(line, f.word) = -7; break;
        case Operand::ScaledX: P(line, f.word) = 960; break;
        case Operand::ScaledY: P(line, f.word) = 540; break;
        case Operand::Fps: P(line, f.word) = 5, P(line, f.second) = 1; break;
        case Operand::Operators: P(line, f.word) = 1, P(line, f.second) = 2; break;
        case Operand::Label: setLabel(line, "L1"); break;
        case Operand::Typing: P(line, 8) = *placeTypingText(*page.store, *page.document, -1, "가a", 1000); break;
        case Operand::End16: case Operand::Target16: break;
        }
    }
    return line;
}

// The line that closes or opens the block of `kind`, or that a jump needs.
int partnerOf(int kind, bool& before) {
    before = blockClosedBy(kind) != Block::None;
    switch (before ? blockClosedBy(kind) : blockOpenedBy(kind)) {
    case Block::KeyIf: return before ? kind::kIfAnyKeyFirst : kind::kEndKeyIf;
    case Block::ButtonIf: return before ? kind::kIfAnyButtonFirst : kind::kEndButtonIf;
    case Block::RemoteIf: return before ? kind::kIfAnyRemote : kind::kEndRemoteIf;
    case Block::Repeat: return before ? kind::kRepeatStart : kind::kRepeatEnd;
    case Block::RepeatCompare: return before ? kind::kRepeatCompare : kind::kEndRepeatCompare;
    case Block::None: break;
    }
    return kind == kind::kJump ? kind::kLabel : 0;
}

TEST(ByteCodeTable, EveryOpcodeCompilesToItsOperandsAndReadsBack) {
    for (const OpcodeLayout& layout : opcodeLayouts()) {
        const int op = layout.opcode;
        const bool combination = op == kind::kPlayRecorded || op == kind::kPlayEdit;
        Page page;
        bool before = false;
        int partner = partnerOf(op, before);
        EditLine tested = lineFor(layout, page);
        EditLine other = partner ? lineFor(*opcodeLayout(partner), page) : EditLine{};
        if (partner && before) page.add(other);
        const int at = page.document->head.lineCount;
        page.add(tested);
        if (partner && !before) page.add(other);

        CompileResult compiled = combination ? compileCombinationMacro(*page.document, *page.store)
                                             : compileEditMacro(*page.document, *page.store);
        ASSERT_TRUE(compiled.ok()) << op << ": " << compiled.message;
        size_t address = 0, length = 1;
        for (const OperandField& f : layout.operands) length += operandBytes(f.type);
        if (partner && before) {
            for (const OperandField& f : opcodeLayout(partner)->operands) address += operandBytes(f.type);
            address += 1;
        }
        EXPECT_EQ(compiled->code[address], op);
        if (op != kind::kTypeText) {
            size_t partnerLength = partner ? 1 : 0;
            if (partner) {
                for (const OperandField& f : opcodeLayout(partner)->operands) partnerLength += operandBytes(f.type);
            }
            EXPECT_EQ(compiled->code.size(), length + partnerLength + 1) << op;
        }

        Page read;
        DecodeResult decoded = combination
                                   ? decodeCombinationMacro(compiled->code.data(), compiled->code.size(), *read.document, *read.store)
                                   : decodeEditMacro(compiled->code.data(), compiled->code.size(), *read.document, *read.store);
        ASSERT_TRUE(decoded.reachedEnd) << op;
        ASSERT_EQ(decoded.lines, page.document->head.lineCount) << op;
        const EditLine& back = read.document->lines[at];
        EXPECT_EQ(back.kind, op);
        EXPECT_EQ(std::memcmp(back.param, tested.param, sizeof tested.param), 0) << op;
        EXPECT_EQ(std::memcmp(back.label, tested.label, sizeof tested.label), 0) << op;
    }
}

} // namespace
} // namespace quillon::control

// The line kinds of edit and combination macros: their opcodes, colours and
// the sentences the line list shows.
//
// Parameter words by kind (P8 = word at record offset 8): the operand table
// of byte_code.cpp names the words each opcode's code carries. Their ranges:
// buttons 0 left, 1 middle, 2 right; scroll counts 1..255; FPS amounts
// 0..200; remembered coordinates 0..7 (kind 40 as 39); repeat names 0..4,
// counts 1..65000, operators -1 (side absent) to 2; text slots 0..99; command
// numbers 0..250; memory indexes 0..31 (combination macros only).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "control/byte_code.h"
#include "control/macro_records.h"

namespace quillon::control {

// Which block a line opens or closes; used by the compiler and the indent rule.
enum class Block { None, KeyIf, ButtonIf, RemoteIf, Repeat, RepeatCompare };
Block blockOpenedBy(int kind);
Block blockClosedBy(int kind);

// The dialog that makes and reopens a line of a kind.
enum class LineDialog {
    Keyboard,       // "키보드 동작"
    MouseButton,    // "마우스 버튼 동작", with the wheel
    Move,           // "마우스 이동"
    FpsMove,        // "FPS 마우스이동"
    Delay,          // "시간지연(0.001~65초)"
    Repeat,         // "구간 반복"
    Remote,         // "원격 제어"
    MachineControl, // "장치 제어"
    Typing,         // "문장 입력"
    PlayMemory,     // "녹화 매크로" / "편집 매크로" of the combination page
};

// One line kind: its opcode, the dialog that builds it, its colour and its
// sentence. Every kind a line can have is in the table, in dialog order.
struct LineKind {
    int kind;
    LineDialog dialog;
    uint32_t colour;
    std::string (*sentence)(const EditLine& line, const TextStore& store);
    bool combinationOnly = false;
};
std::span<const LineKind> lineKinds();
const LineKind* findLineKind(int kind); // null for an opcode that is no line kind

// True for the kinds the line dialogs make (combination macros add 208, 209).
bool isKnownKind(int kind, bool combination);

uint32_t colourOfKind(int kind);

// "1.5", "1.25", "2.0": milliseconds as seconds, trailing zeros of the
// fraction dropped down to one digit.
std::string formatSeconds(int32_t milliseconds);

// The sentence of a line (UTF-8), from its kind and parameters; typing lines
// take their text from the store.
std::string sentenceOf(const EditLine& line, const TextStore& store);

// Rebuilds the line's sentence field, its length and its colour.
void rebuildSentence(EditLine& line, const TextStore& store);

// Setters of the text fields from UTF-8; each cuts to its field.
void setSentence(EditLine& line, const std::string& utf8);
void setMemo(EditLine& line, const std::string& utf8);
void setLabel(EditLine& line, const std::string& utf8);

// What the list shows for a line (UTF-8): indent TABs, sentence, and
// "\t\t//" + memo when the line has one.
std::string lineDisplayText(const EditLine& line);

std::string buttonName(int button);     // "왼쪽", "가운데", "오른쪽"
std::string repeatName(int name);       // "A".."E"
std::string operatorName(int op);       // "=", "<=", "<", "X"
std::string rememberedName(int slot);   // "기억좌표1".."기억좌표8"

} // namespace quillon::control

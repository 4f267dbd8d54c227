// The line kinds of edit and combination macros: their opcodes, colours and
// the sentences the line list shows.
//
// Parameter words by kind (P8 = word at record offset 8, and so on):
//   1-3, 48, 49, 67-69       P8 key row
//   16-27, 51-53, 73-78, 92-94  P8 button 0 left, 1 middle, 2 right
//   41, 42                   P20 scroll count 1..255
//   28, 29                   P16 x, P20 y, P32 reference width, P36 height
//   30, 31                   P16 dx, P20 dy (signed), P32 width, P36 height
//   32                       P12 horizontal 0..200, P20 = 1 left, P16 vertical, P24 = 1 up
//   37, 39, 40               P24 remembered coordinate 0..7
//   38                       P24 slot, P16 dx, P20 dy, P32 width, P36 height
//   88                       P8 repeat name 0..4, P16 count 1..65000
//   89                       P8 name, P20 left value, P24 left operator, P28 right
//                            operator, P32 right value (operator -1 = side absent)
//   112                      P16 milliseconds
//   113                      P20 lower, P24 upper milliseconds
//   8                        P8 text slot 0..99
//   120, 57, 81              P20 command number 0..250
//   152, 153                 the label field
//   208, 209                 P12 memory index 0..31 (combination macros only)
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "control/macro_records.h"

namespace quillon::control {

namespace kind {
constexpr int kTypeText = 8;
constexpr int kKeyDown = 1, kKeyUp = 2, kKeyPress = 3;
constexpr int kButtonDown = 16, kButtonUp = 19, kButtonClick = 22, kButtonDoubleClick = 25;
constexpr int kMoveTo = 28, kMoveToRandom = 29, kMoveBy = 30, kMoveByRandom = 31, kFpsMove = 32;
constexpr int kRememberPosition = 37, kShiftRemembered = 38, kMoveToRemembered = 39;
constexpr int kMoveToRememberedRandom = 40;
constexpr int kScrollUp = 41, kScrollDown = 42;
constexpr int kWaitAnyKey = 48, kWaitKey = 49, kWaitAnyButton = 50, kWaitButton = 51;
constexpr int kWaitAnyRemote = 56, kWaitRemote = 57;
constexpr int kIfAnyKeyFirst = 64, kIfKeyLast = 69;
constexpr int kIfAnyButtonFirst = 70, kIfButtonLast = 78, kIfButtonOnceFirst = 92, kIfButtonOnceLast = 94;
constexpr int kIfAnyRemote = 80, kIfRemote = 81;
constexpr int kRepeatStart = 88, kRepeatCompare = 89;
constexpr int kEndKeyIf = 96, kEndButtonIf = 97, kEndRepeatCompare = 98, kEndRemoteIf = 99;
constexpr int kRepeatEnd = 103, kRepeatBreak = 105;
constexpr int kDelay = 112, kRandomDelay = 113;
constexpr int kSendRemote = 120;
constexpr int kRedOn = 136, kGreenOff = 141;
constexpr int kLabel = 152, kJump = 153;
constexpr int kEndMacro = 224, kShutDown = 225;
constexpr int kPlayRecorded = 208, kPlayEdit = 209;
} // namespace kind

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

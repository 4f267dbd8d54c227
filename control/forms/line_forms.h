// The line dialogs of the edit and combination pages without their windows:
// one plain struct of each dialog's fields, `build` that checks them and makes
// the line (parameters, sentence, colour, memo) or refuses with the dialog's
// message and the field to focus, and `formOf` that fills the dialog again
// from a line for "수정 저장". The dialog procedures only move control values
// into a form and back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "base/form_result.h"
#include "control/line_kinds.h"
#include "control/macro_records.h"

namespace quillon::control {

// The controls a refusal puts the focus on.
enum class LineField {
    None,
    Kind,
    Key,
    Button,
    ScrollCount,
    X,
    Y,
    Slot,
    Horizontal,
    Vertical,
    Seconds,
    LowerSeconds,
    UpperSeconds,
    RepeatName,
    Count,
    LeftValue,
    LeftOperator,
    RightOperator,
    RightValue,
    Number,
    Label,
    Text,
    Speed,
    MemoryIndex,
};

using BuiltLine = FormBuilt<EditLine, LineField>;
using LineCheck = FormCheck<LineField>;

// What a dialog needs besides its own fields.
struct LineFormContext {
    bool combination = false; // the combination page (kinds 208, 209)
    // The reference screenshot of the page; 0 when none is loaded.
    int screenWidth = 0;
    int screenHeight = 0;
    // Typing lines: the page's text store, its document, the typing line being
    // changed (-1 for a new line) and the other page's document sharing the store.
    TextStore* store = nullptr;
    const MacroDocument* document = nullptr;
    int editedLine = -1;
    const MacroDocument* sharing = nullptr;
};

// "키보드 동작": kinds 1, 2, 3, 48, 49, 64..69, 96; the key for the kinds with one.
struct KeyLineForm {
    int kind = kind::kKeyPress;
    int keyRow = 0; // row of the key table
    std::string memo;
    bool operator==(const KeyLineForm&) const = default;
};

// "마우스 버튼 동작": `action` is the kind of the left button (16, 19, 22, 25,
// 51, 73, 76, 92) or a kind without a button (50, 70..72, 97), or the wheel
// (41 up, 42 down) with its count.
struct ButtonLineForm {
    int action = kind::kButtonClick;
    int button = 0; // 0 left, 1 middle, 2 right
    int scrollCount = 1;
    std::string memo;
    bool operator==(const ButtonLineForm&) const = default;
};

// "마우스 이동": the five choices in the dialog's order.
enum class MoveChoice { ToPoint = 0, ByDistance = 1, Remember = 2, ShiftRemembered = 3, ToRemembered = 4 };
struct MoveLineForm {
    MoveChoice choice = MoveChoice::ToPoint;
    bool random = false; // "랜덤이동"
    int x = 0;           // a point on the reference screen, or a signed distance
    int y = 0;
    int slot = 0;        // remembered coordinate 0..7
    std::string memo;
    bool operator==(const MoveLineForm&) const = default;
};
constexpr const char* kNeedScreenshot = "먼저 스크린샷 불러오기를 하셔야 합니다.";

// "FPS 마우스이동": amounts 0..200.
struct FpsMoveLineForm {
    int horizontal = 0;
    bool left = false;
    int vertical = 0;
    bool up = false;
    std::string memo;
    bool operator==(const FpsMoveLineForm&) const = default;
};

// "시간지연(0.001~65초)": seconds as typed ("1.5"), at most three decimals.
struct DelayLineForm {
    bool random = false;
    std::string seconds = "1.0";
    std::string lowerSeconds = "1.0"; // the random range
    std::string upperSeconds = "2.0";
    std::string memo;
    bool operator==(const DelayLineForm&) const = default;
};

// "구간 반복": a repeat start (88), its end (103), a break (105), a count
// comparison (89) or its end (98). Operators are list positions: 0 "=",
// 1 "<=", 2 "<", 3 "X" (no comparison on that side).
struct RepeatLineForm {
    int kind = kind::kRepeatStart;
    int name = 0; // "A".."E"
    int count = 1;
    int leftValue = 0;
    int leftOperator = 1;
    int rightOperator = 3;
    int rightValue = 0;
    std::string memo;
    bool operator==(const RepeatLineForm&) const = default;
};
constexpr int kNoComparison = 3;

// "원격 제어": kinds 120, 56, 57, 80, 81, 99; the command number 0..250 for
// 120, 57 and 81 (nullopt when its box is empty).
struct RemoteLineForm {
    int kind = kind::kSendRemote;
    std::optional<int> number = 0;
    std::string memo;
    bool operator==(const RemoteLineForm&) const = default;
};

// "장치 제어": the lights (136..141), label (152), jump to a label (153),
// end of macro (224), shut the computer down (225).
struct MachineControlLineForm {
    int kind = kind::kRedOn;
    std::string label; // UTF-8, at most 14 CP949 bytes
    std::string memo;
    bool operator==(const MachineControlLineForm&) const = default;
};

// "문장 입력": the text and the typing speed in characters per minute.
struct TypingLineForm {
    std::string text; // UTF-8
    int speed = 1000;
    std::string memo;
    bool operator==(const TypingLineForm&) const = default;
};

// "녹화 매크로" (208) and "편집 매크로" (209) of the combination page.
struct PlayMemoryLineForm {
    int kind = kind::kPlayRecorded;
    int index = 0; // memory 0..31, shown as bank-slot
    std::string memo;
    bool operator==(const PlayMemoryLineForm&) const = default;
};

using LineForm = std::variant<KeyLineForm, ButtonLineForm, MoveLineForm, FpsMoveLineForm, DelayLineForm,
                              RepeatLineForm, RemoteLineForm, MachineControlLineForm, TypingLineForm,
                              PlayMemoryLineForm>;

BuiltLine build(const KeyLineForm& form, const LineFormContext& context);
BuiltLine build(const ButtonLineForm& form, const LineFormContext& context);
BuiltLine build(const MoveLineForm& form, const LineFormContext& context);
BuiltLine build(const FpsMoveLineForm& form, const LineFormContext& context);
BuiltLine build(const DelayLineForm& form, const LineFormContext& context);
BuiltLine build(const RepeatLineForm& form, const LineFormContext& context);
BuiltLine build(const RemoteLineForm& form, const LineFormContext& context);
BuiltLine build(const MachineControlLineForm& form, const LineFormContext& context);
// Stores the text in the context's store by the slot-sharing rules.
BuiltLine build(const TypingLineForm& form, const LineFormContext& context);
BuiltLine build(const PlayMemoryLineForm& form, const LineFormContext& context);
BuiltLine build(const LineForm& form, const LineFormContext& context);

// The dialog of the line's kind, filled from the line; nullopt for a kind no
// dialog makes. Typing lines read their text from the context's store.
std::optional<LineForm> formOf(const EditLine& line, const LineFormContext& context);

// The choices a dialog offers with its radio buttons, in their order: the
// kind each makes (a button family by its left button's kind; the movement
// dialog by its MoveChoice). P12 of a built line holds the index of its
// choice, except in the FPS and memory-playing lines where P12 is data.
std::span<const int> choicesOf(LineDialog dialog);
// The index of `choice` in choicesOf(dialog), or -1.
int choiceIndexOf(LineDialog dialog, int choice);

// The dialog a form belongs to, and every refusal that dialog can give.
LineDialog dialogOf(const LineForm& form);
std::span<const LineCheck> checksOf(LineDialog dialog);

// Seconds as typed into the delay boxes, in milliseconds 1..65000; nullopt
// for anything else.
std::optional<int> parseDelaySeconds(const std::string& text);

} // namespace quillon::control

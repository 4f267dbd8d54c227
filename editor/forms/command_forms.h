// The command dialogs without their windows: one plain struct of each
// dialog's fields with its defaults ("0.100" seconds ...), `build` that
// checks them in the dialog's order and makes the command record or refuses
// with the dialog's message and the field to focus, and `formOf` that fills
// the dialog again from a row for "수정 저장". Times are typed in seconds and
// stored as whole milliseconds.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "analyzer/records.h"
#include "base/form_result.h"
#include "editor/forms/form_context.h"
#include "editor/forms/form_values.h"

namespace quillon::editor {

enum class CommandField {
    None,
    Action,
    Key,
    Variable,
    Interval,
    Button,
    ScrollSteps,
    X,
    Y,
    RandomPixels,
    Image,
    Area,
    Horizontal,
    Vertical,
    Macro,
    Repeat,
    Target,
    ValueKind,
    Value,
    RightValue,
    LowValue,
    HighValue,
    Colour,
    SpreadX,
    SpreadY,
    DatePart,
    Timer,
    TimerValue,
    Seconds,
    LowSeconds,
    HighSeconds,
    RemoteNumber,
    Sound,
    FileName,
    Speed,
    Name,
    Sentence,
    NumberPack,
    Similarity,
};

using BuiltCommand = FormBuilt<analyzer::Command, CommandField>;
using CommandCheck = FormCheck<CommandField>;

inline constexpr const char* kDefaultInterval = "0.100";

// "키보드 설정" (kind 0): 0 press, 1 release, 2 press and release, 3 type a
// variable's value. ("자동 문장 타자" opens the auto-typing dialog instead.)
struct KeyCommandForm {
    int action = 2;
    int keyRow = -1; // row of the key table, -1 until a key is pressed
    int variable = -1;
    std::string interval = kDefaultInterval;
    bool operator==(const KeyCommandForm&) const = default;
};

// "마우스 설정" (kind 1): the actions 0..9 in the dialog's order.
namespace mouse_action {
using M = analyzer::cmd::Mouse;
inline constexpr int kPress = M::Press, kRelease = M::Release, kClick = M::Click, kDoubleClick = M::DoubleClick,
                     kScroll = M::Wheel, kMoveTo = M::MoveTo, kMoveToImage = M::MoveToImage,
                     kMoveToRangeMatch = M::MoveToRangeMatch, kFpsMove = M::MoveRelative,
                     kMoveToVariable = M::MoveToVariable;
} // namespace mouse_action
// Buttons in the dialog's order "좌측", "중간", "우측".
enum class MouseButton { Left = 0, Middle = 1, Right = 2 };
struct MouseCommandForm {
    int action = mouse_action::kClick;
    MouseButton button = MouseButton::Left;
    std::string interval = kDefaultInterval; // "↓↑간격="
    bool scrollUp = true;                    // "상" / "하"
    std::string scrollSteps = "1";
    std::string x, y;
    bool monitor = false; // "모니터 좌표 "
    bool random = false;  // "랜덤 이동", for the move actions
    std::string randomPixels = "2";
    int image = -1;
    int area = -1;
    bool right = true; // "우" (else "좌")
    bool up = false;   // "상" (else "하")
    std::string horizontal = "0", vertical = "0";
    int variable = -1;
    bool operator==(const MouseCommandForm&) const = default;
};

// "매크로 설정" (kind 2): 0 recorded, 1 edit, 2 combination (each with its
// memory and repeat count), 3 pause, 4 resume, 5 stop.
struct MacroCommandForm {
    int action = 0;
    int macro = 0; // memory 0..31 (0..7 for a combination)
    std::string repeat = "1";
    bool operator==(const MacroCommandForm&) const = default;
};

// "변수" (kind 3): the value kinds of the "변수 종류" list, in its order.
enum class ValueKind {
    NumberOrVariable,
    ImagePoint,
    Colour,
    ScreenPoint,
    RangeMatch,
    SavePreviousItem,
    LoadPreviousItem,
    RandomNumber,
    RandomPoint,
    DateTime,
};
inline constexpr int kValueKindCount = 10;
// The labels of the list, and the source code each kind is stored as
// ("숫자/변수" is 0 for a number, 1 for a variable).
const char* valueKindLabel(ValueKind kind);
int32_t sourceOf(ValueKind kind);

// The fields the "변수" dialog offers for a value kind; it disables the
// others, and `build` reads nothing else. "이전항목 불러오기" sets no target;
// the arithmetic goes with RightValue, "모니터 기준 좌표 적용" with X.
bool valueKindUses(ValueKind kind, CommandField field);

struct VariableCommandForm {
    int target = 0;
    ValueKind kind = ValueKind::NumberOrVariable;
    NumberOrSlot value;            // a number or a variable
    int arithmetic = 0;            // 0 "사용x", 1 "+", 2 "-", 3 "x", 4 "÷"
    NumberOrSlot right;            // the right operand of the arithmetic
    int image = -1;                // "이미지 인식점"
    std::optional<uint32_t> colour; // blue, green, red as 0x00RRGGBB, once picked
    std::string x, y;              // "화면 좌표", and the centre of "임의의 좌표 생성"
    bool monitor = false;          // "모니터 기준 좌표 적용"
    int area = -1;                 // "범위검색 일치위치"
    int loadFrom = -1;             // "이전항목 불러오기": the variable holding the item
    std::string low, high;         // "임의의 숫자 생성"
    std::string spreadX, spreadY;  // "임의의 좌표 생성": the "±" deviations
    int datePart = 0;              // "현재 년" .. "현재 초"
    // The guard: unless "조건 없음" is checked, the assignment happens only
    // when low, operator, variable, operator, high holds.
    bool noCondition = true;
    NumberOrSlot guardLow;
    int guardLowOperator = 0;
    int guardVariable = 0;
    int guardHighOperator = 0;
    NumberOrSlot guardHigh;
    bool operator==(const VariableCommandForm&) const = default;
};

// "타이머" (kind 4): a timer set to seconds or to another timer.
struct TimerCommandForm {
    int timer = 0;
    NumberOrSlot value;
    bool operator==(const TimerCommandForm&) const = default;
};

// "시간 지연" (kind 5).
struct DelayCommandForm {
    bool random = false;
    std::string seconds = "0.100";
    std::string low = "0.080";
    std::string high = "0.200";
    bool operator==(const DelayCommandForm&) const = default;
};

// "기계 제어" (kind 8): the 15 choices as their index; "분석기 재시작" (7)
// is not offered.
namespace device_choice {
using D = analyzer::cmd::Device;
inline constexpr int kRed = D::RedLight, kYellow = D::YellowLight, kGreen = D::GreenLight, kPlaySound = D::PlaySound,
                     kStopSound = D::StopSound, kRemote = D::SendRemote, kPauseAnalyzer = D::PauseAnalyzer,
                     kResumeAnalyzer = D::ResumeAnalyzer, kCount = D::UnlockMouse + 1;
} // namespace device_choice
struct DeviceCommandForm {
    int choice = device_choice::kRed;
    std::array<bool, 3> lightOn{true, true, true}; // captions "ON" / "OFF"
    std::string remote;
    std::string soundFile; // the name inside the Sound folder, once chosen
    bool operator==(const DeviceCommandForm&) const = default;
};

// "인식이미지 교체" (kind 9).
struct ReplaceImageCommandForm {
    int image = -1;
    bool operator==(const ReplaceImageCommandForm&) const = default;
};

// "분석기 교체" (kind 11): the analyzer file's name and extension, in the
// analyzer folder.
struct RunAnalyzerCommandForm {
    std::string fileName;
    bool operator==(const RunAnalyzerCommandForm&) const = default;
};

// "자동 타자" (kind 20): a sentence of the sentence table. `sentence` is the
// entry the row refers to when it is changed; -1 for a new sentence.
struct TypingCommandForm {
    std::string name;
    std::string text;
    std::string speed = "500";
    int sentence = -1;
    bool operator==(const TypingCommandForm&) const = default;
};

// "숫자인식 설정" (kind 30).
struct ReadNumberCommandForm {
    int area = -1;
    int pack = -1;
    std::string similarity = "90";
    int variable = -1;
    bool arithmetic = false; // "사칙연산"
    bool operator==(const ReadNumberCommandForm&) const = default;
};

using CommandForm = std::variant<KeyCommandForm, MouseCommandForm, MacroCommandForm, VariableCommandForm,
                                 TimerCommandForm, DelayCommandForm, DeviceCommandForm, ReplaceImageCommandForm,
                                 RunAnalyzerCommandForm, TypingCommandForm, ReadNumberCommandForm>;

BuiltCommand build(const KeyCommandForm& form, const FormContext& context);
BuiltCommand build(const MouseCommandForm& form, const FormContext& context);
BuiltCommand build(const MacroCommandForm& form, const FormContext& context);
BuiltCommand build(const VariableCommandForm& form, const FormContext& context);
BuiltCommand build(const TimerCommandForm& form, const FormContext& context);
BuiltCommand build(const DelayCommandForm& form, const FormContext& context);
BuiltCommand build(const DeviceCommandForm& form, const FormContext& context);
BuiltCommand build(const ReplaceImageCommandForm& form, const FormContext& context);
BuiltCommand build(const RunAnalyzerCommandForm& form, const FormContext& context);
// Writes the sentence into the context model's sentence table (the entry
// being changed, or the first free one) only when every check passes.
BuiltCommand build(const TypingCommandForm& form, const FormContext& context);
BuiltCommand build(const ReadNumberCommandForm& form, const FormContext& context);
BuiltCommand build(const CommandForm& form, const FormContext& context);

// The dialog of the row's kind, filled from the row; the auto-typing dialog
// reads its sentence from the model. Nullopt for a kind no dialog makes.
std::optional<CommandForm> formOf(const analyzer::Command& command, const analyzer::AnalyzerModel& model);

int32_t kindOf(const CommandForm& form);
std::span<const CommandCheck> commandChecks(int32_t kind);

// The 50-command text of a kind's dialog: the later dialogs say
// "최대 실행명령 수를 초과하였습니다.".
const char* commandLimitMessage(int32_t kind);

// The refusal that closes a command dialog as it opens: 50 commands (when
// adding); for number reading, no recognition area or no number pack.
std::optional<std::string> commandOpeningRefusal(int32_t kind, const analyzer::AnalyzerModel& model, int rows,
                                                 bool changing);

} // namespace quillon::editor

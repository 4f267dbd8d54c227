// The condition dialogs without their windows: one plain struct of each
// dialog's fields with its defaults, `build` that checks them in the
// dialog's order and makes the condition record or refuses with the dialog's
// message and the field to focus, and `formOf` that fills the dialog again
// from a row for "수정 저장".
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "analyzer/records.h"
#include "base/form_result.h"
#include "editor/forms/form_context.h"
#include "editor/forms/form_values.h"

namespace quillon::editor {

// The controls a refusal puts the focus on.
enum class ConditionField {
    None,
    LowValue,
    LowOperator,
    TestedVariable,
    HighValue,
    Timer,
    TimerValue,
    Choice,
    Position,
    PositionImage,
    X,
    Y,
    PositionVariable,
    Reference,
    ReferenceImage,
    ReferenceVariable,
    Comparison,
    Similarity,
    Area,
    Occurrence,
    Cursor,
    Key,
    RemoteNumber,
};

using BuiltCondition = FormBuilt<analyzer::Condition, ConditionField>;
using ConditionCheck = FormCheck<ConditionField>;

// Comparison operators of the variable tests: 0 "비교x", 1 "<", 2 "≤", 3 "=", 4 "≠".
inline constexpr int kNoComparison = 0;
inline constexpr const char* kDefaultSimilarity = "90";

// "변수" (kind 0): low bound, operator, the tested variable, operator, high bound.
struct VariableConditionForm {
    NumberOrSlot low;
    int lowOperator = kNoComparison;
    int variable = 0;
    int highOperator = kNoComparison;
    NumberOrSlot high;
    bool compareX = false; // "X값 비교"
    bool compareY = false; // "Y값 비교"
    bool operator==(const VariableConditionForm&) const = default;
};

// "타이머 조건" (kind 10): timer ≥ / < seconds or another timer.
struct TimerConditionForm {
    int timer = 0;
    bool below = false; // the toggle shows "<" instead of "≥"
    NumberOrSlot value; // seconds, or a timer chosen
    bool operator==(const TimerConditionForm&) const = default;
};

// A picked date and time; the weekday follows from the date.
struct DateTimeValue {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const DateTimeValue&) const = default;
};

// "년월일시분초 조건" (kind 20).
namespace date_part {
using D = analyzer::cond::DateTime;
inline constexpr uint8_t kYear = D::Year, kMonth = D::Month, kWeekday = D::Weekday, kDay = D::Day, kHour = D::Hour,
                         kMinute = D::Minute, kSecond = D::Second;
} // namespace date_part
struct DateTimeConditionForm {
    DateTimeValue when;
    bool below = false;
    uint8_t parts = 0; // date_part bits of the checked "비교 대상" boxes
    bool operator==(const DateTimeConditionForm&) const = default;
};

// "매크로 상태" (kind 30): 0 "매크로가 돌아가고 있으면", 1 "매크로가 꺼져 있으면".
struct MacroStateConditionForm {
    int state = 0;
    bool operator==(const MacroStateConditionForm&) const = default;
};

// Where an image condition looks, and what it compares with (stored codes).
enum class ImagePosition { None = 0, Variable = 1, Coordinates = 2, Image = 3 };
enum class ImageReference { None = 0, Variable = 1, Colour = 4, Image = 5 };

// "이미지 조건 설정" (kind 40).
struct ImageConditionForm {
    ImagePosition position = ImagePosition::None;
    int positionImage = -1;
    std::string x, y;
    int positionVariable = -1;
    ImageReference reference = ImageReference::None;
    int referenceImage = -1;
    std::optional<uint32_t> colour; // 0x00RRGGBB, once picked on the screenshot
    int referenceVariable = -1;
    int comparison = -1; // 0 "같은 이미지이면", 1 "다른 이미지이면"
    std::string similarity = kDefaultSimilarity;
    bool operator==(const ImageConditionForm&) const = default;
};

// "범위검색 조건 설정" (kind 50).
struct RangeSearchConditionForm {
    int area = -1;
    ImageReference reference = ImageReference::Image;
    int image = -1;
    std::optional<uint32_t> colour;
    int variable = -1;
    int comparison = -1; // 0 "같은 이미지가 있으면", 1 "같은 이미지가 없으면"
    std::string similarity = kDefaultSimilarity;
    int direction = 0; // "↓" "↑" "→" "←" "⊙" as 0..4
    NumberOrSlot occurrence{"1", -1};
    bool operator==(const RangeSearchConditionForm&) const = default;
};
// The direction of the first checked of the five direction buttons.
int firstCheckedDirection(const std::array<bool, 5>& checked);

// "커서 분석" (kind 60).
struct CursorConditionForm {
    int cursor = -1;
    bool different = false; // the toggle shows "다르면" instead of "같으면"
    bool operator==(const CursorConditionForm&) const = default;
};

// "키눌림 감지" (kind 70): 0 any key, 1 the given key, 2 all keys released.
inline constexpr const char* kKeyboardNotice =
    " 주의 !!\n 이 기능을 사용하기 위해서는\n 반드시 PS2호환 키보드가 기계에\n 연결되어 있어야 합니다.";
struct KeyConditionForm {
    int mode = 0;
    int keyRow = -1; // row of the key table, -1 until a key is pressed
    bool operator==(const KeyConditionForm&) const = default;
};

// "원격 제어" (kind 80).
struct RemoteConditionForm {
    std::string number;
    bool operator==(const RemoteConditionForm&) const = default;
};

using ConditionForm = std::variant<VariableConditionForm, TimerConditionForm, DateTimeConditionForm,
                                   MacroStateConditionForm, ImageConditionForm, RangeSearchConditionForm,
                                   CursorConditionForm, KeyConditionForm, RemoteConditionForm>;

BuiltCondition build(const VariableConditionForm& form, const FormContext& context);
BuiltCondition build(const TimerConditionForm& form, const FormContext& context);
BuiltCondition build(const DateTimeConditionForm& form, const FormContext& context);
BuiltCondition build(const MacroStateConditionForm& form, const FormContext& context);
BuiltCondition build(const ImageConditionForm& form, const FormContext& context);
BuiltCondition build(const RangeSearchConditionForm& form, const FormContext& context);
BuiltCondition build(const CursorConditionForm& form, const FormContext& context);
BuiltCondition build(const KeyConditionForm& form, const FormContext& context);
BuiltCondition build(const RemoteConditionForm& form, const FormContext& context);
BuiltCondition build(const ConditionForm& form, const FormContext& context);

// The dialog of the row's kind, filled from the row; nullopt for a kind (or
// a macro state) that no dialog makes.
std::optional<ConditionForm> formOf(const analyzer::Condition& condition);

// The kind a form makes, and every refusal of that kind's dialog.
int32_t kindOf(const ConditionForm& form);
std::span<const ConditionCheck> conditionChecks(int32_t kind);

// "추가" and "변경" beside the variable dialog's name box. A new variable is
// the next inactive one (up to 1000), named as typed or, with nothing typed,
// keeping its "변수%.3d"; nullopt when all 1000 are active. Renaming needs a
// name that is not blank and an active variable. Names are cut to their
// field in CP949 bytes.
std::optional<int> addNamedVariable(analyzer::AnalyzerModel& model, std::string_view name);
bool renameVariable(analyzer::AnalyzerModel& model, int index, std::string_view name);

// The refusal that closes a condition dialog as it opens: 50 conditions
// (when adding), no recognition area (kind 50), no saved cursor (kind 60).
std::optional<std::string> conditionOpeningRefusal(int32_t kind, const analyzer::AnalyzerModel& model, int rows,
                                                   bool changing);

} // namespace quillon::editor

#include "editor/forms/condition_forms.h"

#include <chrono>

#include "analyzer/limits.h"
#include "base/fixed_text.h"
#include "base/text.h"
#include "device/key_table.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

using F = ConditionField;

constexpr ConditionCheck kRows{"rows", F::None, message::kTooManyConditions};

constexpr const char* kChooseReference = "기준 이미지를 선택해주세요.";
constexpr const char* kChooseColourVariable = "변수색값을 선택해주세요.";
constexpr const char* kChooseComparison = "비교조건을 선택해주세요.";
constexpr const char* kAreaFirst = "범위를 먼저 설정해주세요.";
constexpr const char* kNoCursor = "저장된 커서가 없습니다.";

constexpr ConditionCheck kVariableChecks[] = {
    kRows,
    {"no comparison", F::LowOperator, "변수 조건을 설정해주세요."},
    {"operator", F::LowOperator, ""},
    {"variable", F::TestedVariable, "변수 조건을 설정해주세요."},
    {"low", F::LowValue, kLowBoundMissing},
    {"high", F::HighValue, kHighBoundMissing},
};
constexpr ConditionCheck kTimerChecks[] = {
    kRows,
    {"timer", F::Timer, ""},
    {"value", F::TimerValue, "오른쪽 박스에 타이머값을 적거나 타이머를 선택해주세요."},
};
constexpr ConditionCheck kDateTimeChecks[] = {kRows, {"date", F::None, ""}};
constexpr ConditionCheck kStateChecks[] = {kRows, {"state", F::Choice, ""}};
constexpr ConditionCheck kImageChecks[] = {
    kRows,
    {"position", F::Position, "기준 위치를 선택해주세요."},
    {"position image", F::PositionImage, "기준 위치를 선택해주세요."},
    {"x", F::X, "X 위치값을 입력해주세요."},
    {"y", F::Y, "Y 위치값을 입력해주세요."},
    {"position variable", F::PositionVariable, "변수위치를 선택해주세요."},
    {"reference", F::Reference, kChooseReference},
    {"reference image", F::ReferenceImage, kChooseReference},
    {"colour", F::Reference, kChooseReference},
    {"colour variable", F::ReferenceVariable, kChooseColourVariable},
    {"comparison", F::Comparison, kChooseComparison},
    {"similarity", F::Similarity, message::kBadSimilarity},
};
constexpr ConditionCheck kRangeChecks[] = {
    kRows,
    {"area", F::Area, kAreaFirst},
    {"similarity", F::Similarity, message::kBadSameness},
    {"image", F::ReferenceImage, kChooseReference, true},
    {"colour", F::Reference, kChooseReference, true},
    {"variable", F::ReferenceVariable, kChooseColourVariable, true},
    {"reference", F::Reference, kChooseReference, true},
    {"comparison", F::Comparison, kChooseComparison, true},
    {"occurrence", F::Occurrence, message::kBadMatchIndex},
    {"occurrence missing", F::Occurrence,
     "몇번째 일치 이미지를 찾을 것인지 숫자를 입력하거나 변수를 선택하세요.(1~30,000번째까지 가능)"},
    {"direction", F::None, ""},
};
constexpr ConditionCheck kCursorChecks[] = {kRows, {"cursor", F::Cursor, kNoCursor}};
constexpr ConditionCheck kKeyChecks[] = {
    kRows, {"mode", F::Choice, ""}, {"key", F::Key, "감지할 키를 설정해주세요."}};
constexpr ConditionCheck kRemoteChecks[] = {kRows, {"number", F::RemoteNumber, message::kBadRemoteNumber}};

BuiltCondition refuse(std::span<const ConditionCheck> checks, std::string_view id) {
    for (const ConditionCheck& c : checks) {
        if (id == c.id) return BuiltCondition::refused(c);
    }
    return BuiltCondition::refused(checks.front());
}

// The row limit comes first in every dialog: the add buttons repeat it.
bool overLimit(const FormContext& context) { return !context.changing && context.rows >= kConditionsPerItem; }

Condition conditionOf(int32_t kind) {
    Condition c{};
    c.used = 1;
    c.set(field::kKind, kind);
    return c;
}

const AnalyzerModel& modelOf(const FormContext& context) {
    static const AnalyzerModel empty;
    return context.model ? *context.model : empty;
}

bool validOperator(int op) { return op >= 0 && op <= 4; }

// A bound that is a chosen variable or a typed number: (is variable, value).
std::pair<int32_t, int32_t> boundOf(const NumberOrSlot& bound) {
    if (bound.slot >= 0) return {1, bound.slot};
    return {0, parseWholeNumber(bound.typed).value_or(0)};
}

NumberOrSlot formBound(int32_t isVariable, int32_t value) {
    if (isVariable == 1) return NumberOrSlot{"", value};
    return NumberOrSlot{std::to_string(value), -1};
}

int weekdayOf(const DateTimeValue& when) {
    using namespace std::chrono;
    const year_month_day date{year{when.year}, month{static_cast<unsigned>(when.month)},
                              day{static_cast<unsigned>(when.day)}};
    if (!date.ok()) return -1;
    return static_cast<int>(weekday{sys_days{date}}.c_encoding());
}

void setWord(Condition& c, size_t offset, int value) {
    c.body[offset] = static_cast<uint8_t>(value & 0xFF);
    c.body[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}
int wordAt(const Condition& c, size_t offset) { return c.body[offset] | (c.body[offset + 1] << 8); }

} // namespace

std::span<const ConditionCheck> conditionChecks(int32_t kind) {
    switch (kind) {
    case CondVariable: return kVariableChecks;
    case CondTimer: return kTimerChecks;
    case CondDateTime: return kDateTimeChecks;
    case CondState: return kStateChecks;
    case CondImage: return kImageChecks;
    case CondRangeSearch: return kRangeChecks;
    case CondCursor: return kCursorChecks;
    case CondKey: return kKeyChecks;
    case CondRemote: return kRemoteChecks;
    default: return {};
    }
}

// ---- "변수" ---------------------------------------------------------------------------

BuiltCondition build(const VariableConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kVariableChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.lowOperator == kNoComparison && form.highOperator == kNoComparison) return refuse(checks, "no comparison");
    if (!validOperator(form.lowOperator) || !validOperator(form.highOperator)) return refuse(checks, "operator");
    if (!isVariable(modelOf(context), form.variable)) return refuse(checks, "variable");
    if (form.lowOperator != kNoComparison && form.low.empty()) return refuse(checks, "low");
    if (form.highOperator != kNoComparison && form.high.empty()) return refuse(checks, "high");
    Condition c = conditionOf(CondVariable);
    // X and Y both, or neither, compare both axes.
    c.set(4, form.compareX == form.compareY ? 0 : form.compareX ? 1 : 2);
    if (form.lowOperator != kNoComparison) {
        auto [isVariable, value] = boundOf(form.low);
        c.set(8, isVariable);
        c.set(12, value);
    }
    c.set(20, form.lowOperator);
    c.set(24, form.variable);
    c.set(28, form.highOperator);
    if (form.highOperator != kNoComparison) {
        auto [isVariable, value] = boundOf(form.high);
        c.set(32, isVariable);
        c.set(36, value);
    }
    return BuiltCondition::of(c);
}

// ---- "타이머 조건" -----------------------------------------------------------------------

BuiltCondition build(const TimerConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kTimerChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.timer < 0 || form.timer >= kTimerCount) return refuse(checks, "timer");
    Condition c = conditionOf(CondTimer);
    if (form.value.slot >= 0) {
        if (form.value.slot >= kTimerCount) return refuse(checks, "value");
        c.set(4, 1);
        c.set(16, form.value.slot);
    } else {
        const std::optional<int32_t> seconds = parseWholeNumber(form.value.typed);
        if (!seconds || *seconds < 0) return refuse(checks, "value");
        c.set(20, *seconds);
    }
    c.set(8, form.below ? 1 : 0);
    c.set(12, form.timer);
    return BuiltCondition::of(c);
}

// ---- "년월일시분초 조건" -------------------------------------------------------------------

BuiltCondition build(const DateTimeConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kDateTimeChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    const DateTimeValue& w = form.when;
    const int weekday = weekdayOf(w);
    if (weekday < 0 || w.year < 1601 || w.year > 30827 || w.hour < 0 || w.hour > 23 || w.minute < 0 ||
        w.minute > 59 || w.second < 0 || w.second > 59 || (form.parts & 0x80)) {
        return refuse(checks, "date");
    }
    Condition c = conditionOf(CondDateTime);
    c.set(4, form.below ? 1 : 0);
    c.body[8] = form.parts;
    setWord(c, 12, w.year);
    setWord(c, 14, w.month);
    setWord(c, 16, weekday);
    setWord(c, 18, w.day);
    setWord(c, 20, w.hour);
    setWord(c, 22, w.minute);
    setWord(c, 24, w.second);
    return BuiltCondition::of(c);
}

// ---- "매크로 상태" -----------------------------------------------------------------------

BuiltCondition build(const MacroStateConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kStateChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    // New rows choose between the two machine states; a row read from a file
    // with one of the other three (paused, and the two branch markers) keeps
    // it when it is changed.
    const int offered = context.changing ? 4 : 1;
    if (form.state < 0 || form.state > offered) return refuse(checks, "state");
    Condition c = conditionOf(CondState);
    c.set(4, form.state);
    return BuiltCondition::of(c);
}

// ---- "이미지 조건 설정" --------------------------------------------------------------------

BuiltCondition build(const ImageConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kImageChecks);
    const AnalyzerModel& model = modelOf(context);
    if (overLimit(context)) return refuse(checks, "rows");
    Condition c = conditionOf(CondImage);
    switch (form.position) {
    case ImagePosition::Image: {
        if (!isRecognitionImage(model, form.positionImage)) return refuse(checks, "position image");
        const RecognitionImage* image = model.recognitionImage(form.positionImage);
        c.set(field::kImagePositionSource, form.positionImage);
        c.set(field::kImageX, image->centreX);
        c.set(field::kImageY, image->centreY);
        break;
    }
    case ImagePosition::Coordinates: {
        const std::optional<int32_t> x = parseWholeNumber(form.x);
        if (!x) return refuse(checks, "x");
        const std::optional<int32_t> y = parseWholeNumber(form.y);
        if (!y) return refuse(checks, "y");
        c.set(field::kImageX, *x);
        c.set(field::kImageY, *y);
        break;
    }
    case ImagePosition::Variable:
        if (!isVariable(model, form.positionVariable)) return refuse(checks, "position variable");
        c.set(field::kImagePositionSource, form.positionVariable);
        break;
    default: return refuse(checks, "position");
    }
    c.set(field::kImageWhere, static_cast<int32_t>(form.position));
    switch (form.reference) {
    case ImageReference::Image:
        if (!isRecognitionImage(model, form.referenceImage)) return refuse(checks, "reference image");
        c.set(field::kImageReference, form.referenceImage);
        break;
    case ImageReference::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.set(40, static_cast<int32_t>(*form.colour & 0xFFFFFF));
        break;
    case ImageReference::Variable:
        if (!isVariable(model, form.referenceVariable)) return refuse(checks, "colour variable");
        c.set(field::kImageReference, form.referenceVariable);
        break;
    default: return refuse(checks, "reference");
    }
    c.set(field::kImageCompareWith, static_cast<int32_t>(form.reference));
    if (form.comparison != 0 && form.comparison != 1) return refuse(checks, "comparison");
    c.set(28, form.comparison);
    const std::optional<int32_t> similarity = parseSimilarity(form.similarity);
    if (!similarity) return refuse(checks, "similarity");
    c.set(32, *similarity);
    return BuiltCondition::of(c);
}

// ---- "범위검색 조건 설정" -------------------------------------------------------------------

int firstCheckedDirection(const std::array<bool, 5>& checked) {
    for (int i = 0; i < 5; ++i) {
        if (checked[static_cast<size_t>(i)]) return i;
    }
    return 0;
}

BuiltCondition build(const RangeSearchConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kRangeChecks);
    const AnalyzerModel& model = modelOf(context);
    if (overLimit(context)) return refuse(checks, "rows");
    if (!isArea(model, form.area)) return refuse(checks, "area");
    const std::optional<int32_t> similarity = parseSimilarity(form.similarity);
    if (!similarity) return refuse(checks, "similarity");
    Condition c = conditionOf(CondRangeSearch);
    switch (form.reference) {
    case ImageReference::Image:
        if (!isRecognitionImage(model, form.image)) return refuse(checks, "image");
        c.set(field::kRangeImage, form.image);
        break;
    case ImageReference::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.set(56, static_cast<int32_t>(*form.colour & 0xFFFFFF));
        break;
    case ImageReference::Variable:
        if (!isVariable(model, form.variable)) return refuse(checks, "variable");
        c.set(field::kRangeImage, form.variable);
        break;
    default: return refuse(checks, "reference");
    }
    if (form.comparison != 0 && form.comparison != 1) return refuse(checks, "comparison");
    // A typed number wins; with the box empty a variable must be chosen.
    if (!form.occurrence.typed.empty() && form.occurrence.slot < 0) {
        const std::optional<int32_t> nth = parseWholeNumber(form.occurrence.typed);
        if (!nth || !checkMatchIndex(*nth).ok) return refuse(checks, "occurrence");
        c.set(24, *nth);
    } else if (isVariable(model, form.occurrence.slot)) {
        c.set(24, form.occurrence.slot);
        c.set(28, 1);
    } else {
        return refuse(checks, "occurrence missing");
    }
    if (form.direction < 0 || form.direction > 4) return refuse(checks, "direction");
    c.set(field::kRangeWhat, static_cast<int32_t>(form.reference));
    c.set(field::kRangeArea, form.area);
    c.set(12, form.direction);
    c.set(20, form.comparison);
    c.set(32, *similarity);
    return BuiltCondition::of(c);
}

// ---- "커서 분석" ------------------------------------------------------------------------

BuiltCondition build(const CursorConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kCursorChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (!isCursor(modelOf(context), form.cursor)) return refuse(checks, "cursor");
    Condition c = conditionOf(CondCursor);
    c.set(field::kCursorSample, form.cursor);
    c.set(12, form.different ? 1 : 0);
    return BuiltCondition::of(c);
}

// ---- "키눌림 감지" -----------------------------------------------------------------------

BuiltCondition build(const KeyConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kKeyChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.mode < 0 || form.mode > 2) return refuse(checks, "mode");
    Condition c = conditionOf(CondKey);
    c.set(4, form.mode);
    if (form.mode == 1) {
        if (form.keyRow < 0 || static_cast<size_t>(form.keyRow) >= KeyTable::kRowCount) return refuse(checks, "key");
        c.set(8, form.keyRow);
    }
    return BuiltCondition::of(c);
}

// ---- "원격 제어" ------------------------------------------------------------------------

BuiltCondition build(const RemoteConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kRemoteChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    const std::optional<int32_t> number = parseWholeNumber(form.number);
    if (!number || !checkRemoteNumber(*number).ok) return refuse(checks, "number");
    Condition c = conditionOf(CondRemote);
    c.set(4, *number);
    return BuiltCondition::of(c);
}

BuiltCondition build(const ConditionForm& form, const FormContext& context) {
    return std::visit([&](const auto& f) { return build(f, context); }, form);
}

int32_t kindOf(const ConditionForm& form) {
    static constexpr int32_t kinds[] = {CondVariable, CondTimer,      CondDateTime, CondState, CondImage,
                                        CondRangeSearch, CondCursor, CondKey,      CondRemote};
    return kinds[form.index()];
}

// ---- filling a dialog from a row ---------------------------------------------------

std::optional<ConditionForm> formOf(const Condition& c) {
    switch (c.kind()) {
    case CondVariable: {
        VariableConditionForm f;
        f.compareX = c.at(4) == 1;
        f.compareY = c.at(4) == 2;
        f.lowOperator = c.at(20);
        if (f.lowOperator != kNoComparison) f.low = formBound(c.at(8), c.at(12));
        f.variable = c.at(24);
        f.highOperator = c.at(28);
        if (f.highOperator != kNoComparison) f.high = formBound(c.at(32), c.at(36));
        return f;
    }
    case CondTimer: {
        TimerConditionForm f;
        f.timer = c.at(12);
        f.below = c.at(8) == 1;
        f.value = c.at(4) == 1 ? NumberOrSlot{"", c.at(16)} : NumberOrSlot{std::to_string(c.at(20)), -1};
        return f;
    }
    case CondDateTime: {
        DateTimeConditionForm f;
        f.below = c.at(4) == 1;
        f.parts = c.body[8];
        f.when = {wordAt(c, 12), wordAt(c, 14), wordAt(c, 18), wordAt(c, 20), wordAt(c, 22), wordAt(c, 24)};
        return f;
    }
    case CondState:
        if (c.at(4) < 0 || c.at(4) > 4) return std::nullopt;
        return MacroStateConditionForm{c.at(4)};
    case CondImage: {
        ImageConditionForm f;
        f.position = static_cast<ImagePosition>(c.at(field::kImageWhere));
        if (f.position == ImagePosition::Image) f.positionImage = c.at(field::kImagePositionSource);
        if (f.position == ImagePosition::Variable) f.positionVariable = c.at(field::kImagePositionSource);
        if (f.position == ImagePosition::Coordinates) {
            f.x = std::to_string(c.at(field::kImageX));
            f.y = std::to_string(c.at(field::kImageY));
        }
        f.reference = static_cast<ImageReference>(c.at(field::kImageCompareWith));
        if (f.reference == ImageReference::Image) f.referenceImage = c.at(field::kImageReference);
        if (f.reference == ImageReference::Variable) f.referenceVariable = c.at(field::kImageReference);
        if (f.reference == ImageReference::Colour) f.colour = static_cast<uint32_t>(c.at(40)) & 0xFFFFFF;
        f.comparison = c.at(28);
        f.similarity = std::to_string(c.at(32));
        return f;
    }
    case CondRangeSearch: {
        RangeSearchConditionForm f;
        f.area = c.at(field::kRangeArea);
        f.reference = static_cast<ImageReference>(c.at(field::kRangeWhat));
        if (f.reference == ImageReference::Image) f.image = c.at(field::kRangeImage);
        if (f.reference == ImageReference::Variable) f.variable = c.at(field::kRangeImage);
        if (f.reference == ImageReference::Colour) f.colour = static_cast<uint32_t>(c.at(56)) & 0xFFFFFF;
        f.comparison = c.at(20);
        f.similarity = std::to_string(c.at(32));
        f.direction = c.at(12);
        f.occurrence = c.at(28) == 1 ? NumberOrSlot{"", c.at(24)} : NumberOrSlot{std::to_string(c.at(24)), -1};
        return f;
    }
    case CondCursor: return CursorConditionForm{c.at(field::kCursorSample), c.at(12) == 1};
    case CondKey: return KeyConditionForm{c.at(4), c.at(4) == 1 ? c.at(8) : -1};
    case CondRemote: return RemoteConditionForm{std::to_string(c.at(4))};
    default: return std::nullopt;
    }
}

std::optional<int> addNamedVariable(AnalyzerModel& model, std::string_view name) {
    if (!model.addVariable()) return std::nullopt;
    const int index = model.image().activeVariableCount - 1;
    renameVariable(model, index, name);
    return index;
}

bool renameVariable(AnalyzerModel& model, int index, std::string_view name) {
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    const std::string cp949 = text::utf8ToCp949(name);
    if (!isVariable(model, index) || cp949.empty()) return false;
    storeFixedText(model.image().variables[index].name, cp949);
    return true;
}

std::optional<std::string> conditionOpeningRefusal(int32_t kind, const AnalyzerModel& model, int rows,
                                                   bool changing) {
    if (!changing && rows >= kConditionsPerItem) return std::string(message::kTooManyConditions);
    if (kind == CondRangeSearch && listedAreas(model).empty()) return std::string(kAreaFirst);
    if (kind == CondCursor && listedCursors(model).empty()) return std::string(kNoCursor);
    return std::nullopt;
}

} // namespace quillon::editor

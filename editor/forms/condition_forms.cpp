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
    c.setKind(kind);
    return c;
}

const AnalyzerModel& modelOf(const FormContext& context) {
    static const AnalyzerModel empty;
    return context.model ? *context.model : empty;
}

int weekdayOf(const DateTimeValue& when) {
    using namespace std::chrono;
    const year_month_day date{year{when.year}, month{static_cast<unsigned>(when.month)},
                              day{static_cast<unsigned>(when.day)}};
    if (!date.ok()) return -1;
    return static_cast<int>(weekday{sys_days{date}}.c_encoding());
}

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
    using V = cond::Variable;
    const auto checks = std::span<const ConditionCheck>(kVariableChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.lowOperator == kNoComparison && form.highOperator == kNoComparison) return refuse(checks, "no comparison");
    if (!validOperator(form.lowOperator) || !validOperator(form.highOperator)) return refuse(checks, "operator");
    if (!isVariable(modelOf(context), form.variable)) return refuse(checks, "variable");
    if (form.lowOperator != kNoComparison && form.low.empty()) return refuse(checks, "low");
    if (form.highOperator != kNoComparison && form.high.empty()) return refuse(checks, "high");
    Condition c = conditionOf(CondVariable);
    // X and Y both, or neither, compare both axes.
    c.set(V::axis, form.compareX == form.compareY ? V::BothAxes : form.compareX ? V::XOnly : V::YOnly);
    V::setTest(c, storedTest(form.low, form.lowOperator, form.variable, form.highOperator, form.high));
    return BuiltCondition::of(c);
}

// ---- "타이머 조건" -----------------------------------------------------------------------

BuiltCondition build(const TimerConditionForm& form, const FormContext& context) {
    using T = cond::Timer;
    const auto checks = std::span<const ConditionCheck>(kTimerChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.timer < 0 || form.timer >= kTimerCount) return refuse(checks, "timer");
    Condition c = conditionOf(CondTimer);
    if (form.value.slot >= 0) {
        if (form.value.slot >= kTimerCount) return refuse(checks, "value");
        c.set(T::rightIsTimer, 1);
        c.set(T::otherTimer, form.value.slot);
    } else {
        const std::optional<int32_t> seconds = parseWholeNumber(form.value.typed);
        if (!seconds || *seconds < 0) return refuse(checks, "value");
        c.set(T::seconds, *seconds);
    }
    c.set(T::below, form.below ? 1 : 0);
    c.set(T::timer, form.timer);
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
    using D = cond::DateTime;
    Condition c = conditionOf(CondDateTime);
    c.set(D::below, form.below ? 1 : 0);
    c.set(D::parts, form.parts);
    auto word = [](int value) { return static_cast<uint16_t>(value); };
    c.set(D::year, word(w.year));
    c.set(D::month, word(w.month));
    c.set(D::weekday, word(weekday));
    c.set(D::day, word(w.day));
    c.set(D::hour, word(w.hour));
    c.set(D::minute, word(w.minute));
    c.set(D::second, word(w.second));
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
    c.set(cond::State::state, form.state);
    return BuiltCondition::of(c);
}

// ---- "이미지 조건 설정" --------------------------------------------------------------------

BuiltCondition build(const ImageConditionForm& form, const FormContext& context) {
    using I = cond::Image;
    const auto checks = std::span<const ConditionCheck>(kImageChecks);
    const AnalyzerModel& model = modelOf(context);
    if (overLimit(context)) return refuse(checks, "rows");
    Condition c = conditionOf(CondImage);
    switch (form.position) {
    case ImagePosition::Image: {
        if (!isRecognitionImage(model, form.positionImage)) return refuse(checks, "position image");
        const RecognitionImage* image = model.recognitionImage(form.positionImage);
        c.set(I::positionSource, form.positionImage);
        c.set(I::x, image->centreX);
        c.set(I::y, image->centreY);
        break;
    }
    case ImagePosition::Coordinates: {
        const std::optional<int32_t> x = parseWholeNumber(form.x);
        if (!x) return refuse(checks, "x");
        const std::optional<int32_t> y = parseWholeNumber(form.y);
        if (!y) return refuse(checks, "y");
        c.set(I::x, *x);
        c.set(I::y, *y);
        break;
    }
    case ImagePosition::Variable:
        if (!isVariable(model, form.positionVariable)) return refuse(checks, "position variable");
        c.set(I::positionSource, form.positionVariable);
        break;
    default: return refuse(checks, "position");
    }
    c.set(I::where, static_cast<int32_t>(form.position));
    switch (form.reference) {
    case ImageReference::Image:
        if (!isRecognitionImage(model, form.referenceImage)) return refuse(checks, "reference image");
        c.set(I::reference, form.referenceImage);
        break;
    case ImageReference::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.set(I::colour, static_cast<int32_t>(*form.colour & 0xFFFFFF));
        break;
    case ImageReference::Variable:
        if (!isVariable(model, form.referenceVariable)) return refuse(checks, "colour variable");
        c.set(I::reference, form.referenceVariable);
        break;
    default: return refuse(checks, "reference");
    }
    c.set(I::compareWith, static_cast<int32_t>(form.reference));
    if (form.comparison != 0 && form.comparison != 1) return refuse(checks, "comparison");
    c.set(I::wantDifferent, form.comparison);
    const std::optional<int32_t> similarity = parseSimilarity(form.similarity);
    if (!similarity) return refuse(checks, "similarity");
    c.set(I::similarity, *similarity);
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
    using R = cond::RangeSearch;
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
        c.set(R::image, form.image);
        break;
    case ImageReference::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.set(R::colour, static_cast<int32_t>(*form.colour & 0xFFFFFF));
        break;
    case ImageReference::Variable:
        if (!isVariable(model, form.variable)) return refuse(checks, "variable");
        c.set(R::image, form.variable);
        break;
    default: return refuse(checks, "reference");
    }
    if (form.comparison != 0 && form.comparison != 1) return refuse(checks, "comparison");
    // A typed number wins; with the box empty a variable must be chosen.
    if (!form.occurrence.typed.empty() && form.occurrence.slot < 0) {
        const std::optional<int32_t> nth = parseWholeNumber(form.occurrence.typed);
        if (!nth || !checkMatchIndex(*nth).ok) return refuse(checks, "occurrence");
        c.set(R::whichMatch, *nth);
    } else if (isVariable(model, form.occurrence.slot)) {
        c.set(R::whichMatch, form.occurrence.slot);
        c.set(R::whichMatchIsVariable, 1);
    } else {
        return refuse(checks, "occurrence missing");
    }
    if (form.direction < 0 || form.direction > 4) return refuse(checks, "direction");
    c.set(R::what, static_cast<int32_t>(form.reference));
    c.set(R::area, form.area);
    c.set(R::direction, form.direction);
    c.set(R::wantMissing, form.comparison);
    c.set(R::similarity, *similarity);
    return BuiltCondition::of(c);
}

// ---- "커서 분석" ------------------------------------------------------------------------

BuiltCondition build(const CursorConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kCursorChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (!isCursor(modelOf(context), form.cursor)) return refuse(checks, "cursor");
    Condition c = conditionOf(CondCursor);
    c.set(cond::Cursor::cursor, form.cursor);
    c.set(cond::Cursor::wantDifferent, form.different ? 1 : 0);
    return BuiltCondition::of(c);
}

// ---- "키눌림 감지" -----------------------------------------------------------------------

BuiltCondition build(const KeyConditionForm& form, const FormContext& context) {
    const auto checks = std::span<const ConditionCheck>(kKeyChecks);
    if (overLimit(context)) return refuse(checks, "rows");
    if (form.mode < 0 || form.mode > 2) return refuse(checks, "mode");
    Condition c = conditionOf(CondKey);
    c.set(cond::Key::mode, form.mode);
    if (form.mode == cond::Key::GivenKey) {
        if (form.keyRow < 0 || static_cast<size_t>(form.keyRow) >= KeyTable::kRowCount) return refuse(checks, "key");
        c.set(cond::Key::key, form.keyRow);
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
    c.set(cond::Remote::number, *number);
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
        using V = cond::Variable;
        VariableConditionForm f;
        f.compareX = c[V::axis] == V::XOnly;
        f.compareY = c[V::axis] == V::YOnly;
        f.lowOperator = c[V::lowOperator];
        if (f.lowOperator != kNoComparison) f.low = formBound(c[V::lowIsVariable], c[V::low]);
        f.variable = c[V::variable];
        f.highOperator = c[V::highOperator];
        if (f.highOperator != kNoComparison) f.high = formBound(c[V::highIsVariable], c[V::high]);
        return f;
    }
    case CondTimer: {
        using T = cond::Timer;
        TimerConditionForm f;
        f.timer = c[T::timer];
        f.below = c[T::below] == 1;
        f.value = c[T::rightIsTimer] == 1 ? NumberOrSlot{"", c[T::otherTimer]}
                                          : NumberOrSlot{std::to_string(c[T::seconds]), -1};
        return f;
    }
    case CondDateTime: {
        using D = cond::DateTime;
        DateTimeConditionForm f;
        f.below = c[D::below] == 1;
        f.parts = c[D::parts];
        f.when = {c[D::year], c[D::month], c[D::day], c[D::hour], c[D::minute], c[D::second]};
        return f;
    }
    case CondState:
        if (c[cond::State::state] < 0 || c[cond::State::state] > cond::State::Otherwise) return std::nullopt;
        return MacroStateConditionForm{c[cond::State::state]};
    case CondImage: {
        using I = cond::Image;
        ImageConditionForm f;
        f.position = static_cast<ImagePosition>(c[I::where]);
        if (f.position == ImagePosition::Image) f.positionImage = c[I::positionSource];
        if (f.position == ImagePosition::Variable) f.positionVariable = c[I::positionSource];
        if (f.position == ImagePosition::Coordinates) {
            f.x = std::to_string(c[I::x]);
            f.y = std::to_string(c[I::y]);
        }
        f.reference = static_cast<ImageReference>(c[I::compareWith]);
        if (f.reference == ImageReference::Image) f.referenceImage = c[I::reference];
        if (f.reference == ImageReference::Variable) f.referenceVariable = c[I::reference];
        if (f.reference == ImageReference::Colour) f.colour = static_cast<uint32_t>(c[I::colour]) & 0xFFFFFF;
        f.comparison = c[I::wantDifferent];
        f.similarity = std::to_string(c[I::similarity]);
        return f;
    }
    case CondRangeSearch: {
        using R = cond::RangeSearch;
        RangeSearchConditionForm f;
        f.area = c[R::area];
        f.reference = static_cast<ImageReference>(c[R::what]);
        if (f.reference == ImageReference::Image) f.image = c[R::image];
        if (f.reference == ImageReference::Variable) f.variable = c[R::image];
        if (f.reference == ImageReference::Colour) f.colour = static_cast<uint32_t>(c[R::colour]) & 0xFFFFFF;
        f.comparison = c[R::wantMissing];
        f.similarity = std::to_string(c[R::similarity]);
        f.direction = c[R::direction];
        f.occurrence = c[R::whichMatchIsVariable] == 1 ? NumberOrSlot{"", c[R::whichMatch]}
                                                       : NumberOrSlot{std::to_string(c[R::whichMatch]), -1};
        return f;
    }
    case CondCursor: return CursorConditionForm{c[cond::Cursor::cursor], c[cond::Cursor::wantDifferent] == 1};
    case CondKey:
        return KeyConditionForm{c[cond::Key::mode], c[cond::Key::mode] == cond::Key::GivenKey ? c[cond::Key::key] : -1};
    case CondRemote: return RemoteConditionForm{std::to_string(c[cond::Remote::number])};
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

// "변수" (command kind 3): a target variable set from one of ten value kinds,
// optionally guarded by a variable test.
#include "base/format_text.h"
#include "base/text.h"
#include "editor/forms/command_checks.h"
#include "editor/forms/command_forms.h"

namespace quillon::editor {

using namespace analyzer;
using namespace command_checks;

namespace {

constexpr const char* kPointOutside = "이미지를 벗어나지 않는 위치의 좌표를 선택해주세요.";
constexpr const char* kValueMissing = "%s에 대입할 변수값을 입력하거나 변수를 선택해주세요.";
constexpr const char* kLoadFromMissing = "%s의 변수를 선택해주세요.";

constexpr CommandCheck kChecks[] = {
    kRows,
    {"target", F::Target, ""},
    {"kind", F::ValueKind, ""},
    {"guard operator", F::None, ""},
    {"guard low", F::None, kLowBoundMissing},
    {"guard high", F::None, kHighBoundMissing},
    {"value", F::Value, kValueMissing},
    {"arithmetic", F::None, ""},
    {"right", F::RightValue, "계산에 사용할 오른쪽 변수값을 입력하거나 변수를 선택해주세요."},
    {"image", F::Image, "변수에 대입할 이미지(인식점)을 선택해주세요."},
    {"colour", F::Colour, kPointOutside},
    {"x", F::X, "X좌표에 값을 입력해주세요."},
    {"y", F::Y, "Y좌표에 값을 입력해주세요."},
    {"area", F::Area, "변수에 대입할 검색범위를 선택해주세요."},
    {"load from", F::Variable, kLoadFromMissing},
    {"low", F::LowValue, "낮은쪽 수를 입력해주세요."},
    {"high", F::HighValue, "높은쪽 수를 입력해주세요.\n낮은쪽 수보다 반드시 커야 합니다."},
    {"spread", F::SpreadX, "가로(X),세로(Y) 편차를 넣어주세요."},
    {"point outside", F::X, kPointOutside},
    {"spread y outside", F::SpreadY, "이미지를 벗어나지 않는 크기의 세로(Y) 편차를 넣어주세요."},
    {"spread x outside", F::SpreadX, "이미지를 벗어나지 않는 크기의 가로(X) 편차를 넣어주세요."},
    {"date part", F::DatePart, ""},
};

struct KindInfo {
    ValueKind kind;
    const char* label;
    int32_t source;
};
using V = cmd::Variable;
constexpr KindInfo kKinds[kValueKindCount] = {
    {ValueKind::NumberOrVariable, "숫자/변수", V::Number},
    {ValueKind::ImagePoint, "이미지 인식점", V::ImagePoint},
    {ValueKind::Colour, "색값(Color)", V::Colour},
    {ValueKind::ScreenPoint, "화면 좌표", V::ScreenPoint},
    {ValueKind::RangeMatch, "범위검색 일치위치", V::RangeMatch},
    {ValueKind::SavePreviousItem, "이전항목 저장", V::SavePreviousItem},
    {ValueKind::LoadPreviousItem, "이전항목 불러오기", V::LoadPreviousItem},
    {ValueKind::RandomNumber, "임의의 숫자 생성", V::RandomNumber},
    {ValueKind::RandomPoint, "임의의 좌표 생성", V::RandomPoint},
    {ValueKind::DateTime, "일자/시간", V::DatePart},
};

bool validKind(ValueKind kind) { return static_cast<int>(kind) >= 0 && static_cast<int>(kind) < kValueKindCount; }

std::string variableName(const AnalyzerModel& model, int index) {
    if (index < 0 || index >= kVariableCapacity) return {};
    return text::cp949ToUtf8(fixedText(model.image().variables[index].name));
}

} // namespace

const char* valueKindLabel(ValueKind kind) { return validKind(kind) ? kKinds[static_cast<int>(kind)].label : ""; }
int32_t sourceOf(ValueKind kind) { return validKind(kind) ? kKinds[static_cast<int>(kind)].source : -1; }

std::span<const CommandCheck> command_checks::variableCommandChecks() { return kChecks; }

bool valueKindUses(ValueKind kind, CommandField field) {
    if (field == F::Target) return kind != ValueKind::LoadPreviousItem;
    switch (kind) {
    case ValueKind::NumberOrVariable: return field == F::Value || field == F::RightValue;
    case ValueKind::ImagePoint: return field == F::Image;
    case ValueKind::Colour: return field == F::Colour;
    case ValueKind::ScreenPoint: return field == F::X || field == F::Y;
    case ValueKind::RangeMatch: return field == F::Area;
    case ValueKind::SavePreviousItem: return false;
    case ValueKind::LoadPreviousItem: return field == F::Variable;
    case ValueKind::RandomNumber: return field == F::LowValue || field == F::HighValue;
    case ValueKind::RandomPoint: return field == F::X || field == F::Y || field == F::SpreadX || field == F::SpreadY;
    case ValueKind::DateTime: return field == F::DatePart;
    }
    return false;
}

BuiltCommand build(const VariableCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kChecks);
    const AnalyzerModel& model = modelOf(context);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    // "이전항목 불러오기" sets no target.
    if (form.kind != ValueKind::LoadPreviousItem && !isVariable(model, form.target)) return refuse(checks, "target");
    if (!validKind(form.kind)) return refuse(checks, "kind");
    Command c{};
    c.used = 1;
    c.setKind(CmdVariable);

    // The guard; both operators "비교x" is no guard at all.
    if (!form.noCondition && (form.guardLowOperator != 0 || form.guardHighOperator != 0)) {
        if (!validOperator(form.guardLowOperator) || !validOperator(form.guardHighOperator) ||
            !isVariable(model, form.guardVariable)) {
            return refuse(checks, "guard operator");
        }
        if (form.guardLowOperator != 0 && form.guardLow.empty()) return refuse(checks, "guard low");
        if (form.guardHighOperator != 0 && form.guardHigh.empty()) return refuse(checks, "guard high");
        c.set(V::guarded, 1);
        V::Guard::setTest(c, storedTest(form.guardLow, form.guardLowOperator, form.guardVariable,
                                        form.guardHighOperator, form.guardHigh));
    }

    int32_t source = sourceOf(form.kind);
    const int width = model.image().screenshotWidth, height = model.image().screenshotHeight;
    switch (form.kind) {
    case ValueKind::NumberOrVariable: {
        if (form.value.empty() || (form.value.slot >= 0 && !isVariable(model, form.value.slot))) {
            return refuse(checks, "value", formatText(kValueMissing, variableName(model, form.target).c_str()));
        }
        auto [fromVariable, value] = boundOf(form.value);
        source = fromVariable ? V::FromVariable : V::Number;
        c.set(V::value, value);
        if (!validOperator(form.arithmetic)) return refuse(checks, "arithmetic");
        if (form.arithmetic != 0) {
            if (form.right.empty() || (form.right.slot >= 0 && !isVariable(model, form.right.slot))) {
                return refuse(checks, "right");
            }
            auto [rightIsVariable, right] = boundOf(form.right);
            c.set(V::arithmetic, form.arithmetic);
            c.set(V::rightIsVariable, rightIsVariable);
            c.set(V::right, right);
        }
        break;
    }
    case ValueKind::ImagePoint:
        if (!isRecognitionImage(model, form.image)) return refuse(checks, "image");
        c.set(V::object, form.image);
        break;
    case ValueKind::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.set(V::blue, static_cast<uint8_t>(*form.colour & 0xFF));
        c.set(V::green, static_cast<uint8_t>((*form.colour >> 8) & 0xFF));
        c.set(V::red, static_cast<uint8_t>((*form.colour >> 16) & 0xFF));
        break;
    case ValueKind::ScreenPoint: {
        const std::optional<int32_t> x = parseWholeNumber(form.x);
        if (!x) return refuse(checks, "x");
        const std::optional<int32_t> y = parseWholeNumber(form.y);
        if (!y) return refuse(checks, "y");
        c.set(V::monitor, form.monitor ? 1 : 0);
        c.set(V::x, *x);
        c.set(V::y, *y);
        break;
    }
    case ValueKind::RangeMatch:
        if (!isArea(model, form.area)) return refuse(checks, "area");
        c.set(V::object, form.area);
        break;
    case ValueKind::SavePreviousItem: break;
    case ValueKind::LoadPreviousItem:
        if (!isVariable(model, form.loadFrom)) {
            return refuse(checks, "load from", formatText(kLoadFromMissing, valueKindLabel(form.kind)));
        }
        c.set(V::value, form.loadFrom);
        break;
    case ValueKind::RandomNumber: {
        const std::optional<int32_t> low = parseWholeNumber(form.low);
        if (!low) return refuse(checks, "low");
        const std::optional<int32_t> high = parseWholeNumber(form.high);
        if (!high || *high <= *low) return refuse(checks, "high");
        c.set(V::x, *low);
        c.set(V::y, *high);
        break;
    }
    case ValueKind::RandomPoint: {
        const std::optional<int32_t> x = parseWholeNumber(form.x);
        if (!x) return refuse(checks, "x");
        const std::optional<int32_t> y = parseWholeNumber(form.y);
        if (!y) return refuse(checks, "y");
        const std::optional<int32_t> dx = parseWholeNumber(form.spreadX), dy = parseWholeNumber(form.spreadY);
        if (!dx || !dy || *dx < 0 || *dy < 0) return refuse(checks, "spread");
        // A window point is taken on the screenshot: the spread stays on it.
        if (!form.monitor && width > 0 && height > 0) {
            if (*x < 0 || *x >= width || *y < 0 || *y >= height) return refuse(checks, "point outside");
            if (*y - *dy < 0 || int64_t{*y} + *dy >= height) return refuse(checks, "spread y outside");
            if (*x - *dx < 0 || int64_t{*x} + *dx >= width) return refuse(checks, "spread x outside");
        }
        c.set(V::monitor, form.monitor ? 1 : 0);
        c.set(V::x, *x);
        c.set(V::y, *y);
        c.set(V::spreadX, *dx);
        c.set(V::spreadY, *dy);
        break;
    }
    case ValueKind::DateTime:
        if (form.datePart < 0 || form.datePart > 6) return refuse(checks, "date part");
        c.set(V::object, form.datePart);
        break;
    }
    c.set(V::source, source);
    if (form.kind != ValueKind::LoadPreviousItem) c.set(V::target, form.target);
    return BuiltCommand::of(c);
}

VariableCommandForm command_checks::variableCommandFormOf(const Command& c) {
    VariableCommandForm f;
    const int32_t source = c[V::source];
    for (const KindInfo& k : kKinds) {
        if (k.source == source || (source == V::FromVariable && k.kind == ValueKind::NumberOrVariable)) f.kind = k.kind;
    }
    if (f.kind != ValueKind::LoadPreviousItem) f.target = c[V::target];
    switch (f.kind) {
    case ValueKind::NumberOrVariable:
        f.value = formBound(source == V::FromVariable ? 1 : 0, c[V::value]);
        f.arithmetic = c[V::arithmetic];
        if (f.arithmetic != 0) f.right = formBound(c[V::rightIsVariable], c[V::right]);
        break;
    case ValueKind::ImagePoint: f.image = c[V::object]; break;
    case ValueKind::Colour: f.colour = c[V::blue] | (c[V::green] << 8) | (c[V::red] << 16); break;
    case ValueKind::ScreenPoint:
    case ValueKind::RandomPoint:
        f.monitor = c[V::monitor] == 1;
        f.x = std::to_string(c[V::x]);
        f.y = std::to_string(c[V::y]);
        if (f.kind == ValueKind::RandomPoint) {
            f.spreadX = std::to_string(c[V::spreadX]);
            f.spreadY = std::to_string(c[V::spreadY]);
        }
        break;
    case ValueKind::RangeMatch: f.area = c[V::object]; break;
    case ValueKind::SavePreviousItem: break;
    case ValueKind::LoadPreviousItem: f.loadFrom = c[V::value]; break;
    case ValueKind::RandomNumber:
        f.low = std::to_string(c[V::x]);
        f.high = std::to_string(c[V::y]);
        break;
    case ValueKind::DateTime: f.datePart = c[V::object]; break;
    }
    const VariableTest guard = V::Guard::test(c);
    if (guard.lowOperator != 0 || guard.highOperator != 0) {
        f.noCondition = false;
        f.guardLowOperator = guard.lowOperator;
        if (f.guardLowOperator != 0) f.guardLow = formBound(guard.lowIsVariable, guard.low);
        f.guardVariable = guard.variable;
        f.guardHighOperator = guard.highOperator;
        if (f.guardHighOperator != 0) f.guardHigh = formBound(guard.highIsVariable, guard.high);
    }
    return f;
}

} // namespace quillon::editor

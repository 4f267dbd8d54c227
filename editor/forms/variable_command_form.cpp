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
constexpr KindInfo kKinds[kValueKindCount] = {
    {ValueKind::NumberOrVariable, "숫자/변수", 0},  {ValueKind::ImagePoint, "이미지 인식점", 3},
    {ValueKind::Colour, "색값(Color)", 4},          {ValueKind::ScreenPoint, "화면 좌표", 2},
    {ValueKind::RangeMatch, "범위검색 일치위치", 20}, {ValueKind::SavePreviousItem, "이전항목 저장", 30},
    {ValueKind::LoadPreviousItem, "이전항목 불러오기", 40}, {ValueKind::RandomNumber, "임의의 숫자 생성", 50},
    {ValueKind::RandomPoint, "임의의 좌표 생성", 51}, {ValueKind::DateTime, "일자/시간", 60},
};

bool validKind(ValueKind kind) { return static_cast<int>(kind) >= 0 && static_cast<int>(kind) < kValueKindCount; }

std::string variableName(const AnalyzerModel& model, int index) {
    if (index < 0 || index >= kVariableCapacity) return {};
    return text::cp949ToUtf8(fixedText(model.image().variables[index].name));
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
    c.set(field::kKind, CmdVariable);

    // The guard; both operators "비교x" is no guard at all.
    if (!form.noCondition && (form.guardLowOperator != 0 || form.guardHighOperator != 0)) {
        if (!validOperator(form.guardLowOperator) || !validOperator(form.guardHighOperator) ||
            !isVariable(model, form.guardVariable)) {
            return refuse(checks, "guard operator");
        }
        if (form.guardLowOperator != 0 && form.guardLow.empty()) return refuse(checks, "guard low");
        if (form.guardHighOperator != 0 && form.guardHigh.empty()) return refuse(checks, "guard high");
        c.set(28, 1);
        if (form.guardLowOperator != 0) {
            auto [fromVariable, value] = boundOf(form.guardLow);
            c.set(64, fromVariable);
            c.set(68, value);
        }
        c.set(76, form.guardLowOperator);
        c.set(80, form.guardVariable);
        c.set(84, form.guardHighOperator);
        if (form.guardHighOperator != 0) {
            auto [fromVariable, value] = boundOf(form.guardHigh);
            c.set(88, fromVariable);
            c.set(92, value);
        }
    }

    int32_t source = sourceOf(form.kind);
    const int width = model.image().screenshotWidth, height = model.image().screenshotHeight;
    switch (form.kind) {
    case ValueKind::NumberOrVariable: {
        if (form.value.empty() || (form.value.slot >= 0 && !isVariable(model, form.value.slot))) {
            return refuse(checks, "value", formatText(kValueMissing, variableName(model, form.target).c_str()));
        }
        auto [fromVariable, value] = boundOf(form.value);
        source = fromVariable ? 1 : 0;
        c.set(20, value);
        if (!validOperator(form.arithmetic)) return refuse(checks, "arithmetic");
        if (form.arithmetic != 0) {
            if (form.right.empty() || (form.right.slot >= 0 && !isVariable(model, form.right.slot))) {
                return refuse(checks, "right");
            }
            auto [rightIsVariable, right] = boundOf(form.right);
            c.set(4, form.arithmetic);
            c.set(12, rightIsVariable);
            c.set(24, right);
        }
        break;
    }
    case ValueKind::ImagePoint:
        if (!isRecognitionImage(model, form.image)) return refuse(checks, "image");
        c.set(field::kVariableObject, form.image);
        break;
    case ValueKind::Colour:
        if (!form.colour) return refuse(checks, "colour");
        c.body[60] = static_cast<uint8_t>(*form.colour & 0xFF);
        c.body[61] = static_cast<uint8_t>((*form.colour >> 8) & 0xFF);
        c.body[62] = static_cast<uint8_t>((*form.colour >> 16) & 0xFF);
        break;
    case ValueKind::ScreenPoint: {
        const std::optional<int32_t> x = parseWholeNumber(form.x);
        if (!x) return refuse(checks, "x");
        const std::optional<int32_t> y = parseWholeNumber(form.y);
        if (!y) return refuse(checks, "y");
        c.set(32, form.monitor ? 1 : 0);
        c.set(44, *x);
        c.set(48, *y);
        break;
    }
    case ValueKind::RangeMatch:
        if (!isArea(model, form.area)) return refuse(checks, "area");
        c.set(field::kVariableObject, form.area);
        break;
    case ValueKind::SavePreviousItem: break;
    case ValueKind::LoadPreviousItem:
        if (!isVariable(model, form.loadFrom)) {
            return refuse(checks, "load from", formatText(kLoadFromMissing, valueKindLabel(form.kind)));
        }
        c.set(20, form.loadFrom);
        break;
    case ValueKind::RandomNumber: {
        const std::optional<int32_t> low = parseWholeNumber(form.low);
        if (!low) return refuse(checks, "low");
        const std::optional<int32_t> high = parseWholeNumber(form.high);
        if (!high || *high <= *low) return refuse(checks, "high");
        c.set(44, *low);
        c.set(48, *high);
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
        c.set(32, form.monitor ? 1 : 0);
        c.set(44, *x);
        c.set(48, *y);
        c.set(52, *dx);
        c.set(56, *dy);
        break;
    }
    case ValueKind::DateTime:
        if (form.datePart < 0 || form.datePart > 6) return refuse(checks, "date part");
        c.set(field::kVariableObject, form.datePart);
        break;
    }
    c.set(field::kVariableSource, source);
    if (form.kind != ValueKind::LoadPreviousItem) c.set(16, form.target);
    return BuiltCommand::of(c);
}

VariableCommandForm command_checks::variableCommandFormOf(const Command& c) {
    VariableCommandForm f;
    const int32_t source = c.at(field::kVariableSource);
    for (const KindInfo& k : kKinds) {
        if (k.source == source || (source == 1 && k.kind == ValueKind::NumberOrVariable)) f.kind = k.kind;
    }
    if (f.kind != ValueKind::LoadPreviousItem) f.target = c.at(16);
    switch (f.kind) {
    case ValueKind::NumberOrVariable:
        f.value = formBound(source == 1 ? 1 : 0, c.at(20));
        f.arithmetic = c.at(4);
        if (f.arithmetic != 0) f.right = formBound(c.at(12), c.at(24));
        break;
    case ValueKind::ImagePoint: f.image = c.at(field::kVariableObject); break;
    case ValueKind::Colour: f.colour = c.body[60] | (c.body[61] << 8) | (c.body[62] << 16); break;
    case ValueKind::ScreenPoint:
    case ValueKind::RandomPoint:
        f.monitor = c.at(32) == 1;
        f.x = std::to_string(c.at(44));
        f.y = std::to_string(c.at(48));
        if (f.kind == ValueKind::RandomPoint) {
            f.spreadX = std::to_string(c.at(52));
            f.spreadY = std::to_string(c.at(56));
        }
        break;
    case ValueKind::RangeMatch: f.area = c.at(field::kVariableObject); break;
    case ValueKind::SavePreviousItem: break;
    case ValueKind::LoadPreviousItem: f.loadFrom = c.at(20); break;
    case ValueKind::RandomNumber:
        f.low = std::to_string(c.at(44));
        f.high = std::to_string(c.at(48));
        break;
    case ValueKind::DateTime: f.datePart = c.at(field::kVariableObject); break;
    }
    if (c.at(76) != 0 || c.at(84) != 0) {
        f.noCondition = false;
        f.guardLowOperator = c.at(76);
        if (f.guardLowOperator != 0) f.guardLow = formBound(c.at(64), c.at(68));
        f.guardVariable = c.at(80);
        f.guardHighOperator = c.at(84);
        if (f.guardHighOperator != 0) f.guardHigh = formBound(c.at(88), c.at(92));
    }
    return f;
}

} // namespace quillon::editor

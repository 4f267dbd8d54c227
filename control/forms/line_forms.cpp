#include "control/forms/line_forms.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "control/key_codes.h"
#include "control/key_stream.h"

namespace quillon::control {

namespace {

using F = LineField;

// ---- the checks of each dialog ---------------------------------------------------

constexpr const char* kRepeatRange = "반복횟수는 1~65000회까지 설정하세요.";
constexpr const char* kDelayRange = "지연시간은 0.001~65초까지 입니다.";

// A kind that is not the dialog's own is a fault of the caller, not of the
// user; the dialog stays open.
constexpr LineCheck kWrongKind{"kind", F::Kind, ""};

constexpr LineCheck kKeyChecks[] = {kWrongKind, {"key", F::Key, ""}};
constexpr LineCheck kButtonChecks[] = {
    kWrongKind, {"button", F::Button, ""}, {"scroll count", F::ScrollCount, "1~255 사이의 값을 입력해주세요."}};
// Without a screenshot the movement dialog does not open: a notice, not a warning.
constexpr LineCheck kMoveChecks[] = {
    {"screenshot", F::None, kNeedScreenshot, true}, {"choice", F::Kind, ""},          {"x outside", F::X, ""},
    {"y outside", F::Y, ""},                  {"slot", F::Slot, ""},
};
constexpr LineCheck kFpsChecks[] = {{"horizontal", F::Horizontal, "가로값은 200까지입니다."},
                                    {"vertical", F::Vertical, "세로값은 200까지입니다."}};
constexpr LineCheck kDelayChecks[] = {{"seconds", F::Seconds, kDelayRange},
                                      {"lower", F::LowerSeconds, kDelayRange},
                                      {"upper", F::UpperSeconds, kDelayRange}};
constexpr LineCheck kRepeatChecks[] = {
    kWrongKind,
    {"name", F::RepeatName, ""},
    {"count", F::Count, kRepeatRange},
    {"operator", F::LeftOperator, ""},
    {"no side", F::LeftOperator, ""},
    {"left value", F::LeftValue, kRepeatRange},
    {"right value", F::RightValue, kRepeatRange},
    {"right below left", F::RightValue, "[큰쪽]횟수는 반드시 [작은쪽]횟수보다 커야 합니다."},
};
constexpr LineCheck kRemoteChecks[] = {kWrongKind, {"number", F::Number, ""}};
constexpr LineCheck kMachineChecks[] = {
    kWrongKind,
    {"label", F::Label, "이름표를 입력해주세요."},
    {"label too long", F::Label, "이름표는 14바이트(한글 7자, 영문 14자)까지 쓸 수 있습니다."},
};
constexpr LineCheck kTypingChecks[] = {
    {"speed", F::Speed, "타자 속도를 입력해주세요"},
    {"text", F::Text, "타이핑할 문장을 입력해주세요"},
    {"too long", F::Text, "문장이 너무 깁니다."},
    {"store full", F::Text, "문장 저장 공간이 가득 찼습니다.\n필요없는 문장출력 명령을 삭제한 후 다시 시도해주세요."},
    {"no store", F::Text, ""},
};
constexpr LineCheck kPlayChecks[] = {
    kWrongKind, {"combination only", F::Kind, ""}, {"index", F::MemoryIndex, ""}};

// ---- the radio buttons of each dialog --------------------------------------------

constexpr int kKeyChoices[] = {1, 2, 3, 48, 49, 64, 65, 66, 67, 68, 69, 96};
constexpr int kButtonChoices[] = {16, 19, 22, 25, 50, 51, 70, 71, 72, 73, 76, 92, 97, 41, 42};
constexpr int kMoveChoices[] = {0, 1, 2, 3, 4};
constexpr int kFpsChoices[] = {kind::kFpsMove};
constexpr int kDelayChoices[] = {kind::kDelay, kind::kRandomDelay};
constexpr int kRepeatChoices[] = {88, 103, 105, 89, 98};
constexpr int kRemoteChoices[] = {120, 56, 57, 80, 81, 99};
constexpr int kMachineChoices[] = {136, 137, 138, 139, 140, 141, 152, 153, 224, 225};
constexpr int kTypingChoices[] = {kind::kTypeText};
constexpr int kPlayChoices[] = {kind::kPlayRecorded, kind::kPlayEdit};

const LineCheck& check(std::span<const LineCheck> checks, std::string_view id) {
    for (const LineCheck& c : checks) {
        if (id == c.id) return c;
    }
    return kWrongKind;
}

BuiltLine refuse(std::span<const LineCheck> checks, std::string_view id) {
    return BuiltLine::refused(check(checks, id));
}

const TextStore& noTexts() {
    static const ZeroedPtr<TextStore> store = newTextStore();
    return *store;
}

// P12 records the radio button the line was made with, where the kind
// gives P12 no other use.
void keepChoice(EditLine& line, LineDialog dialog, int choice) {
    if (line.kind == kind::kFpsMove || line.kind == kind::kPlayRecorded || line.kind == kind::kPlayEdit) return;
    P(line, 12) = std::max(0, choiceIndexOf(dialog, choice));
}

BuiltLine made(EditLine line, const std::string& memo, const TextStore* store = nullptr) {
    rebuildSentence(line, store ? *store : noTexts());
    setMemo(line, memo);
    return BuiltLine::of(line);
}

EditLine lineOf(int kind) {
    EditLine line{};
    line.kind = kind;
    return line;
}

std::string memoOf(const EditLine& line) {
    return text::cp949ToUtf8(std::string(fixedText(line.memo, sizeof(line.memo))));
}

bool isDialogKind(int kind, LineDialog dialog) {
    const LineKind* entry = findLineKind(kind);
    return entry && entry->dialog == dialog;
}

bool fitsSigned16(int value) { return value >= -32768 && value <= 32767; }

// Button kinds: the kind of the left button of a family, or 0 for a kind
// that names no button.
int buttonFamilyOf(int kind) {
    for (int first : {16, 19, 22, 25, 51, 73, 76, 92}) {
        if (kind >= first && kind < first + 3) return first;
    }
    return 0;
}

} // namespace

std::span<const LineCheck> checksOf(LineDialog dialog) {
    switch (dialog) {
    case LineDialog::Keyboard: return kKeyChecks;
    case LineDialog::MouseButton: return kButtonChecks;
    case LineDialog::Move: return kMoveChecks;
    case LineDialog::FpsMove: return kFpsChecks;
    case LineDialog::Delay: return kDelayChecks;
    case LineDialog::Repeat: return kRepeatChecks;
    case LineDialog::Remote: return kRemoteChecks;
    case LineDialog::MachineControl: return kMachineChecks;
    case LineDialog::Typing: return kTypingChecks;
    case LineDialog::PlayMemory: return kPlayChecks;
    }
    return {};
}

std::span<const int> choicesOf(LineDialog dialog) {
    switch (dialog) {
    case LineDialog::Keyboard: return kKeyChoices;
    case LineDialog::MouseButton: return kButtonChoices;
    case LineDialog::Move: return kMoveChoices;
    case LineDialog::FpsMove: return kFpsChoices;
    case LineDialog::Delay: return kDelayChoices;
    case LineDialog::Repeat: return kRepeatChoices;
    case LineDialog::Remote: return kRemoteChoices;
    case LineDialog::MachineControl: return kMachineChoices;
    case LineDialog::Typing: return kTypingChoices;
    case LineDialog::PlayMemory: return kPlayChoices;
    }
    return {};
}

int choiceIndexOf(LineDialog dialog, int choice) {
    const std::span<const int> choices = choicesOf(dialog);
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == choice) return static_cast<int>(i);
    }
    return -1;
}

// ---- "키보드 동작" ------------------------------------------------------------------

BuiltLine build(const KeyLineForm& form, const LineFormContext&) {
    if (!isDialogKind(form.kind, LineDialog::Keyboard)) return refuse(kKeyChecks, "kind");
    EditLine line = lineOf(form.kind);
    const int k = form.kind;
    const bool withKey = k == kind::kKeyDown || k == kind::kKeyUp || k == kind::kKeyPress || k == kind::kWaitKey ||
                         (k >= 67 && k <= kind::kIfKeyLast);
    if (withKey) {
        if (!keyCodeOfRow(form.keyRow)) return refuse(kKeyChecks, "key");
        P(line, 8) = form.keyRow;
    }
    keepChoice(line, LineDialog::Keyboard, form.kind);
    return made(line, form.memo);
}

// ---- "마우스 버튼 동작" ---------------------------------------------------------------

BuiltLine build(const ButtonLineForm& form, const LineFormContext&) {
    const int action = form.action;
    if (action == kind::kScrollUp || action == kind::kScrollDown) {
        if (form.scrollCount < 1 || form.scrollCount > 255) return refuse(kButtonChecks, "scroll count");
        EditLine line = lineOf(action);
        P(line, 20) = form.scrollCount;
        keepChoice(line, LineDialog::MouseButton, action);
        return made(line, form.memo);
    }
    if (buttonFamilyOf(action) == action) {
        if (form.button < 0 || form.button > 2) return refuse(kButtonChecks, "button");
        EditLine line = lineOf(action + form.button);
        P(line, 8) = form.button;
        keepChoice(line, LineDialog::MouseButton, action);
        return made(line, form.memo);
    }
    if (buttonFamilyOf(action) != 0 || !isDialogKind(action, LineDialog::MouseButton)) {
        return refuse(kButtonChecks, "kind");
    }
    EditLine line = lineOf(action);
    keepChoice(line, LineDialog::MouseButton, action);
    return made(line, form.memo);
}

// ---- "마우스 이동" -------------------------------------------------------------------

BuiltLine build(const MoveLineForm& form, const LineFormContext& context) {
    const int width = context.screenWidth, height = context.screenHeight;
    if (width <= 0 || height <= 0) return refuse(kMoveChecks, "screenshot");
    EditLine line{};
    const bool distance = form.choice == MoveChoice::ByDistance || form.choice == MoveChoice::ShiftRemembered;
    switch (form.choice) {
    case MoveChoice::ToPoint:
        // A point must lie on the reference screen.
        if (form.x < 0 || form.x >= width) return refuse(kMoveChecks, "x outside");
        if (form.y < 0 || form.y >= height) return refuse(kMoveChecks, "y outside");
        line.kind = form.random ? kind::kMoveToRandom : kind::kMoveTo;
        break;
    case MoveChoice::ByDistance: line.kind = form.random ? kind::kMoveByRandom : kind::kMoveBy; break;
    case MoveChoice::Remember: line.kind = kind::kRememberPosition; break;
    case MoveChoice::ShiftRemembered: line.kind = kind::kShiftRemembered; break;
    case MoveChoice::ToRemembered:
        line.kind = form.random ? kind::kMoveToRememberedRandom : kind::kMoveToRemembered;
        break;
    default: return refuse(kMoveChecks, "choice");
    }
    // Distances travel as signed 16-bit numbers.
    if (distance && !fitsSigned16(form.x)) return refuse(kMoveChecks, "x outside");
    if (distance && !fitsSigned16(form.y)) return refuse(kMoveChecks, "y outside");
    const bool withSlot = form.choice >= MoveChoice::Remember;
    if (withSlot && (form.slot < 0 || form.slot > 7)) return refuse(kMoveChecks, "slot");
    // The dialog's random box is kept in P8 for every choice.
    P(line, 8) = form.random ? 1 : 0;
    if (form.choice == MoveChoice::ToPoint || distance) {
        P(line, 16) = form.x;
        P(line, 20) = form.y;
        P(line, 32) = width;
        P(line, 36) = height;
    }
    if (withSlot) P(line, 24) = form.slot;
    keepChoice(line, LineDialog::Move, static_cast<int>(form.choice));
    return made(line, form.memo);
}

// ---- "FPS 마우스이동" ----------------------------------------------------------------

BuiltLine build(const FpsMoveLineForm& form, const LineFormContext&) {
    if (form.horizontal < 0 || form.horizontal > 200) return refuse(kFpsChecks, "horizontal");
    if (form.vertical < 0 || form.vertical > 200) return refuse(kFpsChecks, "vertical");
    EditLine line = lineOf(kind::kFpsMove);
    P(line, 12) = form.horizontal;
    P(line, 20) = form.left ? 1 : 0;
    P(line, 16) = form.vertical;
    P(line, 24) = form.up ? 1 : 0;
    return made(line, form.memo);
}

// ---- "시간지연" ----------------------------------------------------------------------

std::optional<int> parseDelaySeconds(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    long whole = 0;
    int digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        whole = whole * 10 + (text[at++] - '0');
        if (++digits > 6) return std::nullopt;
    }
    int fraction = 0, decimals = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            if (++decimals > 3) return std::nullopt;
            fraction = fraction * 10 + (text[at++] - '0');
        }
    }
    while (at < text.size() && text[at] == ' ') ++at;
    if (at != text.size() || (digits == 0 && decimals == 0)) return std::nullopt;
    for (int i = decimals; i < 3; ++i) fraction *= 10;
    long ms = whole * 1000 + fraction;
    if (ms < 1 || ms > 65000) return std::nullopt;
    return static_cast<int>(ms);
}

BuiltLine build(const DelayLineForm& form, const LineFormContext&) {
    if (!form.random) {
        auto ms = parseDelaySeconds(form.seconds);
        if (!ms) return refuse(kDelayChecks, "seconds");
        EditLine line = lineOf(kind::kDelay);
        P(line, 16) = *ms;
        keepChoice(line, LineDialog::Delay, line.kind);
        return made(line, form.memo);
    }
    // An upper bound below the lower one is accepted: the runner and the
    // machine still wait within the two.
    auto low = parseDelaySeconds(form.lowerSeconds);
    if (!low) return refuse(kDelayChecks, "lower");
    auto high = parseDelaySeconds(form.upperSeconds);
    if (!high) return refuse(kDelayChecks, "upper");
    EditLine line = lineOf(kind::kRandomDelay);
    P(line, 20) = *low;
    P(line, 24) = *high;
    keepChoice(line, LineDialog::Delay, line.kind);
    return made(line, form.memo);
}

// ---- "구간 반복" ---------------------------------------------------------------------

BuiltLine build(const RepeatLineForm& form, const LineFormContext&) {
    if (!isDialogKind(form.kind, LineDialog::Repeat)) return refuse(kRepeatChecks, "kind");
    EditLine line = lineOf(form.kind);
    if (form.kind == kind::kRepeatStart) {
        if (form.name < 0 || form.name > 4) return refuse(kRepeatChecks, "name");
        if (form.count < 1 || form.count > 65000) return refuse(kRepeatChecks, "count");
        P(line, 8) = form.name;
        P(line, 16) = form.count;
    } else if (form.kind == kind::kRepeatCompare) {
        if (form.name < 0 || form.name > 4) return refuse(kRepeatChecks, "name");
        auto listed = [](int op) { return op >= 0 && op <= kNoComparison; };
        if (!listed(form.leftOperator) || !listed(form.rightOperator)) return refuse(kRepeatChecks, "operator");
        const bool left = form.leftOperator != kNoComparison, right = form.rightOperator != kNoComparison;
        if (!left && !right) return refuse(kRepeatChecks, "no side");
        if (form.leftValue < 0 || form.leftValue > 65000) return refuse(kRepeatChecks, "left value");
        if (form.rightValue < 0 || form.rightValue > 65000) return refuse(kRepeatChecks, "right value");
        if (right && form.rightValue < form.leftValue) return refuse(kRepeatChecks, "right below left");
        P(line, 8) = form.name;
        P(line, 20) = form.leftValue;
        P(line, 24) = left ? form.leftOperator : -1;
        P(line, 28) = right ? form.rightOperator : -1;
        P(line, 32) = form.rightValue;
    }
    keepChoice(line, LineDialog::Repeat, form.kind);
    return made(line, form.memo);
}

// ---- "원격 제어" ---------------------------------------------------------------------

BuiltLine build(const RemoteLineForm& form, const LineFormContext&) {
    if (!isDialogKind(form.kind, LineDialog::Remote)) return refuse(kRemoteChecks, "kind");
    EditLine line = lineOf(form.kind);
    if (form.kind == kind::kSendRemote || form.kind == kind::kWaitRemote || form.kind == kind::kIfRemote) {
        // A missing or too large number: the dialog stays open without a message.
        if (!form.number || *form.number < 0 || *form.number > 250) return refuse(kRemoteChecks, "number");
        P(line, 20) = *form.number;
    }
    keepChoice(line, LineDialog::Remote, form.kind);
    return made(line, form.memo);
}

// ---- "장치 제어" ---------------------------------------------------------------------

BuiltLine build(const MachineControlLineForm& form, const LineFormContext&) {
    if (!isDialogKind(form.kind, LineDialog::MachineControl)) return refuse(kMachineChecks, "kind");
    EditLine line = lineOf(form.kind);
    if (form.kind == kind::kLabel || form.kind == kind::kJump) {
        // The label field holds 14 CP949 bytes and its NUL (seven Hangul syllables).
        std::string cp949 = text::utf8ToCp949(form.label);
        if (cp949.empty()) return refuse(kMachineChecks, "label");
        if (cp949.size() > kMaxLabelCharacters) return refuse(kMachineChecks, "label too long");
        setLabel(line, form.label);
    }
    keepChoice(line, LineDialog::MachineControl, form.kind);
    return made(line, form.memo);
}

// ---- "문장 입력" ---------------------------------------------------------------------

BuiltLine build(const TypingLineForm& form, const LineFormContext& context) {
    if (!context.store || !context.document) return refuse(kTypingChecks, "no store");
    const Built<int> placed = placeTypingText(*context.store, *context.document, context.editedLine, form.text,
                                              form.speed, context.sharing);
    if (!placed) {
        for (const LineCheck& c : kTypingChecks) {
            if (placed.message == c.message) return BuiltLine::refused(c);
        }
        return refuse(kTypingChecks, "too long");
    }
    EditLine line = lineOf(kind::kTypeText);
    P(line, 8) = *placed;
    keepChoice(line, LineDialog::Typing, line.kind);
    return made(line, form.memo, context.store);
}

// ---- "녹화 매크로" / "편집 매크로" --------------------------------------------------------

BuiltLine build(const PlayMemoryLineForm& form, const LineFormContext& context) {
    if (form.kind != kind::kPlayRecorded && form.kind != kind::kPlayEdit) return refuse(kPlayChecks, "kind");
    if (!context.combination) return refuse(kPlayChecks, "combination only");
    if (form.index < 0 || form.index > 31) return refuse(kPlayChecks, "index");
    EditLine line = lineOf(form.kind);
    P(line, 12) = form.index;
    return made(line, form.memo);
}

BuiltLine build(const LineForm& form, const LineFormContext& context) {
    return std::visit([&](const auto& f) { return build(f, context); }, form);
}

// ---- reopening a line -----------------------------------------------------------------

namespace {

LineForm keyFormOf(const EditLine& line, const LineFormContext&) {
    return KeyLineForm{line.kind, P(line, 8), memoOf(line)};
}

LineForm buttonFormOf(const EditLine& line, const LineFormContext&) {
    ButtonLineForm form;
    form.memo = memoOf(line);
    const int family = buttonFamilyOf(line.kind);
    form.action = family ? family : line.kind;
    if (family) form.button = line.kind - family;
    if (line.kind == kind::kScrollUp || line.kind == kind::kScrollDown) form.scrollCount = P(line, 20);
    return form;
}

LineForm moveFormOf(const EditLine& line, const LineFormContext&) {
    MoveLineForm form;
    form.memo = memoOf(line);
    const int k = line.kind;
    form.random = P(line, 8) != 0 || k == kind::kMoveToRandom || k == kind::kMoveByRandom ||
                  k == kind::kMoveToRememberedRandom;
    form.choice = k <= kind::kMoveToRandom              ? MoveChoice::ToPoint
                  : k <= kind::kMoveByRandom            ? MoveChoice::ByDistance
                  : k == kind::kRememberPosition        ? MoveChoice::Remember
                  : k == kind::kShiftRemembered         ? MoveChoice::ShiftRemembered
                                                        : MoveChoice::ToRemembered;
    if (form.choice <= MoveChoice::ByDistance || form.choice == MoveChoice::ShiftRemembered) {
        form.x = P(line, 16);
        form.y = P(line, 20);
    }
    if (form.choice >= MoveChoice::Remember) form.slot = P(line, 24);
    return form;
}

LineForm fpsFormOf(const EditLine& line, const LineFormContext&) {
    return FpsMoveLineForm{P(line, 12), P(line, 20) == 1, P(line, 16), P(line, 24) == 1, memoOf(line)};
}

LineForm delayFormOf(const EditLine& line, const LineFormContext&) {
    DelayLineForm form;
    form.memo = memoOf(line);
    form.random = line.kind == kind::kRandomDelay;
    if (form.random) {
        form.lowerSeconds = formatSeconds(P(line, 20));
        form.upperSeconds = formatSeconds(P(line, 24));
    } else {
        form.seconds = formatSeconds(P(line, 16));
    }
    return form;
}

LineForm repeatFormOf(const EditLine& line, const LineFormContext&) {
    RepeatLineForm form;
    form.kind = line.kind;
    form.memo = memoOf(line);
    if (line.kind == kind::kRepeatStart) {
        form.name = P(line, 8);
        form.count = P(line, 16);
    } else if (line.kind == kind::kRepeatCompare) {
        auto listed = [](int op) { return op >= 0 && op < kNoComparison ? op : kNoComparison; };
        form.name = P(line, 8);
        form.leftValue = P(line, 20);
        form.leftOperator = listed(P(line, 24));
        form.rightOperator = listed(P(line, 28));
        form.rightValue = P(line, 32);
    }
    return form;
}

LineForm remoteFormOf(const EditLine& line, const LineFormContext&) {
    RemoteLineForm form;
    form.kind = line.kind;
    form.memo = memoOf(line);
    if (line.kind == kind::kSendRemote || line.kind == kind::kWaitRemote || line.kind == kind::kIfRemote) {
        form.number = P(line, 20);
    }
    return form;
}

LineForm machineFormOf(const EditLine& line, const LineFormContext&) {
    MachineControlLineForm form;
    form.kind = line.kind;
    form.memo = memoOf(line);
    if (line.kind == kind::kLabel || line.kind == kind::kJump) {
        form.label = text::cp949ToUtf8(std::string(fixedText(line.label, kMaxLabelCharacters + 1)));
    }
    return form;
}

LineForm typingFormOf(const EditLine& line, const LineFormContext& context) {
    TypingLineForm form;
    form.memo = memoOf(line);
    const int slot = P(line, 8);
    if (context.store && slot >= 0 && slot < kTextSlotCount && context.store->slots[slot].inUse == 1) {
        const TextSlot& s = context.store->slots[slot];
        form.text = text::cp949ToUtf8(std::string(fixedText(s.text, sizeof(s.text))));
        form.speed = s.speed;
    }
    return form;
}

LineForm playFormOf(const EditLine& line, const LineFormContext&) {
    return PlayMemoryLineForm{line.kind, P(line, 12), memoOf(line)};
}

// Dialog -> how it reads a line back, in LineDialog order.
using FormReader = LineForm (*)(const EditLine&, const LineFormContext&);
constexpr FormReader kFormReaders[] = {keyFormOf,    buttonFormOf, moveFormOf,    fpsFormOf,    delayFormOf,
                                       repeatFormOf, remoteFormOf, machineFormOf, typingFormOf, playFormOf};
static_assert(std::size(kFormReaders) == static_cast<size_t>(LineDialog::PlayMemory) + 1);

} // namespace

std::optional<LineForm> formOf(const EditLine& line, const LineFormContext& context) {
    const LineKind* entry = findLineKind(line.kind);
    if (!entry) return std::nullopt;
    return kFormReaders[static_cast<size_t>(entry->dialog)](line, context);
}

LineDialog dialogOf(const LineForm& form) {
    // The variant's alternatives are listed in LineDialog order.
    return static_cast<LineDialog>(form.index());
}

} // namespace quillon::control

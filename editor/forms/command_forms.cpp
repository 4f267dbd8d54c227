#include "editor/forms/command_forms.h"

#include <cstring>

#include "analyzer/limits.h"
#include "analyzer/machine_macros.h"
#include "analyzer/sentence_keys.h"
#include "base/format_text.h"
#include "base/text.h"
#include "device/key_table.h"
#include "editor/forms/command_checks.h"

namespace quillon::editor {

using namespace analyzer;
using namespace command_checks;

namespace {

using F = CommandField;

bool overLimit(const FormContext& context) { return !context.changing && context.rows >= kCommandsPerItem; }

Command commandOf(int32_t kind) {
    Command c{};
    c.used = 1;
    c.setKind(kind);
    return c;
}

// Mouse buttons as stored.
int32_t buttonCode(MouseButton button) {
    switch (button) {
    case MouseButton::Middle: return cmd::Mouse::Middle;
    case MouseButton::Right: return cmd::Mouse::Right;
    default: return cmd::Mouse::Left;
    }
}
MouseButton buttonOf(int32_t code) {
    return code == cmd::Mouse::Middle ? MouseButton::Middle
           : code == cmd::Mouse::Right ? MouseButton::Right
                                       : MouseButton::Left;
}

MacroKind macroKindOf(int action) {
    return action == cmd::Macro::PlayRecorded ? MacroKind::Recorded
           : action == cmd::Macro::PlayEdit   ? MacroKind::Edit
                                              : MacroKind::Combination;
}

bool memoryHasContent(const MacroNameLists& lists, MacroKind kind, int index) {
    const std::vector<uint8_t>& header = kind == MacroKind::Recorded ? lists.recordedHeaders[index]
                                         : kind == MacroKind::Edit   ? lists.editHeaders[index]
                                                                     : lists.combinationHeaders[index];
    return bodyLengthOf(kind, header) != 0;
}

bool isFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

} // namespace

const AnalyzerModel& command_checks::modelOf(const FormContext& context) {
    static const AnalyzerModel empty;
    return context.model ? *context.model : empty;
}

BuiltCommand command_checks::refuse(std::span<const CommandCheck> checks, std::string_view id, std::string text) {
    for (const CommandCheck& c : checks) {
        if (id == c.id) return BuiltCommand::refused(c, std::move(text));
    }
    return BuiltCommand::refused(checks.front(), std::move(text));
}

// The row limit comes first in every dialog: the add buttons repeat it.
std::optional<BuiltCommand> command_checks::refuseOverLimit(std::span<const CommandCheck> checks,
                                                            const FormContext& context) {
    if (overLimit(context)) return refuse(checks, "rows");
    return std::nullopt;
}

std::span<const CommandCheck> commandChecks(int32_t kind) {
    switch (kind) {
    case CmdKey: return kKeyChecks;
    case CmdMouse: return kMouseChecks;
    case CmdMacro: return kMacroChecks;
    case CmdVariable: return variableCommandChecks();
    case CmdTimer: return kTimerChecks;
    case CmdDelay: return kDelayChecks;
    case CmdDevice: return kDeviceChecks;
    case CmdReplaceImage: return kReplaceChecks;
    case CmdRunAnalyzer: return kRunAnalyzerChecks;
    case CmdTypeSentence: return kTypingChecks;
    case CmdReadNumber: return kReadNumberChecks;
    default: return {};
    }
}

const char* commandLimitMessage(int32_t kind) {
    switch (kind) {
    case CmdReplaceImage:
    case CmdTypeSentence:
    case CmdReadNumber: return kTooManyCommandsLater;
    default: return message::kTooManyCommands;
    }
}

// ---- "키보드 설정" -----------------------------------------------------------------------

BuiltCommand build(const KeyCommandForm& form, const FormContext& context) {
    using K = cmd::Key;
    const auto checks = std::span<const CommandCheck>(kKeyChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.action < 0 || form.action > 3) return refuse(checks, "action");
    Command c = commandOf(CmdKey);
    if (form.action == 3) {
        if (!isVariable(modelOf(context), form.variable)) return refuse(checks, "variable");
        c.set(K::variable, form.variable);
    } else {
        if (form.keyRow < 0 || static_cast<size_t>(form.keyRow) >= KeyTable::kRowCount) return refuse(checks, "key");
        c.set(K::key, form.keyRow);
    }
    const std::optional<int32_t> interval = parseSeconds(form.interval);
    if (!interval) return refuse(checks, "interval");
    c.set(K::action, form.action);
    c.set(K::holdMs, *interval);
    return BuiltCommand::of(c);
}

// ---- "마우스 설정" -----------------------------------------------------------------------

BuiltCommand build(const MouseCommandForm& form, const FormContext& context) {
    using M = cmd::Mouse;
    namespace m = mouse_action;
    const auto checks = std::span<const CommandCheck>(kMouseChecks);
    const AnalyzerModel& model = modelOf(context);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    Command c = commandOf(CmdMouse);
    switch (form.action) {
    case m::kPress:
    case m::kRelease:
    case m::kClick:
    case m::kDoubleClick: break;
    case m::kScroll: {
        const std::optional<int32_t> steps = parseWholeNumber(form.scrollSteps);
        if (!steps || *steps < 1 || *steps > 127) return refuse(checks, "scroll steps");
        c.set(M::wheel, form.scrollUp ? *steps : -*steps);
        break;
    }
    case m::kMoveTo: {
        const std::optional<int32_t> x = parseWholeNumber(form.x), y = parseWholeNumber(form.y);
        if (!x || !y) return refuse(checks, x ? "y" : "x");
        c.set(M::x, *x);
        c.set(M::y, *y);
        c.set(M::monitor, form.monitor ? 1 : 0);
        break;
    }
    case m::kMoveToImage:
        if (listedRecognitionImages(model).empty()) return refuse(checks, "no images");
        if (!isRecognitionImage(model, form.image)) return refuse(checks, "image");
        c.set(M::image, form.image);
        c.set(M::x, model.recognitionImage(form.image)->centreX);
        c.set(M::y, model.recognitionImage(form.image)->centreY);
        break;
    case m::kMoveToRangeMatch:
        if (listedAreas(model).empty()) return refuse(checks, "no areas");
        if (!isArea(model, form.area)) return refuse(checks, "area");
        c.set(M::area, form.area);
        break;
    case m::kFpsMove: {
        // The machine moves at most 127 pixels a step either way; a number
        // outside that is refused with the range named.
        const std::optional<int32_t> h = parseWholeNumber(form.horizontal);
        if (!h) return refuse(checks, "horizontal");
        if (*h < 0 || *h > 127) return refuse(checks, "horizontal", kFpsHorizontalRange);
        const std::optional<int32_t> v = parseWholeNumber(form.vertical);
        if (!v) return refuse(checks, "vertical");
        if (*v < 0 || *v > 127) return refuse(checks, "vertical", kFpsVerticalRange);
        c.set(M::dx, *h);
        c.set(M::dy, *v);
        c.set(M::direction, (form.right ? M::TowardsRight : 0) | (form.up ? M::Upwards : 0));
        break;
    }
    case m::kMoveToVariable:
        if (!isVariable(model, form.variable)) return refuse(checks, "variable");
        c.set(M::variable, form.variable);
        break;
    default: return refuse(checks, "action");
    }
    const bool move = form.action >= m::kMoveTo;
    if (move && form.random) {
        const std::optional<int32_t> pixels = parseWholeNumber(form.randomPixels);
        if (!pixels || *pixels < 0) return refuse(checks, "random pixels");
        c.set(M::random, 1);
        c.set(M::randomRange, *pixels);
    }
    if (!move && form.action != m::kScroll) {
        const std::optional<int32_t> interval = parseSeconds(form.interval);
        if (!interval) return refuse(checks, "interval");
        c.set(M::button, buttonCode(form.button));
        c.set(M::holdMs, *interval);
    }
    c.set(M::action, form.action);
    return BuiltCommand::of(c);
}

// ---- "매크로 설정" -----------------------------------------------------------------------

BuiltCommand build(const MacroCommandForm& form, const FormContext& context) {
    using Ma = cmd::Macro;
    const auto checks = std::span<const CommandCheck>(kMacroChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.action < 0 || form.action > 5) return refuse(checks, "action");
    Command c = commandOf(CmdMacro);
    c.set(Ma::action, form.action);
    if (form.action > 2) return BuiltCommand::of(c);
    const MacroKind kind = macroKindOf(form.action);
    const int memories = kind == MacroKind::Combination ? kCombinationMacroCount : kRecordedMacroCount;
    if (form.macro < 0 || form.macro >= memories) return refuse(checks, "macro");
    if (context.macros && !memoryHasContent(*context.macros, kind, form.macro)) {
        const std::string number = kind == MacroKind::Combination
                                       ? formatText("%d", form.macro + 1)
                                       : formatText("%d-%d", form.macro / 8 + 1, form.macro % 8 + 1);
        const char* id = kind == MacroKind::Recorded ? "empty recorded" : kind == MacroKind::Edit ? "empty edit"
                                                                                                 : "empty combination";
        const char* pattern = kind == MacroKind::Recorded ? kEmptyRecorded
                              : kind == MacroKind::Edit   ? kEmptyEdit
                                                          : kEmptyCombination;
        return refuse(checks, id, formatText(pattern, number.c_str()));
    }
    const std::optional<int32_t> repeat = parseWholeNumber(form.repeat);
    if (!repeat || *repeat < 0 || *repeat > message::kMaxRepeatCount) return refuse(checks, "repeat");
    c.set(Ma::repeat, *repeat);
    c.set(Ma::number, form.macro);
    return BuiltCommand::of(c);
}

// ---- "타이머" ----------------------------------------------------------------------------

BuiltCommand build(const TimerCommandForm& form, const FormContext& context) {
    using T = cmd::Timer;
    const auto checks = std::span<const CommandCheck>(kTimerChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.timer < 0 || form.timer >= kTimerCount) return refuse(checks, "timer");
    Command c = commandOf(CmdTimer);
    c.set(T::timer, form.timer);
    if (form.value.slot >= 0 && form.value.slot < kTimerCount) {
        c.set(T::action, T::CopyTimer);
        c.set(T::value, form.value.slot);
        return BuiltCommand::of(c);
    }
    const std::optional<int32_t> seconds = parseWholeNumber(form.value.typed);
    if (form.value.slot >= 0 || !seconds || *seconds < 0) {
        return refuse(checks, "value", formatText(kTimerValueMissing, form.timer));
    }
    c.set(T::value, *seconds);
    return BuiltCommand::of(c);
}

// ---- "시간 지연" -------------------------------------------------------------------------

BuiltCommand build(const DelayCommandForm& form, const FormContext& context) {
    using De = cmd::Delay;
    const auto checks = std::span<const CommandCheck>(kDelayChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    Command c = commandOf(CmdDelay);
    if (!form.random) {
        const std::optional<int32_t> ms = parseSeconds(form.seconds);
        if (!ms) return refuse(checks, "seconds");
        c.set(De::ms, *ms);
        return BuiltCommand::of(c);
    }
    const std::optional<int32_t> low = parseSeconds(form.low);
    if (!low) return refuse(checks, "low");
    const std::optional<int32_t> high = parseSeconds(form.high);
    if (!high) return refuse(checks, "high");
    c.set(De::random, 1);
    c.set(De::ms, *low);
    c.set(De::highMs, *high);
    return BuiltCommand::of(c);
}

// ---- "기계 제어" -------------------------------------------------------------------------

BuiltCommand build(const DeviceCommandForm& form, const FormContext& context) {
    using D = cmd::Device;
    namespace d = device_choice;
    const auto checks = std::span<const CommandCheck>(kDeviceChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    // "분석기 재시작" is shown but its button is disabled.
    if (form.choice < 0 || form.choice >= d::kCount || form.choice == d::kResumeAnalyzer) {
        return refuse(checks, "choice");
    }
    Command c = commandOf(CmdDevice);
    c.set(D::action, form.choice);
    if (form.choice <= d::kGreen) c.set(D::on, form.lightOn[static_cast<size_t>(form.choice)] ? 1 : 0);
    if (form.choice == d::kRemote) {
        const std::optional<int32_t> number = parseWholeNumber(form.remote);
        if (!number || !checkRemoteNumber(*number).ok) return refuse(checks, "remote");
        c.set(D::remote, *number);
    }
    if (form.choice == d::kPlaySound) {
        const std::string cp949 = text::utf8ToCp949(form.soundFile);
        if (!isFileName(form.soundFile) || cp949.size() >= D::sound.bytes) {
            return refuse(checks, "sound");
        }
        // The sound was copied into the Sound folder: the analyzer file carries it.
        c.set(D::carried, 1);
        c.set(D::sound, cp949);
    }
    return BuiltCommand::of(c);
}

// ---- "인식이미지 교체" ---------------------------------------------------------------------

BuiltCommand build(const ReplaceImageCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kReplaceChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (!isRecognitionImage(modelOf(context), form.image)) return refuse(checks, "image");
    Command c = commandOf(CmdReplaceImage);
    c.set(cmd::ReplaceImage::image, form.image);
    return BuiltCommand::of(c);
}

// ---- "분석기 교체" -----------------------------------------------------------------------

BuiltCommand build(const RunAnalyzerCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kRunAnalyzerChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    // The runner opens the name inside its analyzer folder: one whole file name.
    const std::string cp949 = text::utf8ToCp949(form.fileName);
    if (!isFileName(form.fileName) || cp949.size() >= cmd::RunAnalyzer::name.bytes) return refuse(checks, "file name");
    Command c = commandOf(CmdRunAnalyzer);
    c.set(cmd::RunAnalyzer::name, cp949);
    return BuiltCommand::of(c);
}

// ---- "자동 타자" -------------------------------------------------------------------------

BuiltCommand build(const TypingCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kTypingChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    const std::optional<int32_t> speed = parseWholeNumber(form.speed);
    if (!speed || *speed <= 0) return refuse(checks, "speed");
    if (form.name.empty()) return refuse(checks, "name");
    if (form.text.empty()) return refuse(checks, "text");
    const std::string cp949 = text::utf8ToCp949(form.text);
    if (cp949.size() >= static_cast<size_t>(kSentenceTextBytes) ||
        sentenceKeyCodes(cp949).size() > static_cast<size_t>(kSentenceMaxKeyCodes)) {
        return refuse(checks, "too long");
    }
    if (!context.model) return refuse(checks, "full");
    AnalyzerModel& model = *context.model;
    int index = form.sentence;
    if (index < 0 || index >= kSentenceCapacity) index = model.firstFreeSentence();
    if (index < 0) return refuse(checks, "full");
    if (!model.storeSentence(index, form.name, form.text, *speed).ok) return refuse(checks, "too long");
    Command c = commandOf(CmdTypeSentence);
    c.set(cmd::TypeSentence::sentence, index);
    return BuiltCommand::of(c);
}

// ---- "숫자인식 설정" ----------------------------------------------------------------------

BuiltCommand build(const ReadNumberCommandForm& form, const FormContext& context) {
    using N = cmd::ReadNumber;
    const auto checks = std::span<const CommandCheck>(kReadNumberChecks);
    const AnalyzerModel& model = modelOf(context);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (!isArea(model, form.area)) return refuse(checks, "area");
    if (!isNumberPack(model, form.pack)) return refuse(checks, "pack");
    if (!isVariable(model, form.variable)) return refuse(checks, "variable");
    const std::optional<int32_t> similarity = parseSimilarity(form.similarity);
    if (!similarity) return refuse(checks, "similarity");
    Command c = commandOf(CmdReadNumber);
    c.set(N::area, form.area);
    c.set(N::pack, form.pack);
    c.set(N::variable, form.variable);
    c.set(N::similarity, *similarity);
    c.set(N::arithmetic, form.arithmetic ? 1 : 0);
    return BuiltCommand::of(c);
}

BuiltCommand build(const CommandForm& form, const FormContext& context) {
    return std::visit([&](const auto& f) { return build(f, context); }, form);
}

int32_t kindOf(const CommandForm& form) {
    static constexpr int32_t kinds[] = {CmdKey,   CmdMouse,        CmdMacro,       CmdVariable,
                                        CmdTimer, CmdDelay,        CmdDevice,      CmdReplaceImage,
                                        CmdRunAnalyzer, CmdTypeSentence, CmdReadNumber};
    return kinds[form.index()];
}

// ---- filling a dialog from a row ---------------------------------------------------

std::optional<CommandForm> formOf(const Command& c, const AnalyzerModel& model) {
    switch (c.kind()) {
    case CmdKey: {
        using K = cmd::Key;
        KeyCommandForm f;
        const int32_t action = f.action = c[K::action];
        if (action == K::TypeVariable) f.variable = c[K::variable];
        else f.keyRow = c[K::key];
        f.interval = secondsText(c[K::holdMs]);
        return f;
    }
    case CmdMouse: {
        using M = cmd::Mouse;
        namespace m = mouse_action;
        MouseCommandForm f;
        const int32_t action = f.action = c[M::action];
        if (action <= m::kDoubleClick) {
            f.button = buttonOf(c[M::button]);
            f.interval = secondsText(c[M::holdMs]);
        }
        if (action == m::kScroll) {
            f.scrollUp = c[M::wheel] >= 0;
            f.scrollSteps = std::to_string(c[M::wheel] < 0 ? -static_cast<int64_t>(c[M::wheel]) : c[M::wheel]);
        }
        if (action == m::kMoveTo) {
            f.x = std::to_string(c[M::x]);
            f.y = std::to_string(c[M::y]);
            f.monitor = c[M::monitor] == 1;
        }
        if (action == m::kMoveToImage) f.image = c[M::image];
        if (action == m::kMoveToRangeMatch) f.area = c[M::area];
        if (action == m::kFpsMove) {
            f.horizontal = std::to_string(c[M::dx]);
            f.vertical = std::to_string(c[M::dy]);
            f.right = (c[M::direction] & M::TowardsRight) != 0;
            f.up = (c[M::direction] & M::Upwards) != 0;
        }
        if (action == m::kMoveToVariable) f.variable = c[M::variable];
        if (action >= m::kMoveTo && c[M::random] == 1) {
            f.random = true;
            f.randomPixels = std::to_string(c[M::randomRange]);
        }
        return f;
    }
    case CmdMacro: {
        using Ma = cmd::Macro;
        MacroCommandForm f;
        f.action = c[Ma::action];
        if (f.action <= Ma::PlayCombination) {
            f.macro = c[Ma::number];
            f.repeat = std::to_string(c[Ma::repeat]);
        }
        return f;
    }
    case CmdVariable: return variableCommandFormOf(c);
    case CmdTimer: {
        using T = cmd::Timer;
        TimerCommandForm f;
        f.timer = c[T::timer];
        f.value = c[T::action] == T::CopyTimer ? NumberOrSlot{"", c[T::value]}
                                               : NumberOrSlot{std::to_string(c[T::value]), -1};
        return f;
    }
    case CmdDelay: {
        using De = cmd::Delay;
        DelayCommandForm f;
        f.random = c[De::random] == 1;
        if (f.random) {
            f.low = secondsText(c[De::ms]);
            f.high = secondsText(c[De::highMs]);
        } else {
            f.seconds = secondsText(c[De::ms]);
        }
        return f;
    }
    case CmdDevice: {
        using D = cmd::Device;
        DeviceCommandForm f;
        const int32_t action = f.choice = c[D::action];
        if (action >= 0 && action <= device_choice::kGreen) f.lightOn[static_cast<size_t>(action)] = c[D::on] == 1;
        if (action == device_choice::kRemote) f.remote = std::to_string(c[D::remote]);
        if (action == device_choice::kPlaySound) {
            f.soundFile = text::cp949ToUtf8(c[D::sound]);
        }
        return f;
    }
    case CmdReplaceImage: return ReplaceImageCommandForm{c[cmd::ReplaceImage::image]};
    case CmdRunAnalyzer: return RunAnalyzerCommandForm{text::cp949ToUtf8(c[cmd::RunAnalyzer::name])};
    case CmdTypeSentence: {
        TypingCommandForm f;
        f.sentence = c[cmd::TypeSentence::sentence];
        if (f.sentence >= 0 && f.sentence < kSentenceCapacity) {
            const TypingSentence& s = model.sentenceTable().sentences[f.sentence];
            f.name = text::cp949ToUtf8(fixedText(s.name));
            f.text = text::cp949ToUtf8(fixedText(s.text));
            f.speed = std::to_string(s.speed);
        }
        return f;
    }
    case CmdReadNumber: {
        using N = cmd::ReadNumber;
        ReadNumberCommandForm f;
        f.area = c[N::area];
        f.pack = c[N::pack];
        f.variable = c[N::variable];
        f.similarity = std::to_string(c[N::similarity]);
        f.arithmetic = c[N::arithmetic] == 1;
        return f;
    }
    default: return std::nullopt;
    }
}

std::optional<std::string> commandOpeningRefusal(int32_t kind, const AnalyzerModel& model, int rows, bool changing) {
    if (!changing && rows >= kCommandsPerItem) return std::string(commandLimitMessage(kind));
    if (kind == CmdReadNumber && listedAreas(model).empty()) return std::string(kAreaFirst);
    if (kind == CmdReadNumber && listedNumberPacks(model).empty()) return std::string(kMakeNumberPack);
    return std::nullopt;
}

} // namespace quillon::editor

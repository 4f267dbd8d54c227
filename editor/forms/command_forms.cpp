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
    c.set(field::kKind, kind);
    return c;
}

void setText(Command& c, size_t offset, size_t capacity, const std::string& utf8) {
    storeFixedText(reinterpret_cast<char*>(c.body + offset), capacity, text::utf8ToCp949(utf8));
}
std::string textAt(const Command& c, size_t offset, size_t capacity) {
    return text::cp949ToUtf8(fixedText(reinterpret_cast<const char*>(c.body + offset), capacity));
}

constexpr size_t kAnalyzerNameBytes = sizeof(Command::body) - field::kRunAnalyzerName;

// Mouse buttons as stored: left 1, middle 4, right 2.
int32_t buttonCode(MouseButton button) {
    switch (button) {
    case MouseButton::Middle: return 4;
    case MouseButton::Right: return 2;
    default: return 1;
    }
}
MouseButton buttonOf(int32_t code) {
    return code == 4 ? MouseButton::Middle : code == 2 ? MouseButton::Right : MouseButton::Left;
}

MacroKind macroKindOf(int action) {
    return action == 0 ? MacroKind::Recorded : action == 1 ? MacroKind::Edit : MacroKind::Combination;
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
    const auto checks = std::span<const CommandCheck>(kKeyChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.action < 0 || form.action > 3) return refuse(checks, "action");
    Command c = commandOf(CmdKey);
    if (form.action == 3) {
        if (!isVariable(modelOf(context), form.variable)) return refuse(checks, "variable");
        c.set(16, form.variable);
    } else {
        if (form.keyRow < 0 || static_cast<size_t>(form.keyRow) >= KeyTable::kRowCount) return refuse(checks, "key");
        c.set(8, form.keyRow);
    }
    const std::optional<int32_t> interval = parseSeconds(form.interval);
    if (!interval) return refuse(checks, "interval");
    c.set(field::kAction, form.action);
    c.set(12, *interval);
    return BuiltCommand::of(c);
}

// ---- "마우스 설정" -----------------------------------------------------------------------

BuiltCommand build(const MouseCommandForm& form, const FormContext& context) {
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
        c.set(20, form.scrollUp ? *steps : -*steps);
        break;
    }
    case m::kMoveTo: {
        const std::optional<int32_t> x = parseWholeNumber(form.x), y = parseWholeNumber(form.y);
        if (!x || !y) return refuse(checks, x ? "y" : "x");
        c.set(field::kMouseX, *x);
        c.set(field::kMouseY, *y);
        c.set(12, form.monitor ? 1 : 0);
        break;
    }
    case m::kMoveToImage:
        if (listedRecognitionImages(model).empty()) return refuse(checks, "no images");
        if (!isRecognitionImage(model, form.image)) return refuse(checks, "image");
        c.set(field::kMouseImage, form.image);
        c.set(field::kMouseX, model.recognitionImage(form.image)->centreX);
        c.set(field::kMouseY, model.recognitionImage(form.image)->centreY);
        break;
    case m::kMoveToRangeMatch:
        if (listedAreas(model).empty()) return refuse(checks, "no areas");
        if (!isArea(model, form.area)) return refuse(checks, "area");
        c.set(field::kMouseArea, form.area);
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
        c.set(40, *h);
        c.set(44, *v);
        c.set(48, (form.right ? 1 : 0) | (form.up ? 2 : 0));
        break;
    }
    case m::kMoveToVariable:
        if (!isVariable(model, form.variable)) return refuse(checks, "variable");
        c.set(56, form.variable);
        break;
    default: return refuse(checks, "action");
    }
    const bool move = form.action >= m::kMoveTo;
    if (move && form.random) {
        const std::optional<int32_t> pixels = parseWholeNumber(form.randomPixels);
        if (!pixels || *pixels < 0) return refuse(checks, "random pixels");
        c.set(8, 1);
        c.set(60, *pixels);
    }
    if (!move && form.action != m::kScroll) {
        const std::optional<int32_t> interval = parseSeconds(form.interval);
        if (!interval) return refuse(checks, "interval");
        c.set(16, buttonCode(form.button));
        c.set(52, *interval);
    }
    c.set(field::kAction, form.action);
    return BuiltCommand::of(c);
}

// ---- "매크로 설정" -----------------------------------------------------------------------

BuiltCommand build(const MacroCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kMacroChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.action < 0 || form.action > 5) return refuse(checks, "action");
    Command c = commandOf(CmdMacro);
    c.set(field::kAction, form.action);
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
    c.set(field::kMacroRepeat, *repeat);
    c.set(field::kMacroNumber, form.macro);
    return BuiltCommand::of(c);
}

// ---- "타이머" ----------------------------------------------------------------------------

BuiltCommand build(const TimerCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kTimerChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (form.timer < 0 || form.timer >= kTimerCount) return refuse(checks, "timer");
    Command c = commandOf(CmdTimer);
    c.set(8, form.timer);
    if (form.value.slot >= 0 && form.value.slot < kTimerCount) {
        c.set(field::kAction, 1);
        c.set(12, form.value.slot);
        return BuiltCommand::of(c);
    }
    const std::optional<int32_t> seconds = parseWholeNumber(form.value.typed);
    if (form.value.slot >= 0 || !seconds || *seconds < 0) {
        return refuse(checks, "value", formatText(kTimerValueMissing, form.timer));
    }
    c.set(12, *seconds);
    return BuiltCommand::of(c);
}

// ---- "시간 지연" -------------------------------------------------------------------------

BuiltCommand build(const DelayCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kDelayChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    Command c = commandOf(CmdDelay);
    if (!form.random) {
        const std::optional<int32_t> ms = parseSeconds(form.seconds);
        if (!ms) return refuse(checks, "seconds");
        c.set(8, *ms);
        return BuiltCommand::of(c);
    }
    const std::optional<int32_t> low = parseSeconds(form.low);
    if (!low) return refuse(checks, "low");
    const std::optional<int32_t> high = parseSeconds(form.high);
    if (!high) return refuse(checks, "high");
    c.set(field::kAction, 1);
    c.set(8, *low);
    c.set(12, *high);
    return BuiltCommand::of(c);
}

// ---- "기계 제어" -------------------------------------------------------------------------

BuiltCommand build(const DeviceCommandForm& form, const FormContext& context) {
    namespace d = device_choice;
    const auto checks = std::span<const CommandCheck>(kDeviceChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    // "분석기 재시작" is shown but its button is disabled.
    if (form.choice < 0 || form.choice >= d::kCount || form.choice == d::kResumeAnalyzer) {
        return refuse(checks, "choice");
    }
    Command c = commandOf(CmdDevice);
    c.set(field::kAction, form.choice);
    if (form.choice <= d::kGreen) c.set(8, form.lightOn[static_cast<size_t>(form.choice)] ? 1 : 0);
    if (form.choice == d::kRemote) {
        const std::optional<int32_t> number = parseWholeNumber(form.remote);
        if (!number || !checkRemoteNumber(*number).ok) return refuse(checks, "remote");
        c.set(16, *number);
    }
    if (form.choice == d::kPlaySound) {
        const std::string cp949 = text::utf8ToCp949(form.soundFile);
        if (!isFileName(form.soundFile) || cp949.size() >= field::kDeviceSoundNameBytes) {
            return refuse(checks, "sound");
        }
        // The sound was copied into the Sound folder: the analyzer file carries it.
        c.set(field::kDeviceCarried, 1);
        setText(c, field::kDeviceSoundName, field::kDeviceSoundNameBytes, form.soundFile);
    }
    return BuiltCommand::of(c);
}

// ---- "인식이미지 교체" ---------------------------------------------------------------------

BuiltCommand build(const ReplaceImageCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kReplaceChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (!isRecognitionImage(modelOf(context), form.image)) return refuse(checks, "image");
    Command c = commandOf(CmdReplaceImage);
    c.set(field::kReplaceImage, form.image);
    return BuiltCommand::of(c);
}

// ---- "분석기 교체" -----------------------------------------------------------------------

BuiltCommand build(const RunAnalyzerCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kRunAnalyzerChecks);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    // The runner opens the name inside its analyzer folder: one whole file name.
    if (!isFileName(form.fileName) || text::utf8ToCp949(form.fileName).size() >= kAnalyzerNameBytes) {
        return refuse(checks, "file name");
    }
    Command c = commandOf(CmdRunAnalyzer);
    setText(c, field::kRunAnalyzerName, kAnalyzerNameBytes, form.fileName);
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
    c.set(field::kSentence, index);
    return BuiltCommand::of(c);
}

// ---- "숫자인식 설정" ----------------------------------------------------------------------

BuiltCommand build(const ReadNumberCommandForm& form, const FormContext& context) {
    const auto checks = std::span<const CommandCheck>(kReadNumberChecks);
    const AnalyzerModel& model = modelOf(context);
    if (auto over = refuseOverLimit(checks, context)) return *over;
    if (!isArea(model, form.area)) return refuse(checks, "area");
    if (!isNumberPack(model, form.pack)) return refuse(checks, "pack");
    if (!isVariable(model, form.variable)) return refuse(checks, "variable");
    const std::optional<int32_t> similarity = parseSimilarity(form.similarity);
    if (!similarity) return refuse(checks, "similarity");
    Command c = commandOf(CmdReadNumber);
    c.set(field::kReadArea, form.area);
    c.set(field::kReadPack, form.pack);
    c.set(20, form.variable);
    c.set(24, *similarity);
    c.set(28, form.arithmetic ? 1 : 0);
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
    const int32_t action = c.at(field::kAction);
    switch (c.kind()) {
    case CmdKey: {
        KeyCommandForm f;
        f.action = action;
        if (action == 3) f.variable = c.at(16);
        else f.keyRow = c.at(8);
        f.interval = secondsText(c.at(12));
        return f;
    }
    case CmdMouse: {
        namespace m = mouse_action;
        MouseCommandForm f;
        f.action = action;
        if (action <= m::kDoubleClick) {
            f.button = buttonOf(c.at(16));
            f.interval = secondsText(c.at(52));
        }
        if (action == m::kScroll) {
            f.scrollUp = c.at(20) >= 0;
            f.scrollSteps = std::to_string(c.at(20) < 0 ? -static_cast<int64_t>(c.at(20)) : c.at(20));
        }
        if (action == m::kMoveTo) {
            f.x = std::to_string(c.at(field::kMouseX));
            f.y = std::to_string(c.at(field::kMouseY));
            f.monitor = c.at(12) == 1;
        }
        if (action == m::kMoveToImage) f.image = c.at(field::kMouseImage);
        if (action == m::kMoveToRangeMatch) f.area = c.at(field::kMouseArea);
        if (action == m::kFpsMove) {
            f.horizontal = std::to_string(c.at(40));
            f.vertical = std::to_string(c.at(44));
            f.right = (c.at(48) & 1) != 0;
            f.up = (c.at(48) & 2) != 0;
        }
        if (action == m::kMoveToVariable) f.variable = c.at(56);
        if (action >= m::kMoveTo && c.at(8) == 1) {
            f.random = true;
            f.randomPixels = std::to_string(c.at(60));
        }
        return f;
    }
    case CmdMacro: {
        MacroCommandForm f;
        f.action = action;
        if (action <= 2) {
            f.macro = c.at(field::kMacroNumber);
            f.repeat = std::to_string(c.at(field::kMacroRepeat));
        }
        return f;
    }
    case CmdVariable: return variableCommandFormOf(c);
    case CmdTimer: {
        TimerCommandForm f;
        f.timer = c.at(8);
        f.value = action == 1 ? NumberOrSlot{"", c.at(12)} : NumberOrSlot{std::to_string(c.at(12)), -1};
        return f;
    }
    case CmdDelay: {
        DelayCommandForm f;
        f.random = action == 1;
        if (f.random) {
            f.low = secondsText(c.at(8));
            f.high = secondsText(c.at(12));
        } else {
            f.seconds = secondsText(c.at(8));
        }
        return f;
    }
    case CmdDevice: {
        DeviceCommandForm f;
        f.choice = action;
        if (action >= 0 && action <= device_choice::kGreen) f.lightOn[static_cast<size_t>(action)] = c.at(8) == 1;
        if (action == device_choice::kRemote) f.remote = std::to_string(c.at(16));
        if (action == device_choice::kPlaySound) {
            f.soundFile = textAt(c, field::kDeviceSoundName, field::kDeviceSoundNameBytes);
        }
        return f;
    }
    case CmdReplaceImage: return ReplaceImageCommandForm{c.at(field::kReplaceImage)};
    case CmdRunAnalyzer: return RunAnalyzerCommandForm{textAt(c, field::kRunAnalyzerName, kAnalyzerNameBytes)};
    case CmdTypeSentence: {
        TypingCommandForm f;
        f.sentence = c.at(field::kSentence);
        if (f.sentence >= 0 && f.sentence < kSentenceCapacity) {
            const TypingSentence& s = model.sentenceTable().sentences[f.sentence];
            f.name = text::cp949ToUtf8(fixedText(s.name));
            f.text = text::cp949ToUtf8(fixedText(s.text));
            f.speed = std::to_string(s.speed);
        }
        return f;
    }
    case CmdReadNumber: {
        ReadNumberCommandForm f;
        f.area = c.at(field::kReadArea);
        f.pack = c.at(field::kReadPack);
        f.variable = c.at(20);
        f.similarity = std::to_string(c.at(24));
        f.arithmetic = c.at(28) == 1;
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

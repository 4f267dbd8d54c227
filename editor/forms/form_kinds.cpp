#include "editor/forms/form_kinds.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

template <class Form>
ConditionForm blankCondition() {
    return Form{};
}
template <class Form>
CommandForm blankCommand() {
    return Form{};
}

constexpr auto kBuildCondition = static_cast<BuiltCondition (*)(const ConditionForm&, const FormContext&)>(&build);
constexpr auto kBuildCommand = static_cast<BuiltCommand (*)(const CommandForm&, const FormContext&)>(&build);

const ConditionDialogKind kConditionKinds[] = {
    {CondVariable, 175, "변수", blankCondition<VariableConditionForm>, conditionSentence, kBuildCondition},
    {CondTimer, 165, "타이머 조건", blankCondition<TimerConditionForm>, conditionSentence, kBuildCondition},
    {CondDateTime, 166, "년월일시분초 조건", blankCondition<DateTimeConditionForm>, conditionSentence,
     kBuildCondition},
    {CondState, 167, "매크로 상태", blankCondition<MacroStateConditionForm>, conditionSentence, kBuildCondition},
    {CondImage, 161, "이미지 조건 설정", blankCondition<ImageConditionForm>, conditionSentence, kBuildCondition},
    {CondRangeSearch, 163, "범위검색 조건 설정", blankCondition<RangeSearchConditionForm>, conditionSentence,
     kBuildCondition},
    {CondCursor, 164, "커서 분석", blankCondition<CursorConditionForm>, conditionSentence, kBuildCondition},
    {CondKey, 179, "키눌림 감지", blankCondition<KeyConditionForm>, conditionSentence, kBuildCondition},
    {CondRemote, 180, "원격 제어", blankCondition<RemoteConditionForm>, conditionSentence, kBuildCondition},
};

const CommandDialogKind kCommandKinds[] = {
    {CmdKey, 108, "키보드 설정", blankCommand<KeyCommandForm>, commandSentence, kBuildCommand},
    {CmdMouse, 109, "마우스 설정", blankCommand<MouseCommandForm>, commandSentence, kBuildCommand},
    {CmdMacro, 110, "매크로 설정", blankCommand<MacroCommandForm>, commandSentence, kBuildCommand},
    {CmdVariable, 169, "변수", blankCommand<VariableCommandForm>, commandSentence, kBuildCommand},
    {CmdTimer, 168, "타이머", blankCommand<TimerCommandForm>, commandSentence, kBuildCommand},
    {CmdDelay, 111, "시간 지연", blankCommand<DelayCommandForm>, commandSentence, kBuildCommand},
    {CmdDevice, 125, "기계 제어", blankCommand<DeviceCommandForm>, commandSentence, kBuildCommand},
    {CmdReplaceImage, 176, "인식이미지 교체", blankCommand<ReplaceImageCommandForm>, commandSentence,
     kBuildCommand},
    {CmdRunAnalyzer, 0, "분석기 교체", blankCommand<RunAnalyzerCommandForm>, commandSentence, kBuildCommand},
    {CmdTypeSentence, 184, "자동 타자", blankCommand<TypingCommandForm>, commandSentence, kBuildCommand},
    {CmdReadNumber, 191, "숫자인식 설정", blankCommand<ReadNumberCommandForm>, commandSentence, kBuildCommand},
};

} // namespace

std::span<const ConditionDialogKind> conditionDialogKinds() { return kConditionKinds; }
std::span<const CommandDialogKind> commandDialogKinds() { return kCommandKinds; }

const ConditionDialogKind* findConditionDialog(int32_t kind) {
    for (const ConditionDialogKind& k : kConditionKinds) {
        if (k.kind == kind) return &k;
    }
    return nullptr;
}

const CommandDialogKind* findCommandDialog(int32_t kind) {
    for (const CommandDialogKind& k : kCommandKinds) {
        if (k.kind == kind) return &k;
    }
    return nullptr;
}

} // namespace quillon::editor

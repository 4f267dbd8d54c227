// The checks of the command dialogs, shared by the files that build them.
// Not part of the forms' interface.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analyzer/limits.h"
#include "editor/forms/command_forms.h"

namespace quillon::editor::command_checks {

using F = CommandField;

inline constexpr const char* kTooManyCommandsLater = "최대 실행명령 수를 초과하였습니다.";
inline constexpr const char* kAreaFirst = "범위를 먼저 설정해주세요.";
inline constexpr const char* kMakeNumberPack = "숫자팩을 만들어 주세요.";
// A time box that does not hold a number of seconds.
inline constexpr const char* kBadSeconds = "시간을 초 단위의 숫자로 입력해주세요.";
inline constexpr const char* kEmptyRecorded = "녹화매크로 [%s]는 녹화된 내용이 없습니다.";
inline constexpr const char* kEmptyEdit = "편집매크로 [%s]는 저장된 내용이 없습니다.";
inline constexpr const char* kEmptyCombination = "조합매크로 [%s]는 저장된 내용이 없습니다.";
// An FPS distance the machine cannot send in one signed byte.
inline constexpr const char* kFpsHorizontalRange = "가로 이동거리는 0에서 127까지 입력할 수 있습니다.";
inline constexpr const char* kFpsVerticalRange = "세로 이동거리는 0에서 127까지 입력할 수 있습니다.";
inline constexpr const char* kTimerValueMissing = "타이머%d에 대입할 타이머값을 입력하거나 타이머를 선택해주세요.";

inline constexpr CommandCheck kRows{"rows", F::None, analyzer::message::kTooManyCommands};
inline constexpr CommandCheck kRowsLater{"rows", F::None, kTooManyCommandsLater};

inline constexpr CommandCheck kKeyChecks[] = {
    kRows,
    {"action", F::Action, ""},
    {"variable", F::Variable, ""},
    {"key", F::Key, "키를 눌러 입력해주세요."},
    {"interval", F::Interval, kBadSeconds},
};
inline constexpr CommandCheck kMouseChecks[] = {
    kRows,
    {"action", F::Action, ""},
    {"scroll steps", F::ScrollSteps, "스크롤할 칸수를 입력해주세요.(1~127)"},
    {"x", F::X, "이동할 좌표를 입력해주세요."},
    {"y", F::Y, "이동할 좌표를 입력해주세요."},
    {"no images", F::Image, "인식이미지를 선택하세요."},
    {"image", F::Image, "이동할 이미지를 선택하세요."},
    {"no areas", F::Area, "인식범위를 선택하세요."},
    {"area", F::Area, "일치 검색 시 이동할 범위를 선택하세요."},
    {"horizontal", F::Horizontal, "가로 이동거리를 입력하세요."},
    {"vertical", F::Vertical, "세로 이동거리를 입력하세요."},
    {"variable", F::Variable, ""},
    {"random pixels", F::RandomPixels, "랜덤픽셀수를 입력해주세요.(기본값은 2)"},
    {"interval", F::Interval, kBadSeconds},
};
inline constexpr CommandCheck kMacroChecks[] = {
    kRows,
    {"action", F::Action, ""},
    {"macro", F::Macro, ""},
    {"empty recorded", F::Macro, kEmptyRecorded},
    {"empty edit", F::Macro, kEmptyEdit},
    {"empty combination", F::Macro, kEmptyCombination},
    {"repeat", F::Repeat, analyzer::message::kBadRepeatCount},
};
inline constexpr CommandCheck kTimerChecks[] = {
    kRows,
    {"timer", F::Timer, ""},
    {"value", F::TimerValue, kTimerValueMissing},
};
inline constexpr CommandCheck kDelayChecks[] = {
    kRows,
    {"seconds", F::Seconds, kBadSeconds},
    {"low", F::LowSeconds, kBadSeconds},
    {"high", F::HighSeconds, kBadSeconds},
};
inline constexpr CommandCheck kDeviceChecks[] = {
    kRows,
    {"choice", F::Action, ""},
    {"remote", F::RemoteNumber, "반대쪽 기계에 보낼 명령(숫자)을 입력해주세요."},
    {"sound", F::Sound, "올바른 사운드(.wav)파일을 선택해주세요."},
};
inline constexpr CommandCheck kReplaceChecks[] = {kRowsLater, {"image", F::Image, "인식이미지를 선택하세요."}};
inline constexpr CommandCheck kRunAnalyzerChecks[] = {kRows, {"file name", F::FileName, ""}};
inline constexpr CommandCheck kTypingChecks[] = {
    kRowsLater,
    {"speed", F::Speed, "분당 타자 속도를 입력해주세요"},
    {"name", F::Name, "문장의 이름을 입력해주세요"},
    {"text", F::Sentence, "타이핑할 문장을 입력해주세요"},
    {"too long", F::Sentence, analyzer::message::kSentenceTooLong},
    {"full", F::Sentence, analyzer::message::kSentenceTableFull},
};
inline constexpr CommandCheck kReadNumberChecks[] = {
    kRowsLater,
    {"area", F::Area, kAreaFirst},
    {"pack", F::NumberPack, "넘버팩을 선택해주세요."},
    {"variable", F::Variable, "결과를 저장할 변수를 선택해주세요."},
    {"similarity", F::Similarity, analyzer::message::kBadSameness},
};

// `text` replaces the check's message when filled in.
BuiltCommand refuse(std::span<const CommandCheck> checks, std::string_view id, std::string text = {});
std::optional<BuiltCommand> refuseOverLimit(std::span<const CommandCheck> checks, const FormContext& context);
const analyzer::AnalyzerModel& modelOf(const FormContext& context);

// The variable command, in its own file.
std::span<const CommandCheck> variableCommandChecks();
VariableCommandForm variableCommandFormOf(const analyzer::Command& command);

} // namespace quillon::editor::command_checks

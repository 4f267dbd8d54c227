#include "device/startup_failure.h"

#include "device/startup_offsets.h"

namespace quillon {

std::optional<StartupFailureBox> startupFailureBox(Program program, StartupLoadResult result,
                                                   const StartupData& data) {
    if (result == StartupLoadResult::Ok) {
        return std::nullopt;
    }
    switch (program) {
    case Program::AnalyzerEditor:
    case Program::ControlPanel:
        return StartupFailureBox{"일부 파일에 문제가 있습니다.", "오류"};
    case Program::AnalyzerRunner:
        if (result == StartupLoadResult::TextBlockMissing) {
            return std::nullopt;
        }
        return StartupFailureBox{data.text(text_offset::kRunnerDataFileMissing),
                                 data.text(text_offset::kRunnerCaption)};
    case Program::ShotTaker:
        if (result == StartupLoadResult::TextBlockMissing) {
            return std::nullopt;
        }
        return StartupFailureBox{data.text(text_offset::kShotStartupFailure),
                                 data.text(text_offset::kShotDeviceWarning)};
    }
    return std::nullopt;
}

} // namespace quillon

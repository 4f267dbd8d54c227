// When the link to the machine is lost while editing, the editor tells the
// user and closes. The analyzer open at that moment would be lost with it,
// so it is first written to the autosave file, and the closing message says
// that "자동저장 불러오기" brings it back after a restart.
#pragma once

#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model.h"
#include "device/link.h"

namespace quillon::editor {

inline constexpr const char* kLinkLossSavedSentence =
    "작업 중이던 분석기는 자동저장 파일에 저장했습니다.\n다시 실행한 뒤 \"자동저장 불러오기\"로 불러올 수 있습니다.";

struct LinkLossClosing {
    std::string message; // UTF-8, shown as a warning before the main window closes
    bool saved = false;  // the analyzer was written to the autosave file
};

// True when the analyzer holds anything worth keeping: an empty one must not
// replace an earlier autosave.
bool analyzerHasWork(const analyzer::AnalyzerModel& model);

// Writes the analyzer to `autosavePath` (when it has work) and builds the
// closing message for the failed exchange.
LinkLossClosing closeOnLinkLoss(analyzer::AnalyzerModel& model, analyzer::AnalyzerFile& file,
                                const std::string& autosavePath, const LinkError& error);

} // namespace quillon::editor

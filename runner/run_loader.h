// Loading an analyzer file to run it. The runner reads every section of the
// file (it must, to reach the recognition images and number packs at its
// end) but keeps only what a run needs: it writes the sounds into its sound
// folder, skips the screenshots and never installs machine macros.
#pragma once

#include <string>

#include "analyzer/model.h"

namespace quillon {

namespace run_load {
inline constexpr int kOk = 0;
inline constexpr int kCannotOpen = -1;  // missing, unreadable or damaged
inline constexpr int kNoItems = -2;
inline constexpr int kWrongFormat = -10; // format marker other than 30
} // namespace run_load

// Returns one of the codes above; on any failure the model is left reset.
// An empty `soundFolder` leaves the analyzer's sounds unwritten.
// When a recognition image or a number pack cannot be allocated, `notice`
// (if given) receives the warning shown before the "%s - %d" box.
int loadAnalyzerForRun(analyzer::AnalyzerModel& model, const std::string& path, const std::string& soundFolder,
                       std::string* notice = nullptr);
inline constexpr const char* kImageAllocationNotice = "인식이미지 메모리를 할당 실패.";
inline constexpr const char* kNumberPackAllocationNotice = "숫자팩 메모리를 할당 실패.";

// The analyzer's display name: the file name without folder and extension,
// at most 200 characters.
std::string analyzerDisplayName(const std::string& path);

} // namespace quillon

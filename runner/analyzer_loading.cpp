#include "runner/analyzer_loading.h"

#include "runner/run_loader.h"

namespace quillon::runner {

int FileAnalyzerLoader::load(const std::string& path, analyzer::AnalyzerModel& model) {
    return loadAnalyzerForRun(model, path, soundFolder_);
}

} // namespace quillon::runner

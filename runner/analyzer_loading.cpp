#include "runner/analyzer_loading.h"

namespace quillon::runner {

int FileAnalyzerLoader::load(const std::string& path, analyzer::AnalyzerModel& model) {
    const analyzer::FileResult result = file_.open(model, path);
    lastMessage_ = result.message;
    if (!result.ok) {
        return -1;
    }
    if (model.itemCount() <= 0) {
        return -2;
    }
    return 0;
}

} // namespace quillon::runner

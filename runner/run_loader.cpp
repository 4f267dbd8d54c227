#include "runner/run_loader.h"

#include "analyzer/analyzer_file.h"
#include "analyzer/file_stream.h"
#include "analyzer/limits.h"
#include "analyzer/records.h"
#include "base/file.h"
#include "base/text.h"

namespace quillon {

int loadAnalyzerForRun(analyzer::AnalyzerModel& model, const std::string& path, const std::string& soundFolder,
                       std::string* notice) {
    analyzer::FileSource source;
    if (!source.open(path)) {
        model.reset();
        return run_load::kCannotOpen;
    }
    analyzer::AnalyzerFile file("", soundFolder);
    file.hooks().restoreScreenshot = [](const std::string&, const uint8_t*, size_t) { return true; };
    file.hooks().restoreSound = [&](const std::string& fileName, const uint8_t* data, size_t size) {
        // No sound folder (a dry run): the sounds are not written anywhere.
        if (soundFolder.empty()) return true;
        // The name comes from the file: it must stay inside the sound folder.
        return isSafeFileName(fileName) &&
               writeFileAtomic(analyzer::joinPath(soundFolder, fileName), data, size);
    };
    analyzer::FileResult result = file.read(model, source, false);
    if (!result.ok()) {
        model.reset();
        // The reader's allocation failures have their own warnings: images
        // end with -1, number packs with -2.
        if (result.message == analyzer::message::kImageAllocationFailed) {
            if (notice) *notice = kImageAllocationNotice;
            return run_load::kCannotOpen;
        }
        if (result.message == analyzer::message::kAllocationFailed) {
            if (notice) *notice = kNumberPackAllocationNotice;
            return run_load::kNoItems;
        }
        return run_load::kCannotOpen;
    }
    if (model.image().formatMarker != analyzer::kFormatMarker) {
        model.reset();
        return run_load::kWrongFormat;
    }
    if (model.itemCount() <= 0) {
        model.reset();
        return run_load::kNoItems;
    }
    return run_load::kOk;
}

std::string analyzerDisplayName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    // 200 characters, counted as the code page counts them; never cut a character.
    std::u16string wide = text::utf8ToUtf16(name);
    if (wide.size() > 200) {
        wide.resize(200);
        if (wide.back() >= 0xD800 && wide.back() <= 0xDBFF) {
            wide.pop_back();
        }
    }
    return text::utf16ToUtf8(wide);
}

} // namespace quillon

// Loading an analyzer file for a run, with the loader's codes: 0 success,
// -1 the file cannot be opened or read, -2 the analyzer has no items.
#pragma once

#include "analyzer/analyzer_file.h"
#include "runner/interpreter.h"

namespace quillon::runner {

class FileAnalyzerLoader final : public AnalyzerLoader {
public:
    FileAnalyzerLoader(std::string imageFolder, std::string soundFolder)
        : file_(std::move(imageFolder), std::move(soundFolder)) {}
    int load(const std::string& path, analyzer::AnalyzerModel& model) override;
    // The reader's message of the last failure (UTF-8).
    const std::string& lastMessage() const { return lastMessage_; }

private:
    analyzer::AnalyzerFile file_;
    std::string lastMessage_;
};

} // namespace quillon::runner

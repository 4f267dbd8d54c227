// The run-analyzer command loads through the runner's own loader (the one
// that loads the first analyzer), with its codes.
#pragma once

#include "runner/interpreter.h"

#include <string>

namespace quillon::runner {

class FileAnalyzerLoader final : public AnalyzerLoader {
public:
    explicit FileAnalyzerLoader(std::string soundFolder) : soundFolder_(std::move(soundFolder)) {}
    int load(const std::string& path, analyzer::AnalyzerModel& model) override;

private:
    std::string soundFolder_;
};

} // namespace quillon::runner

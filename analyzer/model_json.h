// The whole model as JSON (texts in UTF-8, pixel data summarised by size,
// non-zero bytes and an FNV-1a checksum), for tools and diffs.
#pragma once

#include <string>

#include "analyzer/model.h"

namespace quillon::analyzer {

std::string modelToJson(const AnalyzerModel& model);

} // namespace quillon::analyzer

#include <io.h>
#include <stdio.h>

#include "analyzer/file_stream.h"
#include "base/wide_text.h"

namespace quillon::analyzer::detail {

std::FILE* openFile(const std::string& utf8Path, bool forWriting) {
    return _wfopen(widen(utf8Path).c_str(), forWriting ? L"wb" : L"rb");
}

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

} // namespace quillon::analyzer::detail

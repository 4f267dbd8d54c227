#include <io.h>
#include <stdio.h>

#include "analyzer/file_stream.h"
#include "base/text.h"

namespace quillon::analyzer::detail {

std::FILE* openFile(const std::string& utf8Path, bool forWriting) {
    std::u16string wide = text::utf8ToUtf16(utf8Path);
    std::wstring path(wide.begin(), wide.end());
    return _wfopen(path.c_str(), forWriting ? L"wb" : L"rb");
}

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

} // namespace quillon::analyzer::detail

#include <unistd.h>

#include "analyzer/file_stream.h"

namespace quillon::analyzer::detail {

std::FILE* openFile(const std::string& utf8Path, bool forWriting) {
    return std::fopen(utf8Path.c_str(), forWriting ? "wbe" : "rbe");
}

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(fileno(file)) == 0; }

} // namespace quillon::analyzer::detail

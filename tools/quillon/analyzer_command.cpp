#include <cstdio>

#include "tools/quillon/commands.h"

namespace quillon::cli {

int analyzerCommand(const Args&) {
    std::fprintf(stderr, "quillon analyzer: not built yet\n");
    return 2;
}

const char* analyzerHelp() { return ""; }

} // namespace quillon::cli

#include <cstdio>

#include "tools/quillon/commands.h"

namespace quillon::cli {

int macroCommand(const Args&) {
    std::fprintf(stderr, "quillon macro: not built yet\n");
    return 2;
}

const char* macroHelp() { return ""; }

} // namespace quillon::cli

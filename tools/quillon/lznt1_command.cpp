#include <cstdio>

#include "tools/quillon/commands.h"

namespace quillon::cli {

int lznt1Command(const Args&) {
    std::fprintf(stderr, "quillon lznt1: not built yet\n");
    return 2;
}

const char* lznt1Help() { return ""; }

} // namespace quillon::cli

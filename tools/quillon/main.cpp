// quillon: the project's command-line tool for its file formats.
#include <cstdio>
#include <cstring>

#include "quillon_version.h"
#include "tools/quillon/commands.h"

namespace {

void printHelp() {
    std::printf("usage: quillon FAMILY COMMAND [ARGS]\n       quillon --version\n\n%s%s%s%s", quillon::cli::analyzerHelp(),
                quillon::cli::reportHelp(), quillon::cli::lznt1Help(), quillon::cli::macroHelp());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        printHelp();
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "--version") || !std::strcmp(argv[1], "version")) {
        std::printf("quillon %s\n", QUILLON_VERSION_TEXT);
        return 0;
    }
    quillon::cli::Args rest(argv + 2, argv + argc);
    if (!std::strcmp(argv[1], "analyzer") && !rest.empty() && rest[0] == "report") {
        return quillon::cli::reportCommand(rest);
    }
    if (!std::strcmp(argv[1], "analyzer")) {
        return quillon::cli::analyzerCommand(rest);
    }
    if (!std::strcmp(argv[1], "lznt1")) {
        return quillon::cli::lznt1Command(rest);
    }
    if (!std::strcmp(argv[1], "macro")) {
        return quillon::cli::macroCommand(rest);
    }
    std::fprintf(stderr, "quillon: unknown family '%s' (try --help)\n", argv[1]);
    return 2;
}

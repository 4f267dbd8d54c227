// make-datafiles: builds the three start-up data files from their readable
// sources. Run by the build; the files land in <bin>/Data/.
//
//   make-datafiles TEXTS SETTINGS NAMES OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file.h"
#include "device/startup_data_writer.h"

namespace {

bool build(quillon::StartupBlock block, const char* sourcePath, const std::filesystem::path& folder) {
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make-datafiles: cannot read %s\n", sourcePath);
        return false;
    }
    std::stringstream source;
    source << in.rdbuf();
    std::vector<uint8_t> bytes;
    quillon::StartupSourceError error;
    if (!quillon::buildStartupBlock(block, source.str(), bytes, error)) {
        std::fprintf(stderr, "%s:%d: %s\n", sourcePath, error.line, error.message.c_str());
        return false;
    }
    auto target = folder / quillon::layoutOf(block).fileName;
    if (!quillon::writeFileAtomic(target.string(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "make-datafiles: cannot write %s\n", target.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: make-datafiles TEXTS SETTINGS NAMES OUTPUT_FOLDER\n");
        return 2;
    }
    std::filesystem::path folder(argv[4]);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    bool ok = build(quillon::StartupBlock::Text, argv[1], folder) &&
              build(quillon::StartupBlock::Settings, argv[2], folder) &&
              build(quillon::StartupBlock::Name, argv[3], folder);
    return ok ? 0 : 1;
}

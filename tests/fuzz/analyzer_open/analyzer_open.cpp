// Fuzz target: reading an analyzer file from arbitrary bytes. Screenshots and
// sounds are dropped instead of restored, and the machine accepts every
// macro, so every section of the reader is reachable.
#include <cstddef>
#include <cstdint>

#include "analyzer/analyzer_file.h"

namespace {

using namespace quillon::analyzer;

class AcceptingMachine final : public MachineMacroPort {
public:
    bool readHeader(MacroKind, int, std::vector<uint8_t>&) override { return false; }
    bool readBody(MacroKind, int, const std::vector<uint8_t>&, std::vector<uint8_t>&) override { return false; }
    bool writeHeader(MacroKind, int, const std::vector<uint8_t>&) override { return true; }
    bool writeBody(MacroKind, int, const std::vector<uint8_t>&, const std::vector<uint8_t>&) override { return true; }
    std::string listedName(MacroKind, int) override { return "macro"; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static AcceptingMachine machine;
    static AnalyzerModel model;
    AnalyzerFile file("", "");
    file.setMachine(&machine);
    auto discard = [](const std::string&, const uint8_t*, size_t) { return true; };
    file.hooks().restoreScreenshot = discard;
    file.hooks().restoreSound = discard;
    file.hooks().askInstallMacros = [](const std::string&) { return true; };
    file.hooks().askContinueWithMissingMacros = [](const std::string&) { return true; };
    MemorySource source(data, size);
    FileResult result = file.read(model, source, size % 2 == 1);
    if (!result.ok() && model.image().itemCount != 0) {
        __builtin_trap(); // a refused file must leave a reset model
    }
    return 0;
}

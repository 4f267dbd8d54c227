// quillon analyzer info|dump FILE: reads an analyzer file without restoring
// its screenshots and sounds anywhere, and without a machine.
// quillon analyzer run FILE --screens DIR: a dry run over screenshots, with
// its trace.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model_json.h"
#include "analyzer/model_text.h"
#include "base/text.h"
#include "runner/dry_run.h"
#include "runner/run_loader.h"
#include "runner/trace_writer.h"
#include "tools/quillon/commands.h"

namespace quillon::cli {
namespace {

using namespace quillon::analyzer;

std::string utf8(const char* field, size_t size) { return text::cp949ToUtf8(fixedText(field, size)); }
template <size_t N>
std::string utf8(const char (&field)[N]) {
    return utf8(field, N);
}

std::string bankSlots(uint32_t mask, int count, bool banks) {
    std::string out;
    for (int n = 0; n < count; ++n) {
        if (mask & (1u << n)) {
            char entry[16];
            if (banks) {
                std::snprintf(entry, sizeof entry, " %d-%d", n / 8 + 1, n % 8 + 1);
            } else {
                std::snprintf(entry, sizeof entry, " %d", n + 1);
            }
            out += entry;
        }
    }
    return out.empty() ? " -" : out;
}

void printInfo(const AnalyzerModel& model) {
    const AnalyzerImage& a = model.image();
    std::printf("analyzer: %s\n", utf8(a.name).c_str());
    std::printf("screen: %d x %d, %d bits per pixel\n", a.screenshotWidth, a.screenshotHeight,
                a.screenshotBitsPerPixel);
    std::printf("screenshots: %d\n", a.screenshotCount);
    for (int i = 0; i < a.screenshotCount; ++i) {
        const ScreenshotEntry& s = a.screenshots[a.screenshotOrder[i]];
        std::printf("  slot %d: %s, %d bytes%s, %d recognition images\n", a.screenshotOrder[i], utf8(s.name).c_str(),
                    s.fileSize, s.erased ? " (erased)" : "", s.recognitionImageCount);
    }
    std::printf("recognition images: %d\n", a.recognitionImageCount);
    for (int i = 0; i < a.recognitionImageCount; ++i) {
        int slot = a.recognitionImageOrder[i];
        const RecognitionImage* r = model.recognitionImage(slot);
        if (r) {
            std::printf("  slot %d: %s%s, %d x %d at (%d, %d) on screenshot %d%s\n", slot, r->pattern ? "[패턴]" : "",
                        utf8(r->name).c_str(), r->width, r->height, r->centreX, r->centreY, r->screenshotSlot,
                        r->inUse ? ", in use" : "");
        }
    }
    std::printf("number packs: %d\n", a.numberPackCount);
    for (int i = 0; i < a.numberPackCount; ++i) {
        int slot = a.numberPackOrder[i];
        if (const NumberPack* p = model.numberPack(slot)) {
            int set = 0;
            for (const NumberSample& s : p->samples) {
                set += s.set != 0;
            }
            std::printf("  slot %d: %s, %d samples set\n", slot, utf8(p->name).c_str(), set);
        }
    }
    std::printf("recognition areas: %d\n", a.areaCount);
    for (int i = 0; i < a.areaCount; ++i) {
        const RecognitionArea& r = a.areas[a.areaOrder[i]];
        std::printf("  slot %d: %s, %d x %d at (%d, %d)%s\n", a.areaOrder[i], utf8(r.name).c_str(), r.width, r.height,
                    r.left, r.top, r.inUse ? ", in use" : "");
    }
    std::printf("cursor samples: %d\n", a.cursorCount);
    for (int i = 0; i < a.cursorCount; ++i) {
        std::printf("  slot %d: %s\n", a.cursorOrder[i], utf8(a.cursors[a.cursorOrder[i]].name).c_str());
    }
    std::printf("variables: %d active\n", a.activeVariableCount);
    std::printf("sounds: %d\n", a.soundCount);
    for (int i = 0; i < a.soundCount; ++i) {
        std::printf("  %s, %d bytes\n", utf8(a.sounds[i].fileName).c_str(), a.sounds[i].fileSize);
    }
    for (int i = 0; i < kSentenceCapacity; ++i) {
        const TypingSentence& s = model.sentenceTable().sentences[i];
        if (s.name[0] || s.text[0]) {
            std::printf("sentence %d: %s = \"%s\", %d key codes, %d per minute\n", i, utf8(s.name).c_str(),
                        utf8(s.text).c_str(), s.keyCount, s.speed);
        }
    }
    std::printf("embedded macros: recorded%s; edit%s; combination%s\n",
                bankSlots(a.recordedMacroMask, 32, true).c_str(), bankSlots(a.editMacroMask, 32, true).c_str(),
                bankSlots(a.combinationMacroMask, 8, false).c_str());
    std::printf("items: %d (next id %d)\n", a.itemCount, a.nextItemId);
    for (int i = 0; i < a.itemCount; ++i) {
        const Item& item = a.items[i];
        std::printf("%s (id %d)\n", itemListLine(item, i).c_str(), item.id);
        for (int c = 0; c < item.conditionCount; ++c) {
            std::printf("    if   %s\n", describeCondition(item.conditions[c]).c_str());
        }
        for (int c = 0; c < item.commandCount; ++c) {
            std::printf("    do   %s\n", describeCommand(item.commands[c]).c_str());
        }
        for (int c = 0; c < item.nextLinkCount; ++c) {
            std::printf("    next %s\n", describeNextLink(item.nextLinks[c]).c_str());
        }
        if (item.falseBranch) {
            std::printf("    else when false -> id %d\n", item.falseBranchTarget);
        }
        if (item.otherwiseBranch) {
            std::printf("    otherwise -> id %d\n", item.otherwiseBranchTarget);
        }
    }
}

const char* kRunUsage = "usage: quillon analyzer run FILE.dat --screens DIR [--hold MS] [--trace OUT.jsonl] "
                        "[--start ITEM]\n";

std::string fileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folderOfPath(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

const char* loadFailure(int code) {
    switch (code) {
    case run_load::kNoItems: return "it has no items";
    case run_load::kWrongFormat: return "not an analyzer of this format";
    default: return "missing, unreadable or damaged";
    }
}

// Everything is checked before the trace file is made: a refused run leaves
// nothing behind.
int runCommand(const Args& args) {
    std::string analyzerPath, screens, tracePath, startName;
    bool haveStart = false;
    long hold = 1000;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--screens" && hasValue) {
            screens = args[++i];
        } else if (a == "--trace" && hasValue) {
            tracePath = args[++i];
        } else if (a == "--start" && hasValue) {
            startName = args[++i];
            haveStart = true;
        } else if (a == "--hold" && hasValue) {
            const std::string& v = args[++i];
            char* end = nullptr;
            errno = 0;
            hold = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || errno || hold < 1 || hold > 3600000) {
                std::fprintf(stderr, "quillon analyzer run: --hold takes milliseconds from 1 to 3600000, not '%s'\n",
                             v.c_str());
                return 2;
            }
        } else if (a.rfind("--", 0) == 0 || !analyzerPath.empty()) {
            std::fprintf(stderr, "quillon analyzer run: unexpected '%s'%s\n%s", a.c_str(),
                         a.rfind("--", 0) == 0 && !hasValue ? " (missing its value?)" : "", kRunUsage);
            return 2;
        } else {
            analyzerPath = a;
        }
    }
    if (analyzerPath.empty() || screens.empty()) {
        std::fputs(kRunUsage, stderr);
        return 2;
    }
    AnalyzerModel model;
    if (!model.valid()) {
        std::fprintf(stderr, "quillon analyzer: out of memory\n");
        return 1;
    }
    const int code = loadAnalyzerForRun(model, analyzerPath, "");
    if (code != run_load::kOk) {
        std::fprintf(stderr, "quillon analyzer run: %s: cannot run this analyzer: %s (%d)\n", analyzerPath.c_str(),
                     loadFailure(code), code);
        return 2;
    }
    const runner::ScreenshotFolder folder = runner::screenshotsIn(screens);
    for (const std::string& name : folder.skipped) {
        std::fprintf(stderr, "quillon analyzer run: skipped %s: not a readable 16-, 24- or 32-bit bitmap\n",
                     name.c_str());
    }
    if (!folder.folderReadable || folder.shots.empty()) {
        std::fprintf(stderr, "quillon analyzer run: %s: %s\n", screens.c_str(),
                     folder.folderReadable ? "no readable screenshot (*.bmp) in this folder" : "cannot read this folder");
        return 2;
    }
    runner::DryRunOptions options;
    options.holdMs = static_cast<uint32_t>(hold);
    options.analyzerFolder = folderOfPath(analyzerPath);
    if (haveStart) {
        options.startItem = runner::itemNamed(model, startName);
        if (options.startItem < 0) {
            std::fprintf(stderr, "quillon analyzer run: no item named '%s' in %s\n", startName.c_str(),
                         analyzerPath.c_str());
            return 2;
        }
    }

    std::FILE* traceFile = nullptr;
    std::unique_ptr<runner::TraceWriter> trace;
    if (!tracePath.empty()) {
        traceFile = std::fopen(tracePath.c_str(), "wb");
        if (!traceFile) {
            std::fprintf(stderr, "quillon analyzer run: cannot create %s: %s\n", tracePath.c_str(), std::strerror(errno));
            return 2;
        }
        trace = std::make_unique<runner::TraceWriter>(traceFile);
        const std::vector<runner::DryRunShot>& shots = folder.shots;
        trace->setScreenAt([&shots, hold](uint32_t tMs) {
            return shots[runner::shotIndexAt(shots.size(), static_cast<uint32_t>(hold), tMs)].name;
        });
        trace->begin({fileNameOf(analyzerPath), screens, folder.shots[0].size});
        options.observer = trace.get();
    }
    const runner::DryRunSummary summary = runner::runDry(model, folder.shots, options);
    bool traceOk = true;
    if (trace) {
        traceOk = trace->finish();
        traceOk = std::fclose(traceFile) == 0 && traceOk;
    }
    for (const std::string& w : summary.warnings) std::fprintf(stderr, "quillon analyzer run: warning: %s\n", w.c_str());
    std::printf("dry run of %s over %zu screenshots, %ld ms each: %u ms of virtual time\n",
                fileNameOf(analyzerPath).c_str(), summary.screens, hold, summary.virtualMs);
    std::printf("items run: %llu (%llu held)\n", static_cast<unsigned long long>(summary.items),
                static_cast<unsigned long long>(summary.itemsHeld));
    std::printf("conditions held: %llu of %llu evaluated\n", static_cast<unsigned long long>(summary.conditionsHeld),
                static_cast<unsigned long long>(summary.conditions));
    std::printf("machine actions: %llu\n", static_cast<unsigned long long>(summary.actions));
    if (summary.sounds) std::printf("sounds and beeps: %llu\n", static_cast<unsigned long long>(summary.sounds));
    if (trace) {
        if (!traceOk) {
            std::fprintf(stderr, "quillon analyzer run: %s: writing the trace failed; the file is incomplete\n",
                         tracePath.c_str());
            return 1;
        }
        std::printf("trace: %s (%llu lines)\n", tracePath.c_str(),
                    static_cast<unsigned long long>(trace->linesWritten()));
    }
    return 0;
}

} // namespace

int analyzerCommand(const Args& args) {
    if (!args.empty() && args[0] == "run") {
        return runCommand(args);
    }
    if (args.size() != 2 || (args[0] != "info" && args[0] != "dump")) {
        std::fprintf(stderr, "usage: quillon analyzer info|dump FILE\n%s", kRunUsage);
        return 2;
    }
    AnalyzerFile file("", "");
    auto discard = [](const std::string&, const uint8_t*, size_t) { return true; };
    file.hooks().restoreScreenshot = discard;
    file.hooks().restoreSound = discard;
    AnalyzerModel model;
    if (!model.valid()) {
        std::fprintf(stderr, "quillon analyzer: out of memory\n");
        return 1;
    }
    FileResult result = file.open(model, args[1]);
    if (!result.ok()) {
        std::fprintf(stderr, "quillon analyzer: %s: %s\n", args[1].c_str(), result.message.c_str());
        return 1;
    }
    if (args[0] == "info") {
        printInfo(model);
    } else {
        std::fputs(modelToJson(model).c_str(), stdout);
    }
    return 0;
}

const char* analyzerHelp() {
    return "  analyzer info FILE    counts, names and items of an analyzer file (*.dat) as text\n"
           "  analyzer dump FILE    the whole analyzer as JSON (pixel data summarised)\n"
           "  analyzer run FILE --screens DIR [--hold MS] [--trace OUT.jsonl] [--start ITEM]\n"
           "                        a dry run: the analyzer runs against the screenshots of DIR (*.bmp\n"
           "                        in file-name order, each the screen for MS ms of virtual time,\n"
           "                        default 1000) on the simulated machine; items wait the runner's\n"
           "                        default delay (50 ms) and take at least 1 ms, the local time\n"
           "                        reads 2026-01-01 09:00:00, sounds are recorded; --start puts the\n"
           "                        named item into the first slot. Prints what ran and writes the\n"
           "                        run trace (docs/run-trace.md)\n";
}

} // namespace quillon::cli

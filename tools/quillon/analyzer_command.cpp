// quillon analyzer info|dump FILE: reads an analyzer file without restoring
// its screenshots and sounds anywhere, and without a machine.
#include <cstdio>
#include <string>

#include "analyzer/analyzer_file.h"
#include "analyzer/model_json.h"
#include "analyzer/model_text.h"
#include "base/text.h"
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

} // namespace

int analyzerCommand(const Args& args) {
    if (args.size() != 2 || (args[0] != "info" && args[0] != "dump")) {
        std::fprintf(stderr, "usage: quillon analyzer info|dump FILE\n");
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
           "  analyzer dump FILE    the whole analyzer as JSON (pixel data summarised)\n";
}

} // namespace quillon::cli

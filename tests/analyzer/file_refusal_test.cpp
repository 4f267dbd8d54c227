// Damaged and hostile files, made by the independent writer: each is refused
// with the open message and leaves a freshly reset model.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "file_fixtures.h"
#include "reference_writer.h"

namespace quillon::analyzer {
namespace {

using reference::Analyzer;
namespace at = reference::at;
using testing::TempFolders;

void expectCleanReset(const AnalyzerModel& m) {
    const AnalyzerImage& a = m.image();
    EXPECT_EQ(a.itemCount, 0);
    EXPECT_EQ(a.screenshotCount, 0);
    EXPECT_EQ(a.recognitionImageCount, 0);
    EXPECT_EQ(a.soundCount, 0);
    EXPECT_EQ(a.activeVariableCount, 50);
    EXPECT_EQ(a.formatMarker, 0);
    for (int i = 0; i < kRecognitionImageCapacity; ++i) {
        ASSERT_EQ(m.recognitionImage(i), nullptr);
    }
}

// A valid analyzer with one of every section, including a recorded macro.
Analyzer fullAnalyzer() {
    Analyzer ref;
    ref.addScreenshot({2, "shot", reference::smallBmp(8, 8, 1), false});
    ref.addSound({"s.wav", {1, 2, 3, 4}});
    ref.addRecognitionImage(4, 2, 10, 10, 5, 5, "img");
    ref.addNumberPack(1, "pack");
    ref.setItemCount(1);
    ref.putItem(0, 0, "item");
    ref.putCommand(0, 0, {{0, CmdMacro}, {4, 0}, {12, 3}});
    ref.record.put32(at::kRecordedMask, 1 << 3);
    std::vector<uint8_t> section(63 + 400, 0);
    section[0] = 0x88;
    section[1] = 0x66;
    section[46] = 2; // body length
    section.push_back(0xAA);
    section.push_back(0xBB);
    ref.macroSection = section;
    return ref;
}

struct Case {
    const char* what;
    std::function<void(Analyzer&)> damage;
};

const Case kCases[] = {
    {"screenshot count past capacity", [](Analyzer& r) { r.record.put32(at::kScreenshotCount, 1001); }},
    {"screenshot order slot out of range", [](Analyzer& r) { r.record.put32(at::kScreenshotOrder, 1000); }},
    {"screenshot order names a free slot", [](Analyzer& r) { r.record.put32(at::kScreenshotOrder, 5); }},
    {"negative screenshot size",
     [](Analyzer& r) { r.record.put32(at::kScreenshots + 2 * at::kScreenshotSize + 16, -5); }},
    {"screenshot size larger than its block",
     [](Analyzer& r) { r.record.put32(at::kScreenshots + 2 * at::kScreenshotSize + 16, 8 * 8 * 4 + 55); }},
    {"recognition image count past capacity", [](Analyzer& r) { r.record.put32(at::kImageCount, 5001); }},
    {"recognition image order out of range", [](Analyzer& r) { r.record.put32(at::kImageOrder, 5000); }},
    {"recognition image order repeats a slot",
     [](Analyzer& r) {
         r.addRecognitionImage(4, 2, 10, 10, 5, 5, "twin");
     }},
    {"number pack order out of range", [](Analyzer& r) { r.record.put32(at::kPackOrder, 50); }},
    {"number pack count past capacity", [](Analyzer& r) { r.record.put32(at::kPackCount, 51); }},
    {"area count without used slots", [](Analyzer& r) { r.record.put32(at::kAreaCount, 1); }},
    {"cursor count past capacity", [](Analyzer& r) { r.record.put32(at::kCursorCount, 21); }},
    {"item count past capacity", [](Analyzer& r) { r.record.put32(at::kItemCount, 5001); }},
    {"negative item count", [](Analyzer& r) { r.record.put32(at::kItemCount, -1); }},
    {"fifty-one conditions",
     [](Analyzer& r) { r.record.put32(at::kItems + at::kConditionCount, 51); }},
    {"fifty-one commands", [](Analyzer& r) { r.record.put32(at::kItems + at::kCommandCount, 51); }},
    {"twenty-one next links", [](Analyzer& r) { r.record.put32(at::kItems + at::kNextLinkCount, 21); }},
    {"image condition names slot 5000",
     [](Analyzer& r) { r.putCondition(0, 0, {{0, CondImage}, {4, 5}, {12, 5000}}); }},
    {"range search names area 1000",
     [](Analyzer& r) { r.putCondition(0, 0, {{0, CondRangeSearch}, {4, 4}, {8, 1000}}); }},
    {"cursor condition names cursor -1", [](Analyzer& r) { r.putCondition(0, 0, {{0, CondCursor}, {8, -1}}); }},
    {"sentence 100", [](Analyzer& r) { r.putCommand(0, 1, {{0, CmdTypeSentence}, {4, 100}}); }},
    {"recorded macro 32", [](Analyzer& r) { r.putCommand(0, 1, {{0, CmdMacro}, {4, 0}, {12, 32}}); }},
    {"number pack 50 read",
     [](Analyzer& r) { r.putCommand(0, 1, {{0, CmdReadNumber}, {8, 0}, {16, 50}}); }},
    {"combination mask bit 8", [](Analyzer& r) { r.record.put32(at::kCombinationMask, 1 << 8); }},
    {"active variables past 1000", [](Analyzer& r) { r.record.put32(at::kActiveVariables, 1001); }},
    {"sound count past capacity", [](Analyzer& r) { r.record.put32(at::kSoundCount, 102); }},
    {"screenshot name leaves the folder",
     [](Analyzer& r) { r.record.putText(at::kScreenshots + 2 * at::kScreenshotSize + 28, "../escaped"); }},
    {"screenshot name is a device", [](Analyzer& r) { r.record.putText(at::kScreenshots + 2 * at::kScreenshotSize + 28, "con"); }},
    {"sound name with a separator", [](Analyzer& r) { r.record.putText(at::kSounds + 8, "..\\escaped.wav"); }},
    {"sound name absolute", [](Analyzer& r) { r.record.putText(at::kSounds + 8, "/tmp/escaped.wav"); }},
    {"sound size larger than its block", [](Analyzer& r) { r.record.put32(at::kSounds + 4, 5); }},
    {"recognition image wider than 201", [](Analyzer& r) { r.recognitionImages[0].second.put32(24, 203); }},
    {"recognition image height 0", [](Analyzer& r) { r.recognitionImages[0].second.put32(28, 0); }},
    {"sentence with 513 key codes", [](Analyzer& r) { r.sentences.put32(16, 513); }},
    {"edit macro body past 32768",
     [](Analyzer& r) {
         r.record.put32(at::kRecordedMask, 0);
         r.record.put32(at::kEditMask, 1);
         r.putCommand(0, 0, {{0, CmdMacro}, {4, 1}, {12, 0}});
         std::vector<uint8_t> section(53 + 400, 0);
         section[0] = 0x77;
         section[1] = 0x33;
         section[46] = 0x01;
         section[47] = 0x81; // 33025
         section.resize(section.size() + 33025, 0x11);
         r.macroSection = section;
     }},
    {"recorded macro body past the end",
     [](Analyzer& r) {
         r.macroSection[46] = 0xFF;
         r.macroSection[47] = 0xFF;
         r.macroSection[48] = 0xFF;
         r.macroSection[49] = 0x7F;
     }},
    {"macro section missing",
     [](Analyzer& r) { r.macroSection.clear(); }},
};

TEST(AnalyzerFileRefusal, DamagedRecordsAreRefusedAndLeaveAResetModel) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    {
        Analyzer valid = fullAnalyzer();
        folders.writeFile(folders.save("valid.dat"), valid.bytes());
        AnalyzerModel model;
        FileResult r = file.open(model, folders.save("valid.dat"));
        ASSERT_TRUE(r.ok()) << r.message;
        ASSERT_NE(model.recognitionImage(4), nullptr);
    }
    for (const Case& c : kCases) {
        Analyzer ref = fullAnalyzer();
        c.damage(ref);
        std::string path = folders.save("bad.dat");
        folders.writeFile(path, ref.bytes());
        AnalyzerModel model;
        FileResult r = file.open(model, path);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_EQ(r.message, message::kOpenFailed) << c.what;
        expectCleanReset(model);
    }
    EXPECT_FALSE(std::filesystem::exists(folders.root() / "escaped.bmp"));
    EXPECT_FALSE(std::filesystem::exists(folders.root() / "escaped.wav"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/escaped.wav"));
}

TEST(AnalyzerFileRefusal, EveryTruncationIsRefused) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    std::vector<uint8_t> bytes = fullAnalyzer().bytes();
    std::vector<size_t> cuts = {0, 1, 3, 4, 5, 100};
    for (auto b : testing::walkBlocks(bytes, 0, 3)) {
        cuts.push_back(b.offset + 2);
        cuts.push_back(b.offset + 4 + b.length / 2);
        cuts.push_back(b.offset + 4 + b.length - 1);
    }
    for (size_t k = 1; k < 16; ++k) {
        cuts.push_back(bytes.size() * k / 16);
    }
    cuts.push_back(bytes.size() - 1);
    for (size_t cut : cuts) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        MemorySource source(part.data(), part.size());
        AnalyzerModel model;
        FileResult r = file.read(model, source, false);
        EXPECT_FALSE(r.ok()) << "cut at " << cut;
        expectCleanReset(model);
    }
}

TEST(AnalyzerFileRefusal, RestoreFailuresStopLoading) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    std::vector<uint8_t> bytes = fullAnalyzer().bytes();
    AnalyzerModel model;
    file.hooks().restoreScreenshot = [](const std::string&, const uint8_t*, size_t) { return false; };
    MemorySource first(bytes.data(), bytes.size());
    FileResult r = file.read(model, first, false);
    EXPECT_FALSE(r.ok());
    expectCleanReset(model);

    file.hooks().restoreScreenshot = nullptr;
    file.hooks().restoreSound = [](const std::string&, const uint8_t*, size_t) { return false; };
    MemorySource second(bytes.data(), bytes.size());
    r = file.read(model, second, false);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, message::kSoundRestoreFailed);
    expectCleanReset(model);
}

} // namespace
} // namespace quillon::analyzer

// Golden analyzer files. tests/golden/ must load with the contents below;
// tests/golden-errors/ must be refused cleanly. Both were made by the
// independent writer of these tests (run the disabled test
// GoldenFiles.DISABLED_Regenerate to write them again).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "base/text.h"
#include "file_fixtures.h"
#include "reference_writer.h"

namespace quillon::analyzer {
namespace {

namespace at = reference::at;
using testing::TempFolders;

std::filesystem::path source(const char* sub) { return std::filesystem::path(QUILLON_SOURCE_DIR) / sub; }

std::string cp(const char* utf8) { return text::utf8ToCp949(utf8); }

reference::Analyzer typicalGolden() {
    reference::Analyzer ref;
    ref.record.putText(at::kName, cp("골든"));
    ref.record.put32(at::kScreenWidth, 8);
    ref.record.put32(at::kScreenHeight, 6);
    ref.addScreenshot({0, cp("화면1"), reference::smallBmp(8, 6, 3), false});
    ref.addScreenshot({5, cp("지운화면"), {}, true});
    ref.addSound({cp("벨.wav"), {'R', 'I', 'F', 'F', 0, 0}});
    ref.addRecognitionImage(0, 0, 4, 3, 3, 3, cp("인식이미지-0001"));
    ref.addRecognitionImage(7, 0, 3, 2, 5, 5, cp("버튼"));
    ref.record.put32(at::kNextImageNumber, 2);
    ref.addNumberPack(2, cp("숫자샘플팩-1"));
    ref.record.put32(at::kNextItemId, 2);
    ref.setItemCount(2);
    ref.putItem(0, 0, cp("시작"));
    ref.record.put32(at::kItems + 8, 1); // head item
    ref.putCondition(0, 0, {{0, CondImage}, {4, 5}, {8, 2}, {12, 0}, {20, 4}, {24, 3}, {32, 90}});
    ref.putCommand(0, 0, {{0, CmdMouse}, {4, 6}, {24, 7}, {32, 3}, {36, 2}});
    ref.putCommand(0, 1, {{0, CmdDevice}, {4, 3}, {12, 1}});
    ref.record.putText(at::kItems + at::kCommands + 172 + 8 + 24, cp("벨.wav"));
    ref.putCommand(0, 2, {{0, CmdMacro}, {4, 0}, {8, 1}, {12, 9}});
    ref.record.put32(at::kItems + at::kNextLinkCount, 1);
    ref.record.put32(at::kItems + 13316 + 40, 1); // link to item id 1
    ref.putItem(1, 1, cp("끝"));
    ref.putCondition(1, 0, {{0, CondTimer}, {12, 3}, {20, 10}});
    ref.putCommand(1, 0, {{0, CmdDelay}, {8, 500}});
    ref.record.put32(at::kRecordedMask, 1 << 9);
    std::vector<uint8_t> section(63 + 400, 0);
    section[0] = 0x88;
    section[1] = 0x66;
    section[4] = 'm';
    section[46] = 3;
    section.insert(section.end(), {0xA1, 0xA2, 0xEE});
    ref.macroSection = section;
    ref.sentences.put32(4, 500);
    ref.sentences.put32(8, 60);
    ref.sentences.put32(12, 60);
    ref.sentences.put32(16, 4);
    ref.sentences.putText(20, cp("인사"));
    ref.sentences.putBytes(88, {0x15, 0x0E, 0xFE, 0x84});
    ref.sentences.putText(2136, cp("가A"));
    return ref;
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(GoldenFiles, DISABLED_Regenerate) {
    writeFile(source("tests/golden/empty.dat"), reference::Analyzer().bytes());
    writeFile(source("tests/golden/typical.dat"), typicalGolden().bytes());
    auto errors = source("tests/golden-errors");
    writeFile(errors / "empty-file.dat", {});
    writeFile(errors / "short-length.dat", {0x10, 0x00, 0x00});
    writeFile(errors / "length-past-end.dat", {0xFF, 0xFF, 0xFF, 0x7F, 0xB0, 0x03, 0x02, 0x00, 0xFC, 0x0F});
    writeFile(errors / "garbage-chunk.dat", {0x08, 0, 0, 0, 0xFF, 0xBF, 0xFF, 0xFF, 0x12, 0x34, 0x56, 0x78});
    reference::SparseBytes shortRecord(1000);
    writeFile(errors / "record-too-short.dat", reference::block(shortRecord));
    reference::Analyzer hostile = typicalGolden();
    hostile.record.put32(at::kImageOrder + 4, 5000);
    writeFile(errors / "image-order-out-of-range.dat", hostile.bytes());
}

TEST(GoldenFiles, EmptyAnalyzerLoads) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    AnalyzerModel model;
    FileResult r = file.open(model, source("tests/golden/empty.dat").string());
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(model.image().activeVariableCount, 50);
    EXPECT_EQ(model.image().formatMarker, 30);
    EXPECT_EQ(model.itemCount(), 0);
}

TEST(GoldenFiles, TypicalAnalyzerLoadsWithItsContents) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    bool askedToInstall = false;
    file.hooks().askInstallMacros = [&](const std::string& q) {
        askedToInstall = q.find("[녹화매크로 메모리]\n2-2 ") != std::string::npos;
        return false;
    };
    AnalyzerModel model;
    FileResult r = file.open(model, source("tests/golden/typical.dat").string());
    ASSERT_TRUE(r.ok()) << r.message;
    const AnalyzerImage& a = model.image();
    EXPECT_EQ(text::cp949ToUtf8(fixedText(a.name)), "골든");
    EXPECT_EQ(a.screenshotCount, 2);
    EXPECT_EQ(a.screenshots[5].erased, 1);
    EXPECT_EQ(folders.readFile(joinPath(folders.image(), "화면1.bmp")), reference::smallBmp(8, 6, 3));
    EXPECT_EQ(text::cp949ToUtf8(fixedText(a.screenshots[0].path)), joinPath(folders.image(), "화면1.bmp"));
    EXPECT_EQ(folders.readFile(joinPath(folders.sound(), "벨.wav")), (std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0}));
    ASSERT_NE(model.recognitionImage(7), nullptr);
    EXPECT_EQ(text::cp949ToUtf8(fixedText(model.recognitionImage(7)->name)), "버튼");
    EXPECT_EQ(model.recognitionImage(7)->width, 5);
    EXPECT_EQ(model.recognitionImage(0)->pixels[0], 0x30);
    ASSERT_NE(model.numberPack(2), nullptr);
    EXPECT_EQ(model.numberPack(2)->samples[0].set, 1);
    ASSERT_EQ(model.itemCount(), 2);
    EXPECT_EQ(text::cp949ToUtf8(fixedText(model.item(0).name)), "시작");
    EXPECT_EQ(model.item(0).commandCount, 3);
    EXPECT_EQ(model.item(0).commands[2].at(12), 9);
    EXPECT_EQ(model.item(0).nextLinks[0].targetId, 1);
    EXPECT_EQ(model.findItemById(1), 1);
    EXPECT_EQ(model.sentenceTable().sentences[0].keyCount, 4);
    EXPECT_EQ(a.recordedMacroMask, 1u << 9);
    EXPECT_FALSE(askedToInstall); // no machine: nothing is offered
}

TEST(GoldenFiles, ErrorsAreRefusedCleanly) {
    TempFolders folders;
    AnalyzerFile file(folders.image(), folders.sound());
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(source("tests/golden-errors"))) {
        if (!entry.is_regular_file()) continue; // macros/: the control panel's
        AnalyzerModel model;
        FileResult r = file.open(model, entry.path().string());
        EXPECT_FALSE(r.ok()) << entry.path();
        EXPECT_EQ(r.message, message::kOpenFailed) << entry.path();
        EXPECT_EQ(model.itemCount(), 0);
        EXPECT_EQ(model.image().activeVariableCount, 50);
        ++seen;
    }
    EXPECT_GE(seen, 6);
    EXPECT_TRUE(std::filesystem::is_empty(folders.image()));
}

} // namespace
} // namespace quillon::analyzer

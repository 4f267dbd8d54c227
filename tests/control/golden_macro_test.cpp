// Golden macro files in tests/golden/, made by the independent writer of the
// analyzer tests (byte offsets only, its own LZNT1): an edit macro and a
// combination macro that plays recorded memory 2-1 and edit memory 4-8 and
// carries both. Run the disabled test GoldenMacroFiles.DISABLED_Regenerate
// to write them again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "control/auto_click.h"
#include "control/control_program.h"
#include "control/key_codes.h"
#include "control/line_kinds.h"
#include "control/macro_compiler.h"
#include "control/macro_files.h"
#include "control/recorded_macro.h"
#include "tests/analyzer/reference_writer.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using analyzer::reference::block;
using analyzer::reference::SparseBytes;

constexpr uint64_t kDocumentSize = 7128644, kStoreSize = 6555600, kLines = 552, kLineSize = 548;

std::filesystem::path golden(const char* name) { return std::filesystem::path(QUILLON_SOURCE_DIR) / "tests/golden" / name; }

std::string cp(const char* utf8) { return text::utf8ToCp949(utf8); }

struct GoldenLine {
    int indent, kind;
    std::vector<std::pair<int, int32_t>> params; // record offset, value
    const char* sentence;
    uint32_t colour;
    const char* memo;
};

void putLine(SparseBytes& document, int index, const GoldenLine& line) {
    const uint64_t at = kLines + static_cast<uint64_t>(index) * kLineSize;
    document.put32(at, line.indent);
    document.put32(at + 4, line.kind);
    for (auto [offset, value] : line.params) document.put32(at + static_cast<uint64_t>(offset), value);
    const std::string sentence = cp(line.sentence);
    document.putText(at + 72, sentence);
    document.put32(at + 264, static_cast<int64_t>(sentence.size()));
    document.put32(at + 268, line.colour);
    if (*line.memo) {
        const std::string memo = cp(line.memo);
        document.putText(at + 136, memo);
        document.put32(at + 272, static_cast<int64_t>(memo.size()));
    }
}

std::vector<GoldenLine> editLines() {
    const int keyA = *rowOfKeyCode(0x04);
    return {
        {0, 88, {{8, 0}, {16, 3}}, "반복 [A] 시작(3회) {.", 0x4080FF, ""},
        {1, 3, {{8, keyA}}, "[ A  ]키를 눌렀다 뗀다.", 0, "첫 키"},
        {1, 112, {{16, 1500}}, "1.5초 동안 대기한다.", 0, ""},
        {0, 103, {}, "} 반복 끝.", 0x4080FF, ""},
    };
}
constexpr const char* kEditCode = "58 00 00 03 00 0C 03 04 70 05 DC 67 EE";

std::vector<GoldenLine> combinationLines() {
    return {
        {0, 208, {{12, 8}}, "2-1녹화매크로를 재생한다", 0xFF8000, "녹화"},
        {0, 209, {{12, 31}}, "4-8편집매크로를 재생한다", 0x8000FF, ""},
    };
}
constexpr const char* kCombinationCode = "D0 08 D1 1F EE";

SparseBytes documentOf(const std::vector<GoldenLine>& lines, bool storeFollows) {
    SparseBytes document(kDocumentSize);
    document.put32(0, storeFollows ? 1 : 0);
    document.put32(8, static_cast<int64_t>(lines.size()));
    document.put32(12, 1); // current line
    for (size_t i = 0; i < lines.size(); ++i) putLine(document, static_cast<int>(i), lines[i]);
    return document;
}

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

std::vector<uint8_t> editFile() {
    SparseBytes header(53);
    header.putBytes(0, {0x77, 0x33, 0x00, 0x40}); // magic 0x3377, play once
    header.putText(4, cp("골든 매크로"));
    header.putBytes(46, {13, 0});
    std::vector<uint8_t> out = block(header);
    append(out, block(SparseBytes(400)));
    append(out, block(documentOf(editLines(), true)));
    append(out, block(SparseBytes(kStoreSize)));
    return out;
}

std::vector<uint8_t> combinationFile() {
    SparseBytes header(65);
    header.putBytes(0, {0x66, 0x22, 0x10, 0x00}); // magic 0x2266, FPS mode
    header.putText(4, cp("골든 조합"));
    header.putBytes(46, {5, 0, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80});
    std::vector<uint8_t> out = block(header);
    append(out, block(SparseBytes(400)));
    append(out, block(documentOf(combinationLines(), false)));
    // Recorded memory 8 (2-1): header, 400 bytes, body.
    SparseBytes recorded(63);
    recorded.putBytes(0, {0x88, 0x66, 0x00, 0x00});
    recorded.putText(4, cp("내장 녹화"));
    recorded.putBytes(46, {6, 0, 0, 0, 0xE8, 0x03, 0, 0});
    append(out, recorded.slice(0, 63));
    append(out, std::vector<uint8_t>(400, 0));
    append(out, {0x10, 0x04, 0x00, 0x20, 0x04, 0x00});
    // Edit memory 31 (4-8): header, 400 bytes, code.
    SparseBytes edit(53);
    edit.putBytes(0, {0x77, 0x33, 0x00, 0x00});
    edit.putText(4, cp("내장 편집"));
    edit.putBytes(46, {3, 0});
    append(out, edit.slice(0, 53));
    append(out, std::vector<uint8_t>(400, 0));
    append(out, {0x01, 0x04, 0xEE});
    return out;
}

void writeGolden(const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(golden(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(GoldenMacroFiles, DISABLED_Regenerate) {
    writeGolden("edit_macro.eqn1", editFile());
    writeGolden("combination_macro.cqn1", combinationFile());
}

// The lines as the page shows them, with the sentences the program builds.
void expectLines(const MacroDocument& document, const TextStore& store, const std::vector<GoldenLine>& lines) {
    ASSERT_EQ(document.head.lineCount, static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        const EditLine& line = document.lines[i];
        EXPECT_EQ(line.indent, lines[i].indent) << i;
        EXPECT_EQ(text::cp949ToUtf8(line.sentence), lines[i].sentence) << i;
        EXPECT_EQ(sentenceOf(line, store), lines[i].sentence) << i;
        EXPECT_EQ(line.colour, lines[i].colour) << i;
        EXPECT_EQ(text::cp949ToUtf8(line.memo), lines[i].memo) << i;
    }
}

TEST(GoldenMacroFiles, EditMacroLoadsAndCompiles) {
    EditMacroFile file;
    ASSERT_TRUE(loadEditFile(golden("edit_macro.eqn1").string(), file).ok);
    EXPECT_EQ(text::cp949ToUtf8(file.header.name), "골든 매크로");
    EXPECT_EQ(+file.header.flags, kFlagPlayOnce);
    EXPECT_TRUE(file.hasTextStore);
    expectLines(*file.document, *file.store, editLines());
    const CompileResult code = compileEditMacro(*file.document, *file.store);
    ASSERT_TRUE(code.ok()) << code.message;
    EXPECT_EQ(testing::hex(code->code), kEditCode);
    EXPECT_EQ(+file.header.bodyLength, static_cast<int>(code->code.size()));
}

TEST(GoldenMacroFiles, CombinationMacroLoadsCompilesAndCarriesItsMemories) {
    CombinationMacroFile file;
    ASSERT_TRUE(loadCombinationFile(golden("combination_macro.cqn1").string(), file).ok);
    EXPECT_EQ(file.header.recordedSet, 0x100u);
    EXPECT_EQ(file.header.editSet, 0x80000000u);
    auto store = newTextStore();
    expectLines(*file.document, *store, combinationLines());
    const CompileResult code = compileCombinationMacro(*file.document, *store);
    ASSERT_TRUE(code.ok()) << code.message;
    EXPECT_EQ(testing::hex(code->code), kCombinationCode);
    EXPECT_EQ(code->recordedSet, 0x100u);
    EXPECT_EQ(code->editSet, 0x80000000u);
}

} // namespace
} // namespace quillon::control

namespace quillon::control {
namespace {

// Every hostile macro file (tests/golden-errors/macros) is refused by the
// reader of its page with that page's message, and nothing is written for it.
TEST(GoldenMacroFiles, HostileFilesAreRefusedWithTheirPagesMessage) {
    const auto folder = std::filesystem::path(QUILLON_SOURCE_DIR) / "tests/golden-errors/macros";
    const auto converted = std::filesystem::path(QUILLON_BINARY_DIR) / "hostile-recorded";
    std::filesystem::remove_all(converted);
    std::filesystem::create_directories(converted);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string path = entry.path().string();
        const std::string name = entry.path().filename().string();
        FileOutcome outcome{true, {}};
        std::string expected;
        switch (pageOfMacroFile(path)) {
        case ControlPage::Edit: {
            EditMacroFile file;
            outcome = loadEditFile(path, file);
            expected = "파일이 손상되어 불러올 수 없습니다.(MakLine=35003)";
            break;
        }
        case ControlPage::Combination: {
            CombinationMacroFile file;
            outcome = loadCombinationFile(path, file);
            expected = "불러오기 실패";
            break;
        }
        case ControlPage::Recorded: {
            RecordedMacroFile file;
            std::string loaded;
            outcome = loadRecordedFile(path, converted.string() + "/", file, loaded);
            expected = "작동 중 문제가 발생했습니다(RecLine=35103)";
            break;
        }
        case ControlPage::AutoClick: {
            AutoClickSettings settings{};
            outcome = loadAutoClickFile(path, settings);
            expected = "불러오기 실패";
            break;
        }
        default:
            ADD_FAILURE() << name << " opens no page";
            continue;
        }
        ++files;
        EXPECT_FALSE(outcome.ok) << name;
        EXPECT_EQ(outcome.message, expected) << name;
    }
    EXPECT_GE(files, 10);
    EXPECT_TRUE(std::filesystem::is_empty(converted)) << "a refused file left something behind";
}

} // namespace
} // namespace quillon::control

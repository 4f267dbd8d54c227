#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file.h"
#include "base/text.h"
#include "control/macro_pages.h"
#include "tests/control/control_test_support.h"
#include "tests/device/fake_macro_memory.h"

namespace quillon::control {
namespace {

using quillon::testing::FakeMacroMemory;
using testing::makeLine;
using testing::Page;

TEST(EditPage, StoreCompilesThenWritesAndReadsBack) {
    Page page;
    page.add(makeLine(1, {{8, testing::rowOf(0x04)}}));
    page.add(makeLine(28, {{16, 10}, {20, 20}, {32, 640}, {36, 480}}));
    FakeMacroMemory memory;
    auto outcome = storeEditMacro(memory, 13, "", kFlagFps, *page.document, *page.store);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(outcome.message, "저장 완료");
    EXPECT_EQ(+memory.edit[13].magic, kEditMagic);
    EXPECT_EQ(+memory.edit[13].bodyLength, memory.editBodies[13].size());
    EXPECT_EQ(text::cp949ToUtf8(memory.edit[13].name), "새로 만든 매크로");
    EXPECT_EQ(testing::hex(memory.editBodies[13]), "01 04 1C 01 2D 01 F5 02 80 01 E0 EE");

    Page back;
    back.document->head.listWindow = 5;
    MachineMacro info;
    ASSERT_TRUE(loadEditMacroFromMachine(memory, 13, *back.document, *back.store, nullptr, info));
    EXPECT_EQ(back.document->head.lineCount, 2);
    EXPECT_EQ(back.document->head.listWindow, 5u);
    EXPECT_EQ(info.flags, kFlagFps);
    EXPECT_EQ(info.referenceWidth, 640);
    EXPECT_EQ(info.referenceHeight, 480);
    EXPECT_FALSE(loadEditMacroFromMachine(memory, 0, *back.document, *back.store, nullptr, info)); // empty
    EXPECT_EQ(back.document->head.lineCount, 2);
}

TEST(EditPage, CompileErrorLeavesTheMemoryAlone) {
    Page page;
    page.add(makeLine(103));
    FakeMacroMemory memory;
    auto outcome = storeEditMacro(memory, 0, "x", 0, *page.document, *page.store);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "1줄에서 반복시작과 반복끝의 짝이 맞지 않습니다.");
    EXPECT_TRUE(memory.log.empty());
}

TEST(CombinationPage, StoreCarriesTheBitSets) {
    Page page;
    page.add(makeLine(208, {{12, 8}}));
    page.add(makeLine(209, {{12, 31}}));
    FakeMacroMemory memory;
    ASSERT_TRUE(storeCombinationMacro(memory, 7, "조합", kFlagPlayOnce, *page.document, *page.store).ok);
    EXPECT_EQ(+memory.combination[7].recordedSet, 0x100u);
    EXPECT_EQ(+memory.combination[7].editSet, 0x80000000u);
    EXPECT_EQ(testing::hex(memory.combinationBodies[7]), "D0 08 D1 1F EE");
    Page back;
    MachineMacro info;
    ASSERT_TRUE(loadCombinationMacroFromMachine(memory, 7, *back.document, *back.store, nullptr, info));
    EXPECT_EQ(info.name, "조합");
    EXPECT_EQ(lineDisplayText(back.document->lines[1]), "4-8편집매크로를 재생한다");
}

TEST(RecordedPage, MemoryToFileAndFileToMemory) {
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files/";
    std::filesystem::create_directories(folder);
    FakeMacroMemory memory;
    memory.putRecorded(2, {0x40, 0x41, 0x42});
    memory.recorded[2].recordingLength = 1500;
    RecordedPageOptions page = showRecordedHeader(memory.recorded[2]);
    page.name = "녹화";
    page.mode = kRecordedModeFps;
    page.mouseLock = false; // shown checked and disabled in this mode: saved with the bit
    const std::string path = folder + "page.rqn1";
    ASSERT_TRUE(saveRecordedMemoryToFile(memory, 2, page, path).ok);
    RecordedMacroFile file;
    auto bytes = readFile(path);
    ASSERT_TRUE(bytes && decodeRecordedFile(bytes->data(), bytes->size(), file));
    EXPECT_EQ(file.header.flags, 0x0090);
    EXPECT_EQ(+file.header.recordingLength, 1500u);
    EXPECT_EQ(file.body, (std::vector<uint8_t>{0x40, 0x41, 0x42}));

    page.name = "";
    ASSERT_TRUE(writeRecordedFileToMemory(path, 30, page, memory).ok);
    EXPECT_EQ(memory.recordedBodies[30], (std::vector<uint8_t>{0x40, 0x41, 0x42}));
    EXPECT_EQ(text::cp949ToUtf8(memory.recorded[30].name), "새로 만든 매크로");
    EXPECT_EQ(memory.log, (std::vector<std::string>{"recorded header 30", "recorded body 30"}));
    auto missing = writeRecordedFileToMemory(path + ".gone", 30, page, memory);
    EXPECT_EQ(missing.message, "작동 중 문제가 발생했습니다(RecLine=35201)");
}

} // namespace
} // namespace quillon::control

namespace quillon::control {
namespace {

TEST(EditPage, SavingAnEmptyDocumentDoesNothing) {
    testing::Page page;
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/never.eqn1";
    std::filesystem::remove(path);
    auto outcome = saveEditPageFile(path, "x", 0, ExtraBlock{}, *page.document, *page.store);
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    page.add(testing::makeLine(224));
    EXPECT_EQ(saveEditPageFile(path, "x", 0, ExtraBlock{}, *page.document, *page.store).message, "저장 완료");
    EditMacroFile file;
    ASSERT_TRUE(loadEditFile(path, file).ok);
    EXPECT_EQ(+file.header.bodyLength, 2);
}

TEST(AutoClickPage, FirstShowingTakesTheMachineRecordOrTheDefaults) {
    std::array<uint8_t, kAutoClickBlockSize> block{};
    AutoClickSettings shown = autoClickSettingsForFirstShowing(block.data(), block.size());
    EXPECT_EQ(shown.clickOn, 1);
    EXPECT_EQ(shown.button, 1);
    EXPECT_EQ(shown.clickSpeed, 50);
    EXPECT_EQ(shown.keyRelease, 10);
    EXPECT_EQ(shown.keyCount, 0);
    AutoClickSettings stored = defaultAutoClickSettings();
    stored.clickSpeed = 7;
    ASSERT_TRUE(buildAutoClickBlock(stored, block));
    EXPECT_EQ(autoClickSettingsForFirstShowing(block.data(), block.size()).clickSpeed, 7);
}

} // namespace
} // namespace quillon::control

namespace quillon::control {
namespace {

TEST(AutoClickPage, MachineStoreAndLoad) {
    quillon::testing::FakeMacroMemory memory;
    AutoClickSettings settings = defaultAutoClickSettings();
    AutoClickSettings loaded{};
    EXPECT_EQ(loadAutoClickFromMachine(memory, loaded).message, "잘못된 데이터입니다.");
    settings.clickPress = 65000;
    EXPECT_EQ(storeAutoClick(memory, settings).message, "정확한 버튼 누르고 있는 시간을 입력해주세요(1~65000)");
    EXPECT_TRUE(memory.log.empty());
    settings.clickPress = 10;
    EXPECT_EQ(storeAutoClick(memory, settings).message, "저장 완료");
    EXPECT_EQ(testing::hex(std::vector<uint8_t>(memory.autoClick.begin(), memory.autoClick.begin() + 9)),
              "10 70 00 0A 13 70 00 0A EE");
    auto outcome = loadAutoClickFromMachine(memory, loaded);
    EXPECT_EQ(outcome.message, "불러오기 완료");
    EXPECT_EQ(loaded.clickSpeed, 50);
}

} // namespace
} // namespace quillon::control

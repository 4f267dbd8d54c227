#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file.h"
#include "base/text.h"
#include "control/key_stream.h"
#include "control/macro_compiler.h"
#include "control/forms/line_forms.h"
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
    auto outcome = storeEditMacro(memory, 13, "", kFlagFps, compileEditMacro(*page.document, *page.store));
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(outcome.message, "저장 완료");
    EXPECT_EQ(+memory.edit[13].magic, kEditMagic);
    EXPECT_EQ(+memory.edit[13].bodyLength, memory.editBodies[13].size());
    EXPECT_EQ(text::cp949ToUtf8(memory.edit[13].name), "새로 만든 매크로");
    EXPECT_EQ(testing::hex(memory.editBodies[13]), "01 04 1C 01 2D 01 F5 02 80 01 E0 EE");
    // The page's memory list shows the header the store wrote.
    EXPECT_EQ(std::memcmp(&outcome.header, &memory.edit[13], sizeof outcome.header), 0);

    Page back;
    back.document->head.listWindow = 5;
    MachineMacro info;
    ASSERT_TRUE(loadEditMacroFromMachine(memory, 13, *back.document, *back.store, nullptr, info));
    EXPECT_EQ(back.document->head.lineCount, 2);
    EXPECT_EQ(back.document->head.listWindow, 5u);
    EXPECT_EQ(info.flags, kFlagFps);
    EXPECT_EQ(info.referenceWidth, 640);
    EXPECT_EQ(info.referenceHeight, 480);
    EXPECT_TRUE(info.complete);
    EXPECT_FALSE(loadEditMacroFromMachine(memory, 0, *back.document, *back.store, nullptr, info)); // empty
    EXPECT_EQ(back.document->head.lineCount, 2);

    // A code the reader cannot follow to its end (opcode 250 after one key
    // line) comes back in part, and the notice says where it stopped.
    memory.putEdit(14, {0x01, 0x04, 0xFA, 0x01, 0x04, 0xEE});
    ASSERT_TRUE(loadEditMacroFromMachine(memory, 14, *back.document, *back.store, nullptr, info));
    EXPECT_FALSE(info.complete);
    EXPECT_EQ(info.linesRead, 1);
    EXPECT_EQ(back.document->head.lineCount, 1);
    EXPECT_NE(partialReadNotice(info.linesRead).find("1번째 줄 다음에서"), std::string::npos);
}

TEST(EditPage, CompileErrorLeavesTheMemoryAlone) {
    Page page;
    page.add(makeLine(103));
    FakeMacroMemory memory;
    auto outcome = storeEditMacro(memory, 0, "x", 0, compileEditMacro(*page.document, *page.store));
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "1줄에서 반복시작과 반복끝의 짝이 맞지 않습니다.");
    EXPECT_TRUE(memory.log.empty());
}

TEST(CombinationPage, StoreCarriesTheBitSets) {
    Page page;
    page.add(makeLine(208, {{12, 8}}));
    page.add(makeLine(209, {{12, 31}}));
    FakeMacroMemory memory;
    const auto stored =
        storeCombinationMacro(memory, 7, "조합", kFlagPlayOnce, compileCombinationMacro(*page.document, *page.store));
    ASSERT_TRUE(stored.ok);
    EXPECT_EQ(std::memcmp(&stored.header, &memory.combination[7], sizeof stored.header), 0);
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

// A macro made on one screen, read back (or opened) on a page whose
// screenshot is another: the page takes the macro's screen, so a move line
// changed through its dialog without touching it and stored again gives the
// machine the same bytes (on the screenshot's screen the point would move, or
// lie outside it and be refused).
TEST(EditPage, AReadBackMacroBringsItsReferenceScreen) {
    struct Row {
        int width, height, x, y;
        bool random;
    };
    const Row rows[] = {
        {1920, 1080, 1919, 1079, false}, {1366, 768, 683, 384, true}, {640, 480, 0, 0, false},
        {3840, 2160, 2500, 1500, false}, // outside the 1280 x 800 screenshot
        {1280, 1024, 1, 1023, true},
    };
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files";
    std::filesystem::create_directories(folder);
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.width << "x" << row.height << " at " << row.x << "," << row.y);
        LineFormContext made;
        made.screenWidth = row.width;
        made.screenHeight = row.height;
        MoveLineForm move;
        move.random = row.random;
        move.x = row.x;
        move.y = row.y;
        const BuiltLine built = build(LineForm{move}, made);
        ASSERT_TRUE(built.ok());
        testing::Page page;
        page.add(testing::makeLine(1, {{8, testing::rowOf(0x04)}}));
        page.add(*built.value);
        page.add(testing::makeLine(30, {{16, -5}, {20, 7}, {32, 800}, {36, 600}})); // a distance: not a screen
        FakeMacroMemory memory;
        ASSERT_TRUE(storeEditMacro(memory, 4, "", 0, compileEditMacro(*page.document, *page.store)).ok);
        const std::vector<uint8_t> stored = memory.editBodies[4];

        testing::Page back;
        MachineMacro info;
        ASSERT_TRUE(loadEditMacroFromMachine(memory, 4, *back.document, *back.store, nullptr, info));
        const ReferenceScreen screen{row.width, row.height};
        EXPECT_EQ(referenceScreenOf(info), screen);
        const std::string path = folder + "/reference.eqn1";
        ASSERT_TRUE(saveEditPageFile(path, "x", 0, ExtraBlock{}, *page.document, *page.store).ok);
        EditMacroFile file;
        ASSERT_TRUE(loadEditFile(path, file).ok);
        EXPECT_EQ(referenceScreenOf(*file.document), screen);

        // "선택줄 수정" of the move on the page's screen, then stored again.
        LineFormContext pageContext;
        pageContext.screenWidth = referenceScreenOf(info).width;
        pageContext.screenHeight = referenceScreenOf(info).height;
        const std::optional<LineForm> form = formOf(back.document->lines[1], pageContext);
        ASSERT_TRUE(form.has_value());
        const BuiltLine changed = build(*form, pageContext);
        ASSERT_TRUE(changed.ok());
        back.document->lines[1] = *changed.value;
        ASSERT_TRUE(storeEditMacro(memory, 5, "", 0, compileEditMacro(*back.document, *back.store)).ok);
        EXPECT_EQ(testing::hex(memory.editBodies[5]), testing::hex(stored));
    }
    testing::Page none;
    none.add(testing::makeLine(30, {{16, 1}, {20, 1}, {32, 800}, {36, 600}}));
    EXPECT_FALSE(referenceScreenOf(*none.document).known());
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

namespace quillon::control {
namespace {

using testing::makeLine;
using testing::Page;

void putText(TextStore& store, int slot, const char* text) {
    store.slots[slot].inUse = 1;
    std::strcpy(store.slots[slot].text, text);
}

TEST(MacroPageFiles, LoadedTextsTakeFreeSlotsAndLeaveTheOtherPagesTexts) {
    Page other, replaced, loaded;
    TextStore& shared = *other.store;
    putText(shared, 0, "other");
    other.add(makeLine(kind::kTypeText, {{8, 0}}));
    putText(shared, 1, "replaced");
    replaced.add(makeLine(kind::kTypeText, {{8, 1}}));
    auto fileStore = newTextStore();
    putText(*fileStore, 0, "file-0");
    putText(*fileStore, 5, "file-5");
    for (int slot : {0, 5, 0}) loaded.document->lines[loaded.document->head.lineCount++] = makeLine(8, {{8, slot}});

    ASSERT_TRUE(adoptFileTexts(*loaded.document, *fileStore, shared, *replaced.document, other.document.get()));
    EXPECT_EQ(P(loaded.document->lines[0], 8), 1);
    EXPECT_EQ(P(loaded.document->lines[1], 8), 2);
    EXPECT_EQ(P(loaded.document->lines[2], 8), 1);
    EXPECT_STREQ(shared.slots[0].text, "other");
    EXPECT_STREQ(shared.slots[1].text, "file-0");
    EXPECT_STREQ(shared.slots[2].text, "file-5");
    EXPECT_EQ(lowestFreeSlot(shared), 3);

    // A full store refuses the file and keeps everything as it was.
    Page crowded, again;
    for (int slot = 0; slot < kTextSlotCount; ++slot) {
        putText(*crowded.store, slot, "x");
        crowded.add(makeLine(kind::kTypeText, {{8, slot}}));
    }
    again.document->lines[again.document->head.lineCount++] = makeLine(8, {{8, 5}});
    again.document->lines[again.document->head.lineCount++] = makeLine(8, {{8, 0}});
    EXPECT_FALSE(adoptFileTexts(*again.document, *fileStore, *crowded.store, *replaced.document,
                                crowded.document.get()));
    EXPECT_EQ(P(again.document->lines[0], 8), 5);
    EXPECT_EQ(P(again.document->lines[1], 8), 0);
    EXPECT_STREQ(crowded.store->slots[0].text, "x");
}

TEST(MacroPageFiles, RecoveryCopiesLoadBackWithoutTheMachine) {
    const LocalTime time{2026, 12, 2, 8, 15, 25, 2};
    EXPECT_EQ(recoveryFileName(false, time), "복구-20261208-152502.eqn1");
    EXPECT_EQ(recoveryFileName(true, time), "복구-20261208-152502.cqn1");
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-recovery/";
    std::filesystem::create_directories(folder);

    Page edit;
    edit.add(makeLine(1, {{8, testing::rowOf(0x04)}}));
    edit.add(makeLine(kind::kRepeatStart, {{16, 3}}));
    std::string path;
    ASSERT_TRUE(saveRecoveryCopy(folder, false, "작업", kFlagFps, time, *edit.document, *edit.store, path).ok);
    EXPECT_EQ(path, folder + "복구-20261208-152502.eqn1");
    EditMacroFile editBack;
    ASSERT_TRUE(loadEditFile(path, editBack).ok);
    EXPECT_EQ(editBack.document->head.lineCount, 2);
    EXPECT_EQ(text::cp949ToUtf8(editBack.header.name), "작업");
    EXPECT_EQ(+editBack.header.flags, kFlagFps);
    EXPECT_EQ(+editBack.header.bodyLength, 0); // an open repeat does not compile

    // A combination copy plays memories but carries none of them.
    Page combination;
    combination.add(makeLine(kind::kPlayRecorded, {{12, 8}}));
    combination.add(makeLine(kind::kPlayEdit, {{12, 31}}));
    ASSERT_TRUE(saveRecoveryCopy(folder, true, "", 0, time, *combination.document, *combination.store, path).ok);
    CombinationMacroFile back;
    ASSERT_TRUE(loadCombinationFile(path, back).ok);
    EXPECT_EQ(back.header.recordedSet, 0u);
    EXPECT_EQ(back.header.editSet, 0u);
    EXPECT_EQ(+back.header.bodyLength, 5);
    EXPECT_EQ(text::cp949ToUtf8(back.header.name), "새로 만든 매크로");
    const CompileResult code = compileCombinationMacro(*back.document, *combination.store);
    ASSERT_TRUE(code.ok());
    EXPECT_EQ(testing::hex(code->code), "D0 08 D1 1F EE");
}

} // namespace
} // namespace quillon::control

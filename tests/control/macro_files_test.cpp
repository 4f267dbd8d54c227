#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/byte_order.h"
#include "base/file.h"
#include "base/lznt1.h"
#include "base/text.h"
#include "control/key_stream.h"
#include "control/macro_compiler.h"
#include "control/macro_files.h"
#include "control/recorded_macro.h"
#include "tests/control/control_test_support.h"
#include "tests/device/fake_macro_memory.h"

namespace quillon::control {
namespace {

using quillon::testing::FakeMacroMemory;
using testing::makeLine;
using testing::Page;

std::string scratchFolder() {
    std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files/";
    std::filesystem::create_directories(folder);
    return folder;
}

std::vector<uint8_t> fileBytes(const std::string& path) { return readFile(path).value_or(std::vector<uint8_t>{}); }

EditMemoryHeader editHeader(const char* name, uint16_t length) {
    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.flags = kFlagFps | kFlagPlayOnce;
    setMacroName(header.name, name, 40);
    header.bodyLength = length;
    return header;
}

void buildSample(Page& page) {
    auto placed = placeTypingText(*page.store, *page.document, -1, "안녕 hello\r\n", 800);
    page.add(makeLine(88, {{8, 1}, {16, 3}}));
    page.add(makeLine(8, {{8, *placed}}));
    page.add(makeLine(28, {{16, 100}, {20, 50}, {32, 1024}, {36, 768}}));
    page.add(makeLine(103));
    setMemo(page.document->lines[1], "메모");
    page.document->head.currentLine = 2;
}

TEST(EditFile, RoundTripIsByteIdenticalAndCompilesToTheSameCode) {
    Page page;
    buildSample(page);
    auto code = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(code.ok());
    ExtraBlock extra{};
    extra[7] = 0x42;
    const std::string path = scratchFolder() + "sample.eqn1";
    ASSERT_TRUE(saveEditFile(path, editHeader("샘플", static_cast<uint16_t>(code->code.size())), extra, *page.document,
                             *page.store)
                    .ok);
    EXPECT_EQ(page.document->head.textStoreFollows, 1);

    EditMacroFile loaded;
    ASSERT_TRUE(loadEditFile(path, loaded).ok);
    EXPECT_TRUE(loaded.hasTextStore);
    EXPECT_EQ(loaded.extra[7], 0x42);
    EXPECT_EQ(loaded.document->head.lineCount, 4);
    EXPECT_EQ(loaded.document->head.currentLine, 2);
    EXPECT_EQ(std::memcmp(loaded.document.get(), page.document.get(), sizeof(MacroDocument)), 0);
    auto again = compileEditMacro(*loaded.document, *loaded.store);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->code, code->code);

    auto bytes = encodeEditFile(loaded.header, loaded.extra, *loaded.document, *loaded.store);
    EXPECT_EQ(bytes, fileBytes(path));
}

std::vector<uint8_t> block(const void* content, size_t length) {
    std::vector<uint8_t> packed(lznt1::compressBound(length) + 4);
    size_t n = lznt1::compress(static_cast<const uint8_t*>(content), length, packed.data() + 4, packed.size() - 4);
    storeLe32(packed.data(), static_cast<uint32_t>(n));
    packed.resize(n + 4);
    return packed;
}

TEST(EditFile, StoreIsReadOnlyWhenTheHeadSaysSo) {
    Page page;
    buildSample(page);
    EditMemoryHeader header = editHeader("a", 1);
    ExtraBlock extra{};
    // An older file: three blocks, head word 0 not positive.
    page.document->head.textStoreFollows = 0;
    std::vector<uint8_t> bytes = block(&header, sizeof(header));
    for (auto part : {block(extra.data(), extra.size()), block(page.document.get(), sizeof(MacroDocument))}) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    EditMacroFile older;
    ASSERT_TRUE(decodeEditFile(bytes.data(), bytes.size(), older));
    EXPECT_FALSE(older.hasTextStore);
    EXPECT_EQ(older.store->slots[0].inUse, 0);
    EXPECT_EQ(older.document->head.lineCount, 4);

    // Marked, but the store block is missing: refused.
    page.document->head.textStoreFollows = 1;
    std::vector<uint8_t> marked = block(&header, sizeof(header));
    for (auto part : {block(extra.data(), extra.size()), block(page.document.get(), sizeof(MacroDocument))}) {
        marked.insert(marked.end(), part.begin(), part.end());
    }
    EditMacroFile missing;
    EXPECT_FALSE(decodeEditFile(marked.data(), marked.size(), missing));
}

TEST(EditFile, DamagedFilesAreRefusedWithoutTouchingThePage) {
    Page page;
    buildSample(page);
    auto bytes = encodeEditFile(editHeader("a", 1), ExtraBlock{}, *page.document, *page.store);
    // Every cut of the file is refused.
    for (size_t cut : {size_t{0}, size_t{3}, size_t{20}, bytes.size() / 2, bytes.size() - 1}) {
        EditMacroFile out;
        EXPECT_FALSE(decodeEditFile(bytes.data(), cut, out)) << cut;
    }
    // A block length beyond the end of the file.
    auto lying = bytes;
    storeLe32(lying.data(), 0x7FFFFFFF);
    EditMacroFile out;
    EXPECT_FALSE(decodeEditFile(lying.data(), lying.size(), out));

    // A document with too many lines.
    Page bad;
    bad.document->head.lineCount = kMaxLines + 1;
    auto tooMany = encodeEditFile(editHeader("a", 1), ExtraBlock{}, *bad.document, *bad.store);
    EXPECT_FALSE(decodeEditFile(tooMany.data(), tooMany.size(), out));

    // A text slot whose lengths exceed its fields.
    Page badSlot;
    badSlot.store->slots[3].inUse = 1;
    badSlot.store->slots[3].textLength = 40000;
    auto slotBytes = encodeEditFile(editHeader("a", 1), ExtraBlock{}, *badSlot.document, *badSlot.store);
    EXPECT_FALSE(decodeEditFile(slotBytes.data(), slotBytes.size(), out));

    const std::string path = scratchFolder() + "damaged.eqn1";
    ASSERT_TRUE(writeFileAtomic(path, bytes.data(), bytes.size() / 2));
    EditMacroFile loaded;
    auto outcome = loadEditFile(path, loaded);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "파일이 손상되어 불러올 수 없습니다.(MakLine=35003)");
    EXPECT_EQ(loadEditFile(scratchFolder() + "missing.eqn1", loaded).message,
              "작동 중 문제가 발생했습니다(MakLine=35001)");
}

TEST(EditFile, UnterminatedTextFieldsAreMadeSafe) {
    Page page;
    page.add(makeLine(224));
    std::memset(page.document->lines[0].sentence, 'x', kSentenceSize);
    std::memset(page.document->lines[0].memo, 'y', kMemoSize);
    page.document->lines[0].memoLength = 500;
    auto bytes = encodeEditFile(editHeader("a", 1), ExtraBlock{}, *page.document, *page.store);
    EditMacroFile out;
    ASSERT_TRUE(decodeEditFile(bytes.data(), bytes.size(), out));
    EXPECT_EQ(out.document->lines[0].sentenceLength, kSentenceSize - 1);
    EXPECT_EQ(out.document->lines[0].memoLength, kMemoSize - 1);
}

TEST(CombinationFile, CarriesThePlayedMemoriesInOrder) {
    Page page;
    page.add(makeLine(209, {{12, 1}}));   // edit 1-2
    page.add(makeLine(208, {{12, 10}}));  // recorded 2-3
    page.add(makeLine(208, {{12, 0}}));   // recorded 1-1
    FakeMacroMemory memory;
    memory.putRecorded(0, {1, 2, 3});
    memory.putRecorded(10, {4, 5});
    memory.putEdit(1, {0x01, 0x04, 0xEE});

    CombinationMemoryHeader header{};
    header.magic = kCombinationMagic;
    std::strcpy(header.name, "combo");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeCombinationFile(header, ExtraBlock{}, *page.document, memory, bytes));

    CombinationMacroFile loaded;
    ASSERT_TRUE(decodeCombinationFile(bytes.data(), bytes.size(), loaded));
    EXPECT_EQ(+loaded.header.recordedSet, 0x00000401u);
    EXPECT_EQ(+loaded.header.editSet, 0x00000002u);
    EXPECT_EQ(loaded.document->head.lineCount, 3);

    // The tail: recorded 0, recorded 10, edit 1, each header + 400 bytes + body.
    const size_t tail = 63 + 400 + 3 + 63 + 400 + 2 + 53 + 400 + 3;
    ASSERT_GT(bytes.size(), tail);
    const uint8_t* p = bytes.data() + bytes.size() - tail;
    EXPECT_EQ(loadLe16(p), kRecordedMagic);
    EXPECT_EQ(p[463], 1);
    EXPECT_EQ(p[466 + 463], 4);
    EXPECT_EQ(loadLe16(p + 466 + 465), kEditMagic);
    EXPECT_EQ(bytes.back(), 0xEE);

    // Writing them back into a machine: ascending, recorded first.
    FakeMacroMemory target;
    ASSERT_TRUE(storeEmbeddedMacros(bytes.data(), bytes.size(), target).ok);
    EXPECT_EQ(target.log, (std::vector<std::string>{"recorded header 0", "recorded body 0", "recorded header 10",
                                                    "recorded body 10", "edit header 1", "edit body 1"}));
    EXPECT_EQ(target.recordedBodies[10], (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(target.editBodies[1], (std::vector<uint8_t>{0x01, 0x04, 0xEE}));

    // A file cut inside the carried memories stops with the message.
    FakeMacroMemory partial;
    auto outcome = storeEmbeddedMacros(bytes.data(), bytes.size() - 2, partial);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "작동 중 문제가 발생했습니다(ComLine=45001)");
}

TEST(CombinationFile, EmptyRecordedMemoryGivesHeaderAndBlockOnly) {
    Page page;
    page.add(makeLine(208, {{12, 5}}));
    FakeMacroMemory memory; // memory 5 is empty
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeCombinationFile(CombinationMemoryHeader{}, ExtraBlock{}, *page.document, memory, bytes));
    CombinationMacroFile probe;
    ASSERT_TRUE(decodeCombinationFile(bytes.data(), bytes.size(), probe));
    // Nothing is written for an empty memory.
    FakeMacroMemory target;
    ASSERT_TRUE(storeEmbeddedMacros(bytes.data(), bytes.size(), target).ok);
    EXPECT_TRUE(target.log.empty());
    // The file ends with 63 + 400 bytes after the document block.
    const uint8_t* tail = bytes.data() + bytes.size() - 463;
    EXPECT_EQ(loadLe16(tail), 0);
}

TEST(CombinationFile, FailedMemoryReadKeepsThePreviousFile) {
    Page page;
    page.add(makeLine(208, {{12, 0}}));
    FakeMacroMemory memory;
    memory.putRecorded(0, {9});
    const std::string path = scratchFolder() + "keep.cqn1";
    CombinationMemoryHeader header{};
    ASSERT_TRUE(saveCombinationFile(path, header, ExtraBlock{}, *page.document, memory).ok);
    auto before = fileBytes(path);
    memory.failReadsAfter = 1; // the header reads, the body does not
    auto outcome = saveCombinationFile(path, header, ExtraBlock{}, *page.document, memory);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "기계와 통신이 되지 않습니다(45002)");
    EXPECT_TRUE(outcome.linkLost);
    EXPECT_EQ(fileBytes(path), before);
    CombinationMacroFile loaded;
    EXPECT_TRUE(loadCombinationFile(path, loaded).ok);
    EXPECT_EQ(loadCombinationFile(path + ".none", loaded).message, "불러오기 실패");
}

TEST(CombinationFile, Question) {
    EXPECT_EQ(embeddedMacroQuestion(0x401, 0),
              "이 조합매크로에는 녹화/편집매크로가 포함되어 있습니다.\n녹화/편집매크로도 기계로 저장하시겠습니까?\n"
              "(주의:기계로 저장을 하게 되면 이전 매크로들을 덮어쓰게 됩니다.)\n\n1-1 2-3 녹화메모리 사용 중.\n"
              "\n예: 사용된 매크로를 기계에 저장합니다\n아니오: 사용된 매크로를 기계에 저장하지 않습니다.(조합매크로 코드만 저장)\n");
    EXPECT_NE(embeddedMacroQuestion(0, 0x80000000).find("4-8 편집메모리 사용 중.\n"), std::string::npos);
}

TEST(WorkingCopy, ThreeBlocksAndAnEmptyHeaderStopsEarly) {
    Page page;
    buildSample(page);
    auto bytes = encodeEditFile(editHeader("w", 9), ExtraBlock{}, *page.document, *page.store);
    const std::string path = scratchFolder() + kWorkingCopyName;
    ASSERT_TRUE(writeFileAtomic(path, bytes.data(), bytes.size()));
    EditMacroFile edit;
    CombinationMacroFile combination;
    ASSERT_TRUE(loadWorkingCopy(path, 1, edit, combination).ok);
    EXPECT_FALSE(edit.hasTextStore);
    EXPECT_EQ(edit.document->head.lineCount, 4);

    // A header of length 0: the reading stops after it, whatever follows.
    auto empty = encodeEditFile(editHeader("w", 0), ExtraBlock{}, *page.document, *page.store);
    const size_t headerBlock = 4 + loadLe32(empty.data());
    EditMacroFile stopped;
    ASSERT_TRUE(decodeEditFile(empty.data(), headerBlock, stopped, true));
    EXPECT_EQ(stopped.document->head.lineCount, 0);
    EditMacroFile cut;
    EXPECT_FALSE(decodeEditFile(bytes.data(), headerBlock, cut, true)); // length 9: the document must follow
}

TEST(RecordedFile, RoundTripAndDamage) {
    RecordedMacroFile file;
    file.header.magic = kRecordedMagic;
    file.header.flags = 0x0021;
    std::strcpy(file.header.name, "rec");
    file.header.recordingLength = 2000;
    file.extra[0] = 7;
    file.body = {0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x40};
    const std::string path = scratchFolder() + "r.rqn1";
    ASSERT_TRUE(saveRecordedFile(path, file).ok);
    auto bytes = fileBytes(path);
    EXPECT_EQ(bytes.size(), 63u + 400 + 11);
    RecordedMacroFile whole;
    ASSERT_TRUE(decodeRecordedFile(bytes.data(), bytes.size(), whole));
    EXPECT_EQ(encodeRecordedFile(whole), bytes);

    RecordedMacroFile out;
    EXPECT_FALSE(decodeRecordedFile(bytes.data(), bytes.size() - 1, out)); // body cut short
    EXPECT_FALSE(decodeRecordedFile(bytes.data(), 62, out));

    // Loading shows the header alone, even of a file whose body is cut short
    // or missing with its block.
    for (size_t size : {bytes.size(), bytes.size() - 1, size_t{63}}) {
        const std::string cutPath = scratchFolder() + "cut.rqn1";
        ASSERT_TRUE(writeFileAtomic(cutPath, bytes.data(), size));
        RecordedMacroFile loaded;
        loaded.body = {1, 2, 3};
        std::string loadedPath;
        ASSERT_TRUE(loadRecordedFile(cutPath, scratchFolder(), loaded, loadedPath).ok) << size;
        EXPECT_EQ(loadedPath, cutPath);
        EXPECT_STREQ(loaded.header.name, "rec");
        EXPECT_EQ(+loaded.header.flags, 0x0021);
        EXPECT_EQ(+loaded.header.bodyLength, 11u);
        EXPECT_TRUE(loaded.body.empty());
        EXPECT_EQ(loaded.extra[0], 0);
        // Writing or saving reads the whole file again, which a cut body fails.
        RecordedMacroFile again;
        EXPECT_EQ(decodeRecordedFile(fileBytes(cutPath).data(), size, again), size == bytes.size()) << size;
    }
    RecordedMacroFile loaded;
    std::string loadedPath;
    const std::string headerless = scratchFolder() + "headerless.rqn1";
    ASSERT_TRUE(writeFileAtomic(headerless, bytes.data(), 62));
    EXPECT_FALSE(loadRecordedFile(headerless, scratchFolder(), loaded, loadedPath).ok);
    EXPECT_EQ(loadRecordedFile(path + "x", scratchFolder(), loaded, loadedPath).message,
              "작동 중 문제가 발생했습니다(RecLine=35101)");
}

std::vector<uint8_t> mgild(uint16_t flags, std::vector<uint8_t> body) {
    std::vector<uint8_t> file(164 + body.size(), 0);
    if (!body.empty()) std::memcpy(&file[164], body.data(), body.size());
    storeBe16(&file[18], flags);
    std::memcpy(&file[20], "old macro", 9);
    storeBe32(&file[113], static_cast<uint32_t>(body.size()));
    storeBe32(&file[117], 2500);
    storeBe16(&file[121], 30);
    storeBe16(&file[123], 7);
    return file;
}

TEST(RecordedFile, OlderFilesAreConvertedAndWrittenAsNewOnes) {
    const std::vector<uint8_t> body = {0x12, 0, 0, 0, 0, 0x64, 0x00, 0x32, 0x00, 0, 0x45, 0x20, 1, 2, 3, 4, 5};
    // Standard mode: the body is untouched.
    auto standard = convertMgild(mgild(0x0301, body));
    ASSERT_TRUE(standard);
    RecordedMacroFile file;
    ASSERT_TRUE(decodeRecordedFile(standard->data(), standard->size(), file));
    EXPECT_EQ(+file.header.magic, kRecordedMagic);
    EXPECT_EQ(+file.header.flags, 0x0001);
    EXPECT_STREQ(file.header.name, "old macro");
    EXPECT_EQ(+file.header.recordingLength, 2500u);
    EXPECT_EQ(loadBe16(file.header.firstDelay), 300);
    EXPECT_EQ(loadBe16(file.header.secondDelay), 70);
    EXPECT_EQ(file.body, body);

    // Coordinate mode: positions of pointer records times ten.
    auto coordinates = convertMgild(mgild(0x0020, body));
    ASSERT_TRUE(coordinates);
    ASSERT_TRUE(decodeRecordedFile(coordinates->data(), coordinates->size(), file));
    EXPECT_EQ(file.body[5], 0xE8);
    EXPECT_EQ(file.body[6], 0x03);
    EXPECT_EQ(loadLe16(&file.body[7]), 500);
    EXPECT_EQ(file.body[10], 0x45); // other records as they were

    auto cut = mgild(0, body);
    cut.pop_back();
    storeBe32(&cut[113], static_cast<uint32_t>(body.size()));
    EXPECT_FALSE(convertMgild(cut));

    const std::string folder = scratchFolder() + "rec/";
    std::filesystem::create_directories(folder);
    const std::string old = scratchFolder() + "legacy.mgild";
    auto bytes = mgild(0x0020, body);
    ASSERT_TRUE(writeFileAtomic(old, bytes.data(), bytes.size()));
    RecordedMacroFile loaded;
    std::string loadedPath;
    ASSERT_TRUE(loadRecordedFile(old, folder, loaded, loadedPath).ok);
    EXPECT_EQ(loadedPath, folder + "legacy.rqn1");
    EXPECT_EQ(fileBytes(loadedPath), *coordinates);
}

TEST(RecordedPage, HeaderDisplayAndFlags) {
    RecordedMemoryHeader header{};
    header.flags = 0x4000 | 0x0800 | 0x0100 | 0x0010 | 0x0003; // FPS mode, mouse lock bit clear
    header.recordingLength = 2000;
    header.bodyLength = 1234;
    std::strcpy(header.name, "\xB1\xE2"); // "기"
    auto shown = showRecordedHeader(header);
    EXPECT_EQ(shown.name, "기");
    EXPECT_EQ(shown.speed, 3);
    EXPECT_EQ(shown.mode, 1);
    EXPECT_TRUE(shown.mouseLock);
    EXPECT_FALSE(shown.mouseLockEnabled);
    EXPECT_TRUE(shown.playOnce && shown.keyboardOnly && shown.noStartDelay && !shown.noEndDelay);
    EXPECT_EQ(shown.lengthText, "2.0초");
    EXPECT_EQ(shown.sizeText, "1234바이트");
    EXPECT_EQ(recordedFlags(shown), 0x4000 | 0x0800 | 0x0100 | 0x0080 | 0x0010 | 0x0003);

    shown.mode = kRecordedModeCoordinates;
    shown.mouseLock = false;
    EXPECT_EQ(recordedFlags(shown) & 0x80, 0);
    RecordedPageState state;
    EXPECT_FALSE(state.canSave());
    state.chooseMemory(13, "abc");
    EXPECT_EQ(state.currentMacroText(), "2-6메모리\r\nabc");
    state.chooseFile("C:\\r\\x.rqn1");
    EXPECT_TRUE(state.canSave());
    EXPECT_EQ(state.currentMacroText(), "C:\\r\\x.rqn1");
    char name[42];
    setRecordedName(name, "");
    EXPECT_EQ(text::cp949ToUtf8(name), "새로 만든 매크로");
    setRecordedName(name, std::string(50, 'n'));
    EXPECT_EQ(std::strlen(name), 39u);
}

TEST(RecordedPage, RecordWalk) {
    const std::pair<uint8_t, size_t> lengths[] = {{0x00, 8}, {0x1F, 10}, {0x20, 6}, {0x3A, 6}, {0x40, 1}, {0x55, 1},
                                                  {0x60, 4}, {0xA0, 4}, {0xB0, 1}, {0xE9, 1}, {0xF0, 4}};
    for (auto [first, length] : lengths) EXPECT_EQ(recordedRecordLength(first), length) << int(first);
    const uint8_t body[] = {0x40, 0x20, 0, 0, 0, 0, 0, 0x10, 0};
    std::vector<size_t> seen;
    EXPECT_FALSE(walkRecordedBody(body, sizeof(body), [&](size_t at, size_t) { seen.push_back(at); }));
    EXPECT_EQ(seen, (std::vector<size_t>{0, 1}));
}

TEST(AutoClickFile, ExactlyTheRecord) {
    AutoClickSettings settings = defaultAutoClickSettings();
    setAutoClickName(settings, "연사");
    const std::string path = scratchFolder() + "a.aut";
    ASSERT_TRUE(saveAutoClickFile(path, settings).ok);
    EXPECT_EQ(fileBytes(path).size(), 160u);
    AutoClickSettings loaded{};
    ASSERT_TRUE(loadAutoClickFile(path, loaded).ok);
    EXPECT_EQ(std::memcmp(&loaded, &settings, sizeof(settings)), 0);
    auto bytes = fileBytes(path);
    bytes[4] = 0;
    ASSERT_TRUE(writeFileAtomic(path, bytes.data(), bytes.size()));
    EXPECT_EQ(loadAutoClickFile(path, loaded).message, "불러오기 실패");
}

TEST(LoadedDocument, PageTakesItWithItsOwnWindowsAndThePath) {
    auto page = newMacroDocument();
    page->head.listWindow = 77;
    Page loaded;
    buildSample(loaded);
    loaded.document->head.currentLine = 9; // outside: becomes 0
    takeLoadedDocument(*page, *loaded.document, "C:\\m\\a.eqn1");
    EXPECT_EQ(page->head.listWindow, 77u);
    EXPECT_EQ(page->head.origin, kOriginFile);
    EXPECT_STREQ(page->head.path, "C:\\m\\a.eqn1");
    EXPECT_EQ(page->head.currentLine, 0);
    EXPECT_EQ(page->head.lineCount, 4);
}

} // namespace
} // namespace quillon::control

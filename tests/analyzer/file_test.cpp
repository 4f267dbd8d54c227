#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "base/byte_order.h"
#include "base/text.h"
#include "file_fixtures.h"
#include "reference_writer.h"

namespace quillon::analyzer {
namespace {

using testing::Block;
using testing::blockContent;
using testing::FakeMachine;
using testing::TempFolders;
using testing::walkBlocks;

Command command(int32_t kind, std::initializer_list<std::pair<size_t, int32_t>> fields) {
    Command c{};
    c.used = 1;
    c.setKind(kind);
    for (auto [offset, value] : fields) {
        c.set(offset, value);
    }
    return c;
}

Command soundCommand(const char* name) {
    Command c = command(CmdDevice, {{4, cmd::Device::PlaySound}, {12, 1}});
    std::memcpy(c.body + 24, name, std::strlen(name));
    return c;
}

Command macroCommand(int action, int number) { return command(CmdMacro, {{4, action}, {8, 1}, {12, number}}); }

void addItemWith(AnalyzerModel& model, std::initializer_list<Command> commands) {
    Item item{};
    for (const Command& c : commands) {
        ASSERT_TRUE(addCommand(item, c));
    }
    ASSERT_TRUE(model.insertItem(model.itemCount(), item));
}

struct Fixture {
    TempFolders folders;
    AnalyzerFile file{folders.image(), folders.sound()};
    AnalyzerModel model;
};

TEST(AnalyzerFile, EmptyAnalyzerIsTheRecordAndTheSentenceTable) {
    Fixture f;
    MemorySink sink;
    ASSERT_TRUE(f.file.write(f.model, sink, false).ok());
    auto blocks = walkBlocks(sink.bytes, 0, 3);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].offset + 4 + blocks[1].length, sink.bytes.size());
    auto record = blockContent(sink.bytes, blocks[0], sizeof(AnalyzerImage));
    ASSERT_EQ(record.size(), sizeof(AnalyzerImage));
    EXPECT_EQ(loadLe32(record.data() + 74848656), 30u); // format marker
    EXPECT_EQ(loadLe32(record.data() + 74767256), 50u); // active variables
    EXPECT_EQ(blockContent(sink.bytes, blocks[1], sizeof(SentenceTable)).size(), sizeof(SentenceTable));
}

TEST(AnalyzerFile, ZeroFieldsAreWrittenAsZeroWhateverTheModelCarried) {
    Fixture f;
    // As an opened file from elsewhere may have left them.
    f.model.image().reserved0 = 0x11223344;
    f.model.image().reserved74848620 = -1;
    std::memset(f.model.image().reserved74848636, 0xA5, sizeof f.model.image().reserved74848636);
    f.model.image().reserved74848608[0] = 9; // not among the zeroed fields: carried over
    MemorySink sink;
    ASSERT_TRUE(f.file.write(f.model, sink, false).ok());
    auto record = blockContent(sink.bytes, walkBlocks(sink.bytes, 0, 1)[0], sizeof(AnalyzerImage));
    ASSERT_EQ(record.size(), sizeof(AnalyzerImage));
    EXPECT_EQ(loadLe32(record.data() + 0), 0u);
    EXPECT_EQ(loadLe32(record.data() + 74848620), 0u);
    for (size_t at = 74848636; at < 74848644; ++at) EXPECT_EQ(record[at], 0) << at;
    EXPECT_EQ(record[74848608], 9);
}

TEST(AnalyzerFile, TwoCommandsNamingOneSoundGiveOneBlock) {
    Fixture f;
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5};
    f.folders.writeFile(joinPath(f.folders.sound(), "ding.wav"), wav);
    addItemWith(f.model, {soundCommand("ding.wav")});
    addItemWith(f.model, {soundCommand("ding.wav")});
    std::vector<std::string> progress;
    f.file.hooks().progress = [&](const std::string& text, uint64_t, uint64_t) { progress.push_back(text); };
    FileResult saved = f.file.save(f.model, f.folders.save("sounds.dat"));
    ASSERT_TRUE(saved.ok()) << saved.message;
    EXPECT_EQ(*saved, f.folders.save("sounds.dat"));
    EXPECT_EQ(f.model.image().soundCount, 1);
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0], "사운드파일 [ding.wav]를 [sounds]분석기에 저장하고 있습니다.");
    auto bytes = f.folders.readFile(*saved);
    auto blocks = walkBlocks(bytes, 0, 4);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blockContent(bytes, blocks[2], wav.size()), wav);

    std::filesystem::remove(joinPath(f.folders.sound(), "ding.wav"));
    AnalyzerModel opened;
    ASSERT_TRUE(f.file.open(opened, *saved).ok());
    EXPECT_EQ(f.folders.readFile(joinPath(f.folders.sound(), "ding.wav")), wav);
}

TEST(AnalyzerFile, EmptySoundFileIsAnEmptyBlock) {
    Fixture f;
    f.folders.writeFile(joinPath(f.folders.sound(), "quiet.wav"), {});
    addItemWith(f.model, {soundCommand("quiet.wav")});
    FileResult saved = f.file.save(f.model, f.folders.save("quiet.dat"));
    ASSERT_TRUE(saved.ok()) << saved.message;
    auto bytes = f.folders.readFile(*saved);
    auto blocks = walkBlocks(bytes, 0, 4);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2].length, 0u);
    std::filesystem::remove(joinPath(f.folders.sound(), "quiet.wav"));
    AnalyzerModel opened;
    ASSERT_TRUE(f.file.open(opened, *saved).ok());
    EXPECT_TRUE(std::filesystem::exists(joinPath(f.folders.sound(), "quiet.wav")));
}

TEST(AnalyzerFile, ErasedScreenshotsHaveNoBlockAndStillOpen) {
    TempFolders folders;
    reference::Analyzer ref;
    ref.addScreenshot({3, "gone", {}, true});
    ref.addScreenshot({1, "also gone", {}, true});
    auto bytes = ref.bytes();
    EXPECT_EQ(walkBlocks(bytes, 0, 5).size(), 2u);
    folders.writeFile(folders.save("erased.dat"), bytes);
    AnalyzerFile file(folders.image(), folders.sound());
    AnalyzerModel model;
    FileResult r = file.open(model, folders.save("erased.dat"));
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(model.image().screenshotCount, 2);
    EXPECT_EQ(model.image().screenshots[3].erased, 1);
    EXPECT_TRUE(std::filesystem::is_empty(folders.image()));
}

TEST(AnalyzerFile, RecordedMacroBitNineCarriesBankTwoSlotTwo) {
    Fixture f;
    FakeMachine machine;
    machine.putRecorded(9, "two-two", {1, 2, 3, 4, 5, 6, 7});
    f.file.setMachine(&machine);
    std::string question;
    f.file.hooks().askEmbedMacros = [&](const std::string& q) {
        question = q;
        return true;
    };
    addItemWith(f.model, {macroCommand(cmd::Macro::PlayRecorded, 9)});
    MemorySink sink;
    ASSERT_TRUE(f.file.write(f.model, sink, false).ok());
    EXPECT_NE(question.find("[사용중인 녹화매크로]\n2-2 \n\n"), std::string::npos) << question;
    EXPECT_EQ(f.model.image().recordedMacroMask, 1u << 9);
    auto blocks = walkBlocks(sink.bytes, 0, 2);
    size_t section = blocks[1].offset + 4 + blocks[1].length;
    ASSERT_EQ(sink.bytes.size(), section + 63 + 400 + 7);
    EXPECT_EQ(loadLe16(sink.bytes.data() + section), 0x6688);
    EXPECT_EQ(std::memcmp(sink.bytes.data() + section + 4, "two-two", 7), 0);
    EXPECT_EQ(sink.bytes[section + 63 + 400], 1);
    EXPECT_EQ(sink.bytes.back(), 7);
    EXPECT_EQ(machine.reads, std::vector<std::string>{"R9"});
}

TEST(AnalyzerFile, CombinationExtrasAreEmbeddedOnceAndInstalledInFileOrder) {
    Fixture f;
    FakeMachine machine;
    machine.putRecorded(2, "r2", {0x22});
    machine.putRecorded(5, "r5", {0x55, 0x55});
    machine.putEdit(1, "e1", {0xE1});
    machine.putCombination(0, (1u << 2) | (1u << 5), 1u << 1, {0xC0, 0xC0, 0xC0});
    machine.putCombination(3, 0, 0, {}); // empty: no body, no extras, never installed
    f.file.setMachine(&machine);
    f.file.hooks().askEmbedMacros = [](const std::string&) { return true; };
    addItemWith(f.model, {macroCommand(cmd::Macro::PlayRecorded, 2), macroCommand(cmd::Macro::PlayCombination, 0),
                          macroCommand(cmd::Macro::PlayCombination, 3)});
    FileResult saved = f.file.save(f.model, f.folders.save("combo.dat"));
    ASSERT_TRUE(saved.ok()) << saved.message;
    // Recorded 2 by the record's mask; combination 0 with its extras R5 and E1
    // (R2 is already carried); combination 3 alone.
    EXPECT_EQ(machine.reads, (std::vector<std::string>{"R2", "C0", "R5", "E1", "C3"}));
    EXPECT_EQ(f.model.image().recordedMacroMask, 1u << 2);
    EXPECT_EQ(f.model.image().editMacroMask, 0u);
    auto bytes = f.folders.readFile(*saved);
    auto blocks = walkBlocks(bytes, 0, 2);
    size_t section = blocks[1].offset + 4 + blocks[1].length;
    size_t expected = (63 + 400 + 1) + (65 + 400 + 3) + (63 + 400 + 2) + (53 + 400 + 1) + (65 + 400);
    EXPECT_EQ(bytes.size(), section + expected);

    FakeMachine target;
    AnalyzerFile reader(f.folders.image(), f.folders.sound());
    reader.setMachine(&target);
    std::string question;
    reader.hooks().askInstallMacros = [&](const std::string& q) {
        question = q;
        return true;
    };
    AnalyzerModel opened;
    FileResult r = reader.open(opened, *saved);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NE(question.find("[조합매크로 메모리]\n1  4  "), std::string::npos) << question;
    EXPECT_EQ(target.writes, (std::vector<std::string>{"R2 header", "R2 body", "C0 header", "C0 body", "R5 header",
                                                        "R5 body", "E1 header", "E1 body"}));
    EXPECT_EQ(target.memory(MacroKind::Recorded, 5).body, (std::vector<uint8_t>{0x55, 0x55}));
}

TEST(AnalyzerFile, NoToEmbeddingClearsMasksAndReopeningWarnsWithoutInstalling) {
    Fixture f;
    FakeMachine machine;
    machine.putEdit(4, "e4", {1});
    f.file.setMachine(&machine);
    f.file.hooks().askEmbedMacros = [](const std::string&) { return false; };
    addItemWith(f.model, {macroCommand(cmd::Macro::PlayEdit, 4)});
    FileResult saved = f.file.save(f.model, f.folders.save("nomacro.dat"));
    ASSERT_TRUE(saved.ok());
    EXPECT_FALSE(f.model.storedMacroMasks().any());
    EXPECT_TRUE(machine.reads.empty());

    int warned = 0, asked = 0;
    f.file.hooks().askContinueWithMissingMacros = [&](const std::string& q) {
        EXPECT_EQ(q, kMissingMacrosQuestion);
        return ++warned == 1; // continue the first time, cancel the second
    };
    f.file.hooks().askInstallMacros = [&](const std::string&) { return ++asked > 0; };
    AnalyzerModel opened;
    ASSERT_TRUE(f.file.open(opened, *saved).ok());
    EXPECT_EQ(opened.itemCount(), 1);
    FileResult cancelled = f.file.open(opened, *saved);
    EXPECT_FALSE(cancelled.ok());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(opened.itemCount(), 0);
    EXPECT_EQ(warned, 2);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(machine.writes.empty());
}

TEST(AnalyzerFile, MachineReadFailureStopsTheSaveAndKeepsTheOldFile) {
    Fixture f;
    FakeMachine machine;
    machine.putRecorded(0, "r0", {1, 2});
    f.file.setMachine(&machine);
    f.file.hooks().askEmbedMacros = [](const std::string&) { return true; };
    addItemWith(f.model, {macroCommand(cmd::Macro::PlayRecorded, 0)});
    std::string path = f.folders.save("keep.dat");
    ASSERT_TRUE(f.file.save(f.model, path).ok());
    auto before = f.folders.readFile(path);
    struct Case {
        std::string fail;
        std::string message;
    } cases[] = {
        {"R0 header", "macroR0(0) 녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {"R0 body", "macroR0(0) 녹화매크로 본체를 읽어 오는 동안 오류가 발생했습니다."},
    };
    for (const auto& c : cases) {
        machine.failRead = c.fail;
        addItemWith(f.model, {});
        FileResult r = f.file.save(f.model, path);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(f.folders.readFile(path), before);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folders.save("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(AnalyzerFile, MissingSoundFailsTheSaveAndKeepsTheOldFile) {
    Fixture f;
    f.folders.writeFile(joinPath(f.folders.sound(), "a.wav"), {1, 2, 3});
    addItemWith(f.model, {soundCommand("a.wav")});
    std::string path = f.folders.save("old.dat");
    ASSERT_TRUE(f.file.save(f.model, path).ok());
    auto before = f.folders.readFile(path);
    addItemWith(f.model, {soundCommand("b.wav")});
    FileResult r = f.file.save(f.model, path);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "사운드파일 [b.wav]를 [old]분석기에 저장하는 동안 오류가 발생했습니다.");
    EXPECT_EQ(f.folders.readFile(path), before);
    addItemWith(f.model, {soundCommand("../escape.wav")});
    EXPECT_FALSE(f.file.save(f.model, path).ok());
    EXPECT_EQ(f.folders.readFile(path), before);
}

TEST(AnalyzerFile, SaveNameIsCutAtTheFirstDot) {
    EXPECT_EQ(savePathFor("/a/b.c/My.v2.txt").path, "/a/b.c/My.dat");
    EXPECT_EQ(savePathFor("/a/b.c/My.v2.txt").name, "My");
    EXPECT_EQ(savePathFor("C:\\x\\분석기").path, "C:\\x\\분석기.dat");
    EXPECT_EQ(savePathFor("plain").name, "plain");
}

// A model with some of everything, built through the model's operations.
void fillTypicalModel(Fixture& f, FakeMachine& machine) {
    AnalyzerModel& m = f.model;
    m.image().screenshotWidth = 64;
    m.image().screenshotHeight = 48;
    m.image().screenshotBitsPerPixel = 32;
    int slot = -1;
    for (int i = 0; i < 3; ++i) {
        std::string name = std::to_string(i) + "스샷";
        auto bmp = reference::smallBmp(64, 48, static_cast<uint8_t>(i));
        f.folders.writeFile(joinPath(f.folders.image(), name + ".bmp"), bmp);
        ASSERT_TRUE(m.addScreenshot({name, static_cast<int32_t>(bmp.size()), 5, 6, ""}, slot));
    }
    m.image().screenshots[1].erased = 1;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(m.addRecognitionImage({0, 20 + i, 20, 11, 9, i == 2, ""}, slot));
        m.recognitionImage(slot)->pixels[0] = static_cast<uint8_t>(i + 1);
    }
    ASSERT_TRUE(m.deleteRecognitionImage(1));
    ASSERT_TRUE(m.addNumberPack("", slot));
    m.numberPack(slot)->samples[3].set = 1;
    m.numberPack(slot)->samples[3].pixels[0][2] = 0xABCDEF;
    ASSERT_TRUE(m.addArea(30, 30, 0, "범위", slot));
    ASSERT_TRUE(m.addCursor(3, "", slot));
    ASSERT_TRUE(m.storeSentence(0, "인사", "안녕 Hi", 500));
    f.folders.writeFile(joinPath(f.folders.sound(), "알림.wav"), {9, 8, 7, 6});
    std::string soundName = text::utf8ToCp949("알림.wav");
    machine.putEdit(3, "e3", {1, 2, 3});
    Item item{};
    item.head = 1;
    item.alwaysScan = 1;
    std::memcpy(item.name, "first", 5);
    Condition c{};
    c.used = 1;
    c.set(0, CondImage);
    c.set(4, 5);
    c.set(12, 2);
    c.set(8, 3);
    c.set(16, 3);
    ASSERT_TRUE(addCondition(item, c));
    ASSERT_TRUE(addCommand(item, soundCommand(soundName.c_str())));
    ASSERT_TRUE(addCommand(item, macroCommand(cmd::Macro::PlayEdit, 3)));
    ASSERT_TRUE(addCommand(item, command(CmdTypeSentence, {{4, 0}})));
    NextLink link{};
    link.targetId = 1;
    ASSERT_TRUE(addNextLink(item, link));
    ASSERT_TRUE(m.insertItem(0, item));
    Item second{};
    ASSERT_TRUE(m.insertItem(1, second));
}

TEST(AnalyzerFile, SaveOpenSaveGivesIdenticalBytes) {
    Fixture f;
    FakeMachine machine;
    fillTypicalModel(f, machine);
    f.file.setMachine(&machine);
    f.file.hooks().askEmbedMacros = [](const std::string&) { return true; };
    f.file.hooks().askInstallMacros = [](const std::string&) { return false; };
    FileResult first = f.file.save(f.model, f.folders.save("round.dat"));
    ASSERT_TRUE(first.ok()) << first.message;
    auto firstBytes = f.folders.readFile(*first);

    AnalyzerModel opened;
    FileResult r = f.file.open(opened, *first);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(opened.image().recognitionImageCount, 3);
    EXPECT_EQ(opened.recognitionImage(2)->pattern, 1);
    EXPECT_EQ(opened.recognitionImage(3)->pixels[0], 4);
    EXPECT_EQ(opened.recognitionImage(0)->inUse, 0);
    EXPECT_EQ(opened.recognitionImage(2)->inUse, 1);
    EXPECT_EQ(opened.numberPack(0)->samples[3].pixels[0][2], 0xABCDEF);
    EXPECT_EQ(opened.item(0).conditions[0].at(20), 23); // centre of image slot 3
    EXPECT_EQ(text::cp949ToUtf8(fixedText(opened.sentenceTable().sentences[0].text)), "안녕 Hi");
    EXPECT_EQ(text::cp949ToUtf8(fixedText(opened.image().name)), "round");

    FileResult second = f.file.save(opened, f.folders.save("round.dat"));
    ASSERT_TRUE(second.ok()) << second.message;
    EXPECT_TRUE(f.folders.readFile(*second) == firstBytes);
}

TEST(AnalyzerFile, AutosaveCarriesNoMacrosAndRestoreChecksTheMarker) {
    Fixture f;
    FakeMachine machine;
    fillTypicalModel(f, machine);
    f.file.setMachine(&machine);
    f.file.hooks().askEmbedMacros = [](const std::string&) { return true; };
    std::string path = f.folders.save("save.tmp");
    ASSERT_TRUE(f.file.saveAutosave(f.model, path).ok());
    EXPECT_TRUE(machine.reads.empty());
    AnalyzerModel restored;
    FileResult r = f.file.restoreAutosave(restored, path);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(restored.itemCount(), 2);
    EXPECT_EQ(restored.image().numberPackCount, 1);
    // The file stands by itself: its record announces no macro sections, so
    // an ordinary open reads it to its end.
    EXPECT_FALSE(restored.storedMacroMasks().any());
    AnalyzerModel opened;
    r = f.file.open(opened, path);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(opened.itemCount(), 2);
    EXPECT_EQ(opened.image().numberPackCount, 1);

    reference::Analyzer ref;
    ref.record.put32(reference::at::kFormatMarker, 29);
    f.folders.writeFile(path, ref.bytes());
    r = f.file.restoreAutosave(restored, path);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, message::kNotAnAnalyzerFile);
    EXPECT_TRUE(f.file.open(restored, path).ok()); // an ordinary open does not ask for it
}

} // namespace
} // namespace quillon::analyzer

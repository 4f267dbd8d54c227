#include <gtest/gtest.h>

#include <filesystem>

#include "base/byte_order.h"
#include "base/file.h"
#include "device/startup_data.h"
#include "device/startup_data_writer.h"
#include "device/startup_failure.h"
#include "device/startup_offsets.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

const char* kTexts = R"(key 0x000001F0
260 "기계와 연결할 수 없습니다"  # comment after a text
708 "줄1\n줄2 \"따옴표\" \\"
)";
const char* kSettings = R"(key 0x12345611
400 7
1200 -3
2484 0xA2E6D5
)";
const char* kNames = R"(key 0x00000AFF
3460 "\\ScreenShot\\"
4964 "COM1:"
5012 "COM7:"
5020 "DISPLAY"
)";

std::vector<uint8_t> build(StartupBlock block, const std::string& source) {
    std::vector<uint8_t> out;
    StartupSourceError error;
    EXPECT_TRUE(buildStartupBlock(block, source, out, error)) << error.line << ": " << error.message;
    return out;
}

class StartupDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("quillon-startup-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / kStartupDataFolder);
        write(kTextBlockLayout, build(StartupBlock::Text, kTexts));
        write(kSettingsBlockLayout, build(StartupBlock::Settings, kSettings));
        write(kNameBlockLayout, build(StartupBlock::Name, kNames));
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const StartupBlockLayout& layout, const std::vector<uint8_t>& bytes) {
        std::string path = (root_ / kStartupDataFolder / layout.fileName).string();
        ASSERT_TRUE(writeFileAtomic(path, bytes.data(), bytes.size()));
    }
    StartupLoadResult load(StartupData& data, int randomValue) {
        return data.load(root_.string(), [randomValue] { return randomValue; });
    }

    fs::path root_;
};

TEST_F(StartupDataTest, TextsNamesAndSettingsReadBackAsWritten) {
    StartupData data;
    ASSERT_EQ(load(data, 4), StartupLoadResult::Ok);
    EXPECT_EQ(data.text(260), "기계와 연결할 수 없습니다");
    EXPECT_EQ(data.text(708), "줄1\n줄2 \"따옴표\" \\");
    EXPECT_EQ(data.text(1000), ""); // nothing there: the terminator at once
    EXPECT_EQ(data.name(3460), "\\ScreenShot\\");
    EXPECT_EQ(data.serialPortName(0), "COM1:");
    EXPECT_EQ(data.serialPortName(6), "COM7:");
    EXPECT_EQ(data.serialPortName(7), "");
    EXPECT_EQ(data.name(5020), "DISPLAY");

    EXPECT_EQ(data.setting(400), 7);
    EXPECT_EQ(data.setting(1200), -3);
    EXPECT_EQ(data.setting(2484), 0xA2E6D5);
    EXPECT_EQ(data.setting(404), 0);
    EXPECT_EQ(data.setting(40), 0x12345611); // the key as read, plain
    EXPECT_EQ(data.setting(10240 - 2), 0);   // out of the block reads 0
    data.setSetting(1208, 1);
    EXPECT_EQ(data.setting(1208), 1);
    // The plain settings block: untouched bytes are 0 after the key is taken off.
    EXPECT_EQ(data.settingsBlock().size(), 10240u);
    EXPECT_EQ(data.settingsBlock()[5000], 0);
}

TEST_F(StartupDataTest, ReKeyingChangesTheBytesInMemoryButNotTheTexts) {
    StartupData first, second;
    ASSERT_EQ(load(first, 0), StartupLoadResult::Ok);  // d = 1
    ASSERT_EQ(load(second, 9), StartupLoadResult::Ok); // d = 10
    EXPECT_EQ(first.currentKey(StartupBlock::Text), 0x1F0u - 1);
    EXPECT_EQ(second.currentKey(StartupBlock::Text), 0x1F0u - 10);
    EXPECT_EQ(second.currentKey(StartupBlock::Name), 0xAFFu - 10);
    EXPECT_NE(first.rawBlock(StartupBlock::Text), second.rawBlock(StartupBlock::Text));
    EXPECT_NE(first.rawBlock(StartupBlock::Name), second.rawBlock(StartupBlock::Name));
    // The texts stay scrambled in memory: not one plain byte of the message.
    std::string plain = first.hiddenText(StartupBlock::Text, 260);
    const auto& raw = first.rawBlock(StartupBlock::Text);
    EXPECT_NE(std::string(raw.begin() + 260, raw.begin() + 260 + plain.size()), plain);
    EXPECT_EQ(first.text(260), second.text(260));
    EXPECT_EQ(first.text(708), second.text(708));
    EXPECT_EQ(first.name(3460), second.name(3460));
    EXPECT_EQ(first.settingsBlock(), second.settingsBlock());
}

TEST_F(StartupDataTest, TheProgramFolderIsWrittenHiddenIntoTheNameBlock) {
    StartupData data;
    ASSERT_EQ(load(data, 3), StartupLoadResult::Ok);
    EXPECT_EQ(data.name(name_offset::kProgramFolder), root_.string());
    uint8_t key = static_cast<uint8_t>(data.currentKey(StartupBlock::Name));
    const auto& raw = data.rawBlock(StartupBlock::Name);
    EXPECT_EQ(raw[516], static_cast<uint8_t>(root_.string()[0] + key));
    EXPECT_EQ(raw[516 + root_.string().size()], key);
}

TEST_F(StartupDataTest, MissingOrShortBlocksAreReportedByBlock) {
    struct Case {
        const StartupBlockLayout* layout;
        StartupLoadResult expected;
    };
    for (Case c : {Case{&kTextBlockLayout, StartupLoadResult::TextBlockMissing},
                   Case{&kSettingsBlockLayout, StartupLoadResult::SettingsBlockMissing},
                   Case{&kNameBlockLayout, StartupLoadResult::NameBlockMissing}}) {
        SetUp();
        fs::path file = root_ / kStartupDataFolder / c.layout->fileName;
        fs::resize_file(file, c.layout->size - 1); // one byte short
        StartupData data;
        EXPECT_EQ(load(data, 0), c.expected) << c.layout->fileName;
        fs::remove(file);
        EXPECT_EQ(load(data, 0), c.expected) << c.layout->fileName;
    }
}

TEST_F(StartupDataTest, AHiddenTextWithoutTerminatorStopsAtTheEndOfItsBlock) {
    // A text block whose last bytes never meet the key byte.
    std::vector<uint8_t> text = build(StartupBlock::Text, "key 0x10\n");
    std::fill(text.end() - 100, text.end(), 0x10 + 'A');
    write(kTextBlockLayout, text);
    StartupData data;
    ASSERT_EQ(load(data, 0), StartupLoadResult::Ok);
    EXPECT_EQ(data.text(262144 - 100), std::string(100, 'A'));
    EXPECT_EQ(data.text(262144 - 1), "A");
    EXPECT_EQ(data.text(262144), "");
    EXPECT_EQ(data.text(size_t(-1)), "");
}

TEST(StartupSource, RefusesWhatWouldCorruptTheBlock) {
    struct Case {
        StartupBlock block;
        const char* source;
        int line;
    };
    const Case cases[] = {
        {StartupBlock::Text, "260 \"a\"\n", 0},                       // no key
        {StartupBlock::Text, "key 1\n260 \"abc\"\n262 \"x\"\n", 3},    // overlap
        {StartupBlock::Text, "key 1\n254 \"abc\"\n", 2},               // runs into the key
        {StartupBlock::Text, "key 1\n262143 \"a\"\n", 2},              // terminator leaves the block
        {StartupBlock::Text, "key 1\n10 \"abc\n", 2},                  // missing quote
        {StartupBlock::Text, "key 1\n10 \"a\\q\"\n", 2},               // unknown escape
        {StartupBlock::Text, "key 1\n10 abc\n", 2},                    // not quoted
        {StartupBlock::Settings, "key 1\n402 5\n", 2},                 // not aligned
        {StartupBlock::Settings, "key 1\n40 5\n", 2},                  // the key's place
        {StartupBlock::Settings, "key 1\n10240 5\n", 2},               // past the end
        {StartupBlock::Settings, "key 1\n400 five\n", 2},              // not a number
        {StartupBlock::Settings, "key 0x100000000\n", 1},              // key too large
        {StartupBlock::Name, "key 1\nwhat\n", 2},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        StartupSourceError error;
        EXPECT_FALSE(buildStartupBlock(c.block, c.source, out, error)) << c.source;
        EXPECT_EQ(error.line, c.line) << c.source << " -> " << error.message;
        EXPECT_FALSE(error.message.empty());
    }
}

TEST_F(StartupDataTest, EachProgramFailsInItsOwnWay) {
    fs::path dataFolder = root_ / kStartupDataFolder;
    StartupData data;
    // The settings file is missing: the text block is there for the message.
    fs::remove(dataFolder / kSettingsBlockLayout.fileName);
    StartupLoadResult result = load(data, 0);
    ASSERT_EQ(result, StartupLoadResult::SettingsBlockMissing);
    auto shot = startupFailureBox(Program::ShotTaker, result, data);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->message, "줄1\n줄2 \"따옴표\" \\"); // text block offset 708
    EXPECT_EQ(shot->caption, "기계와 연결할 수 없습니다"); // offset 260
    auto editor = startupFailureBox(Program::AnalyzerEditor, result, data);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->message, "일부 파일에 문제가 있습니다.");
    EXPECT_EQ(editor->caption, "오류");
    EXPECT_TRUE(startupFailureBox(Program::AnalyzerRunner, result, data));

    // Without the text block the runner and the shot-taker end silently.
    fs::remove(dataFolder / kTextBlockLayout.fileName);
    result = load(data, 0);
    ASSERT_EQ(result, StartupLoadResult::TextBlockMissing);
    EXPECT_FALSE(startupFailureBox(Program::AnalyzerRunner, result, data));
    EXPECT_FALSE(startupFailureBox(Program::ShotTaker, result, data));
    EXPECT_TRUE(startupFailureBox(Program::ControlPanel, result, data));
    EXPECT_FALSE(startupFailureBox(Program::AnalyzerEditor, StartupLoadResult::Ok, data));
}

// The files the build installs beside the programs hold every text and name
// the programs look up.
TEST(InstalledDataFiles, HoldEveryTextTheProgramsUse) {
    StartupData data;
    ASSERT_EQ(data.load(QUILLON_BINARY_DIR "/bin"), StartupLoadResult::Ok);
    for (size_t offset :
         {text_offset::kShotDeviceWarning, text_offset::kShotStartupFailure, text_offset::kShotCursorExtension,
          text_offset::kShotBitmapExtension, text_offset::kShotSettingsExtension, text_offset::kShotButtonCaption,
          text_offset::kRunnerCaption, text_offset::kRunnerDataFileMissing, text_offset::kRunnerNoDevice,
          text_offset::kRunnerOptionRecordUnreadable, text_offset::kRunnerAnalyzerNotLoadable,
          text_offset::kRunnerDeviceFailure, text_offset::kRunnerOpenDialogTitle,
          text_offset::kRunnerOpenDialogFilter, text_offset::kRunnerDefaultExtension, text_offset::kRunnerCurrentItemLabel,
          text_offset::kRunnerResultCodeLabel, text_offset::kRunnerClockLabel, text_offset::kRunnerTimersLabel,
          text_offset::kRunnerVariablesLabel, text_offset::kRunnerRadioMini, text_offset::kRunnerRadioMain}) {
        EXPECT_FALSE(data.text(offset).empty()) << "text block offset " << offset;
    }
    EXPECT_EQ(data.text(text_offset::kShotBitmapExtension), "bmp");
    EXPECT_EQ(data.text(text_offset::kShotSettingsExtension), "cfg");
    EXPECT_EQ(data.text(text_offset::kShotCursorExtension), "dat");
    for (size_t offset : {name_offset::kScreenshotPath, name_offset::kDisplayDevice, name_offset::kSoundFolder,
                          name_offset::kAnalyzerFolder, name_offset::kOpenDialogFolder,
                          name_offset::kDatePickerFormat, name_offset::kDecompressLibrary,
                          name_offset::kDecompressProcedure, name_offset::kEditMacroFolder,
                          name_offset::kCombinationMacroFolder, name_offset::kRecordedMacroFolder,
                          name_offset::kAutoClickFolder, name_offset::kWorkingFolder}) {
        EXPECT_FALSE(data.name(offset).empty()) << "name block offset " << offset;
    }
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(data.serialPortName(i), "COM" + std::to_string(i + 1) + ":");
    }
    EXPECT_EQ(data.setting(setting_offset::kDialogColour), 0xA2E6D5);
    EXPECT_EQ(data.setting(setting_offset::kTextBackgroundColour), 0xB2FDEA);
    EXPECT_EQ(data.setting(setting_offset::kClientWindowMode), 1);
    EXPECT_NE(data.setting(setting_offset::kCaptureSignal), data.setting(setting_offset::kExitSignal));
    EXPECT_NE(data.setting(setting_offset::kStartHotkey), data.setting(setting_offset::kStopHotkey));
}

} // namespace
} // namespace quillon

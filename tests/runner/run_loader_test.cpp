#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "analyzer/analyzer_image.h"
#include "analyzer/blocks.h"
#include "analyzer/file_stream.h"
#include "base/file.h"
#include "runner/run_loader.h"
#include "tests/base/save_faults.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

std::string golden(const char* name) { return (fs::path(QUILLON_SOURCE_DIR) / "tests" / name).string(); }

class RunLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / "quillon-run-loader";
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "Sound");
    }
    void TearDown() override { fs::remove_all(folder_); }
    int load(const std::string& path) {
        return loadAnalyzerForRun(model_, path, (folder_ / "Sound").string());
    }
    fs::path folder_;
    analyzer::AnalyzerModel model_;
};

TEST_F(RunLoaderTest, LoadsAnAnalyzerAndKeepsItsSounds) {
    ASSERT_EQ(load(golden("golden/typical.dat")), run_load::kOk);
    EXPECT_EQ(model_.itemCount(), 2);
    // The sound travels inside the file and is written into the sound folder.
    EXPECT_TRUE(fs::exists(folder_ / "Sound" / fs::path(u8"벨.wav")));
}

TEST_F(RunLoaderTest, ASoundThatCannotBeWrittenKeepsTheOneThereAndRefusesTheRun) {
    const fs::path sound = folder_ / "Sound" / fs::path(u8"벨.wav");
    const std::vector<uint8_t> earlier{1, 2, 3};
    ASSERT_TRUE(writeFileAtomic(sound.string(), earlier.data(), earlier.size()));
    int code = -1;
    const int points = testing::forEachFailedStep([&] { code = load(golden("golden/typical.dat")); }, [&](unsigned n) {
        EXPECT_EQ(code, run_load::kCannotOpen) << n;
        EXPECT_EQ(model_.itemCount(), 0);
        EXPECT_EQ(readFile(sound.string()), earlier) << n;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "Sound"), fs::directory_iterator()), 1) << n;
    });
    EXPECT_EQ(code, run_load::kOk);
    EXPECT_EQ(points, 4); // create, write, flush, replace
}

TEST_F(RunLoaderTest, CodesOfTheFilesThatCannotRun) {
    EXPECT_EQ(load(golden("golden/empty.dat")), run_load::kNoItems);
    EXPECT_EQ(load((folder_ / "missing.dat").string()), run_load::kCannotOpen);
    for (const auto& entry : fs::directory_iterator(golden("golden-errors"))) {
        if (!entry.is_regular_file()) continue; // macros/: the control panel's
        EXPECT_EQ(load(entry.path().string()), run_load::kCannotOpen) << entry.path();
        EXPECT_EQ(model_.itemCount(), 0);
    }
}

TEST_F(RunLoaderTest, AnotherFormatVersionIsRefusedWithItsCode) {
    // The golden file with its record's format marker changed to 29.
    auto bytes = readFile(golden("golden/typical.dat"));
    ASSERT_TRUE(bytes);
    analyzer::MemorySource source(bytes->data(), bytes->size());
    auto record = std::make_unique<analyzer::AnalyzerImage>();
    ASSERT_TRUE(analyzer::readBlock(source, record.get(), sizeof *record));
    record->formatMarker = 29;
    analyzer::MemorySink sink;
    ASSERT_TRUE(analyzer::writeBlock(sink, record.get(), sizeof *record));
    size_t rest = static_cast<size_t>(source.bytesLeft());
    sink.bytes.insert(sink.bytes.end(), bytes->end() - static_cast<std::ptrdiff_t>(rest), bytes->end());
    std::string path = (folder_ / "old.dat").string();
    ASSERT_TRUE(writeFileAtomic(path, sink.bytes.data(), sink.bytes.size()));
    EXPECT_EQ(load(path), run_load::kWrongFormat);
    EXPECT_EQ(model_.itemCount(), 0);
}

TEST(AnalyzerDisplayName, FileNameWithoutFolderAndExtension) {
    EXPECT_EQ(analyzerDisplayName("C:\\분석기\\사냥 1.dat"), "사냥 1");
    EXPECT_EQ(analyzerDisplayName("/a/b.c/run.v2.dat"), "run.v2");
    EXPECT_EQ(analyzerDisplayName("noext"), "noext");
    EXPECT_EQ(analyzerDisplayName(std::string(250, 'a') + ".dat"), std::string(200, 'a'));
}

} // namespace
} // namespace quillon

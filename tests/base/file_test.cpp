#include <gtest/gtest.h>

#include <filesystem>

#include "base/file.h"
#include "base/program_folder.h"
#include "tests/base/save_faults.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quillon-file-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    size_t filesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
};

TEST_F(FileTest, AtomicWriteReplacesTheOldFileAndLeavesNoTemporary) {
    std::vector<uint8_t> first{1, 2, 3}, second(100000, 7);
    ASSERT_TRUE(writeFileAtomic(path("a.dat"), first.data(), first.size()));
    ASSERT_TRUE(writeFileAtomic(path("a.dat"), second.data(), second.size()));
    EXPECT_EQ(readFile(path("a.dat")), second);
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(FileTest, FailedWriteKeepsThePreviousFile) {
    std::vector<uint8_t> old{9, 9};
    ASSERT_TRUE(writeFileAtomic(path("keep.dat"), old.data(), old.size()));
    // The target is a folder now: the replace step fails.
    fs::create_directories(dir_ / "sub");
    std::vector<uint8_t> data{1};
    EXPECT_FALSE(writeFileAtomic(path("sub"), data.data(), data.size()));
    EXPECT_FALSE(writeFileAtomic(path("missing-folder/x.dat"), data.data(), data.size()));
    EXPECT_EQ(readFile(path("keep.dat")), old);
    EXPECT_EQ(filesInFolder(), 2u); // keep.dat and sub, no temporaries
}

TEST_F(FileTest, EachStepOfAnAtomicWriteCanFailAndKeepsThePreviousFile) {
    std::vector<uint8_t> old(5000, 1), next(7000, 2);
    ASSERT_TRUE(writeFileAtomic(path("a.dat"), old.data(), old.size()));
    std::vector<FileStep> failed;
    const int points = testing::failEveryStep({dir_.string(), {path("a.dat")}, "failed", [&] {
                                                   bool ok = writeFileAtomic(path("a.dat"), next.data(), next.size());
                                                   if (auto step = file_faults::failedStep()) {
                                                       failed.push_back(*step);
                                                   }
                                                   return testing::SaveAttempt{ok, ok ? "" : "failed"};
                                               }});
    EXPECT_EQ(points, 4);
    EXPECT_EQ(failed, (std::vector<FileStep>{FileStep::Create, FileStep::Write, FileStep::Flush, FileStep::Replace}));
    EXPECT_EQ(readFile(path("a.dat")), next);
    // Disarmed, steps are only counted.
    file_faults::failAt(0);
    ASSERT_TRUE(writeFileAtomic(path("b.dat"), old.data(), old.size()));
    EXPECT_EQ(file_faults::stepsTaken(), 4u);
    EXPECT_FALSE(file_faults::failedStep());
}

TEST_F(FileTest, ReadExactlyRefusesShortFiles) {
    std::vector<uint8_t> data(10, 1);
    ASSERT_TRUE(writeFileAtomic(path("short.dat"), data.data(), data.size()));
    uint8_t buffer[11];
    EXPECT_TRUE(readFileExactly(path("short.dat"), buffer, 10));
    EXPECT_FALSE(readFileExactly(path("short.dat"), buffer, 11));
    EXPECT_FALSE(readFileExactly(path("none.dat"), buffer, 1));
    EXPECT_FALSE(readFile(path("none.dat")).has_value());
}

TEST(FileNames, OnlyPlainNamesStayInsideTheirFolder) {
    for (const char* good : {"a.bmp", "인식이미지-0001.bmp", "sound 1.wav", "com10.txt"}) {
        EXPECT_TRUE(isSafeFileName(good)) << good;
    }
    for (const char* bad : {"", ".", "..", "..\\x", "a/b", "a\\b", "C:x", "con", "CON.txt", "com1.wav", "LPT9",
                            "nul ", "a..b", "trail.", "tab\t", "q?.wav", "AUX.bmp"}) {
        EXPECT_FALSE(isSafeFileName(bad)) << bad;
    }
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    // The tests run from <build>/bin, beside the programs and their Data folder.
    const std::string folder = programFolder();
    ASSERT_GE(folder.size(), 4u);
    EXPECT_EQ(folder.substr(folder.size() - 3), "bin");
    EXPECT_TRUE(fs::exists(fs::path(folder) / "Data"));
}

TEST(FileNames, FolderOfTakesEitherSeparator) {
    EXPECT_EQ(folderOf("C:\\Quillon\\runner.exe"), "C:\\Quillon");
    EXPECT_EQ(folderOf("/opt/q/runner"), "/opt/q");
    EXPECT_EQ(folderOf("runner.exe"), "");
}

} // namespace
} // namespace quillon

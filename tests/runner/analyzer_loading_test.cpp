// The run-analyzer command's loader reads the editor's files.
#include "runner/analyzer_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::runner {
namespace {

TEST(FileAnalyzerLoader, CodesForMissingEmptyAndGoodFiles) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(QUILLON_BINARY_DIR) / "runner-loading";
    fs::create_directories(folder);
    FileAnalyzerLoader loader((folder / "Image").string(), (folder / "Sound").string());
    analyzer::AnalyzerModel model;
    EXPECT_EQ(loader.load((folder / "missing.dat").string(), model), -1);

    analyzer::AnalyzerFile file((folder / "Image").string(), (folder / "Sound").string());
    analyzer::AnalyzerModel written;
    written.reset();
    ASSERT_TRUE(file.save(written, (folder / "empty.dat").string()).ok);
    EXPECT_EQ(loader.load((folder / "empty.dat").string(), model), -2);

    analyzer::Item item{};
    item.head = 1;
    ASSERT_TRUE(written.insertItem(0, item));
    ASSERT_TRUE(file.save(written, (folder / "one.dat").string()).ok);
    EXPECT_EQ(loader.load((folder / "one.dat").string(), model), 0);
    EXPECT_EQ(model.itemCount(), 1);
    EXPECT_EQ(model.item(0).head, 1);
}

} // namespace
} // namespace quillon::runner

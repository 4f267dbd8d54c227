// The analyzer file and the autosave file under a failure at every step of
// their save: the previous file survives each one.
#include <gtest/gtest.h>

#include "analyzer/analyzer_file.h"
#include "analyzer/limits.h"
#include "file_fixtures.h"
#include "tests/base/save_faults.h"

namespace quillon::analyzer {
namespace {

using quillon::testing::failEveryStep;
using quillon::testing::SaveAttempt;

void addItemNamed(AnalyzerModel& model, const char* name) {
    Item item{};
    storeFixedText(item.name, name);
    ASSERT_TRUE(model.insertItem(model.itemCount(), item));
}

TEST(AnalyzerSaveFaults, EveryFailedStepKeepsThePreviousFile) {
    struct Case {
        const char* name;
        bool autosave;
    };
    for (const Case& c : {Case{"analyzer file", false}, Case{"autosave", true}}) {
        SCOPED_TRACE(c.name);
        testing::TempFolders folders;
        AnalyzerFile file(folders.image(), folders.sound());
        AnalyzerModel model;
        const std::string path = folders.save(c.autosave ? "save.tmp" : "work.dat");
        auto save = [&]() -> SaveAttempt {
            FileResult r = c.autosave ? file.saveAutosave(model, path) : file.save(model, path);
            return {r.ok(), r.message};
        };
        addItemNamed(model, "first");
        ASSERT_TRUE(save().ok);
        addItemNamed(model, "second");
        const int points = failEveryStep({(folders.root() / "Save").string(), {path}, message::kSaveFailed, save});
        // Create, the record and sentence blocks (and the machine macro
        // section of the analyzer file), flush and replace.
        EXPECT_GE(points, 6);
        AnalyzerModel reopened;
        FileResult opened = c.autosave ? file.restoreAutosave(reopened, path) : file.open(reopened, path);
        ASSERT_TRUE(opened.ok()) << opened.message;
        EXPECT_EQ(reopened.itemCount(), 2);
        std::printf("%s: %d failure points\n", c.name, points);
    }
}

} // namespace
} // namespace quillon::analyzer

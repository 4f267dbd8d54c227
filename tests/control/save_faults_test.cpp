// Every kind of macro file under a failure at every step of its save: the
// previous file survives each one and the page is told with the message a
// file that cannot be written gets.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "base/byte_order.h"
#include "control/macro_files.h"
#include "control/macro_pages.h"
#include "tests/base/save_faults.h"
#include "tests/control/control_test_support.h"
#include "tests/device/fake_macro_memory.h"

namespace quillon::control {
namespace {

using quillon::testing::failEveryStep;
using quillon::testing::SaveAttempt;
using testing::makeLine;
using testing::Page;

std::vector<uint8_t> olderRecordedFile(std::vector<uint8_t> body) {
    std::vector<uint8_t> file(164 + body.size(), 0);
    std::memcpy(&file[164], body.data(), body.size());
    std::memcpy(&file[20], "old macro", 9);
    storeBe32(&file[113], static_cast<uint32_t>(body.size()));
    return file;
}

SaveAttempt attempt(const FileOutcome& outcome) { return {outcome.ok, outcome.message}; }

// A recovery copy into the folder of `path`, stamped so that it is named as `path`.
FileOutcome saveRecovery(const std::string& path, bool combination, int version, Page& page) {
    LocalTime time;
    time.year = 2026, time.month = 12, time.day = 8, time.hour = 10, time.minute = 10, time.second = 10;
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    std::string written;
    FileOutcome outcome = saveRecoveryCopy(folder, combination, version == 1 ? "first" : "second", 0, time,
                                           *page.document, *page.store, written);
    EXPECT_EQ(written, path);
    return outcome;
}

struct Case {
    const char* name;
    std::string file; // inside the folder
    // The save, writing a version that grows with `version`.
    std::function<FileOutcome(const std::string& path, int version)> save;
    // What the save reads, written before it (and before any step fails).
    std::function<void(const std::string& path, int version)> prepare = [](const std::string&, int) {};
};

TEST(MacroSaveFaults, EveryFailedStepKeepsThePreviousFile) {
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/macro-save-faults";
    Page page;
    page.add(makeLine(88, {{8, 1}, {16, 3}}));
    quillon::testing::FakeMacroMemory memory;
    memory.putRecorded(0, {1, 2, 3});

    const std::vector<Case> cases = {
        {"edit", "e.eqn1",
         [&](const std::string& path, int version) {
             EditMemoryHeader header{};
             header.magic = kEditMagic;
             header.bodyLength = static_cast<uint16_t>(version);
             return saveEditFile(path, header, ExtraBlock{}, *page.document, *page.store);
         }},
        {"working copy", kWorkingCopyName,
         [&](const std::string& path, int version) {
             EditMemoryHeader header{};
             header.magic = kEditMagic;
             header.bodyLength = static_cast<uint16_t>(version);
             return saveEditFile(path, header, ExtraBlock{}, *page.document, *page.store);
         }},
        {"combination", "c.cqn1",
         [&](const std::string& path, int version) {
             Page combination;
             for (int i = 0; i < version; ++i) {
                 combination.add(makeLine(208, {{12, 0}}));
             }
             return saveCombinationFile(path, CombinationMemoryHeader{}, ExtraBlock{}, *combination.document, memory);
         }},
        {"recorded", "r.rqn1",
         [&](const std::string& path, int version) {
             RecordedMacroFile file;
             file.header.magic = kRecordedMagic;
             file.body.assign(static_cast<size_t>(version) * 5, 0x10);
             return saveRecordedFile(path, file);
         }},
        {"converted older recorded", "old.rqn1",
         [&](const std::string& path, int) {
             // Opening "old.mgild" writes its conversion into the folder.
             const std::string older = (std::filesystem::path(path).parent_path().parent_path() / "old.mgild").string();
             RecordedMacroFile loaded;
             std::string loadedPath;
             FileOutcome outcome = loadRecordedFile(older, std::filesystem::path(path).parent_path().string() + "/",
                                                    loaded, loadedPath);
             EXPECT_EQ(loadedPath, path);
             return outcome;
         },
         [](const std::string& path, int version) {
             const std::string older = (std::filesystem::path(path).parent_path().parent_path() / "old.mgild").string();
             auto bytes = olderRecordedFile(std::vector<uint8_t>(static_cast<size_t>(version) * 5, 0x10));
             ASSERT_TRUE(writeFileAtomic(older, bytes.data(), bytes.size()));
         }},
        // The copies a page's unsaved lines are kept in when the machine fails.
        {"edit recovery", "복구-20261208-101010.eqn1",
         [&](const std::string& path, int version) { return saveRecovery(path, false, version, page); }},
        {"combination recovery", "복구-20261208-101010.cqn1",
         [&](const std::string& path, int version) {
             Page combination;
             for (int i = 0; i < version; ++i) {
                 combination.add(makeLine(208, {{12, 0}}));
             }
             return saveRecovery(path, true, version, combination);
         }},
        {"auto-click", "a.aut",
         [&](const std::string& path, int version) {
             AutoClickSettings settings = defaultAutoClickSettings();
             setAutoClickName(settings, version == 1 ? "first" : "second");
             return saveAutoClickFile(path, settings);
         }},
    };
    int total = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(folder);
        const std::string saves = folder + "/saves";
        std::filesystem::create_directories(saves);
        const std::string path = saves + "/" + c.file;
        // The message of a save whose file cannot be written at all.
        const std::string unwritable = folder + "/missing/" + c.file;
        c.prepare(unwritable, 1);
        FileOutcome refused = c.save(unwritable, 1);
        ASSERT_FALSE(refused.ok);
        ASSERT_FALSE(refused.message.empty());
        std::filesystem::remove_all(saves);
        std::filesystem::create_directories(saves);
        c.prepare(path, 1);
        ASSERT_TRUE(c.save(path, 1).ok);
        c.prepare(path, 2);
        const int points = failEveryStep({saves, {path}, refused.message, [&] { return attempt(c.save(path, 2)); }});
        EXPECT_EQ(points, 4); // create, write, flush, replace
        total += points;
    }
    std::filesystem::remove_all(folder);
    std::printf("macro files: %d failure points\n", total);
}

} // namespace
} // namespace quillon::control

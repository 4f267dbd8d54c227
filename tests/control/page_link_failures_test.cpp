// What the macro pages show when the machine stops answering, and what the
// machine receives for carried macros without a body.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "device/macro_memory.h"
#include "control/macro_files.h"
#include "control/macro_compiler.h"
#include "control/macro_pages.h"
#include "tests/control/control_test_support.h"
#include "tests/device/fake_macro_memory.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon::control {
namespace {

using quillon::testing::FakeMacroMemory;
using testing::makeLine;
using testing::Page;

std::string scratch(const char* name) {
    const std::string folder = std::string(QUILLON_BINARY_DIR) + "/control-test-files/";
    std::filesystem::create_directories(folder);
    return folder + name;
}

TEST(PageLinkFailures, EachCallSiteShowsTheLinkTextWithItsOwnLocation) {
    Page edit;
    edit.add(makeLine(224));
    Page combination;
    combination.add(makeLine(208, {{12, 0}}));
    const std::string recordedFile = scratch("link-failure.rqn1");
    {
        FakeMacroMemory source;
        source.putRecorded(0, {1, 2});
        ASSERT_TRUE(saveRecordedMemoryToFile(source, 0, RecordedPageOptions{}, recordedFile).ok);
    }
    struct Case {
        const char* what;
        int readsAllowed; // -1: reads work
        bool writesFail;
        std::function<PageOutcome(FakeMacroMemory&)> run;
        const char* message;
    };
    const Case cases[] = {
        {"store edit", -1, true,
         [&](FakeMacroMemory& m) { return storeEditMacro(m, 1, "e", 0, compileEditMacro(*edit.document, *edit.store)); },
         "기계와 통신이 되지 않습니다(36101)"},
        {"store combination", -1, true,
         [&](FakeMacroMemory& m) {
             return storeCombinationMacro(m, 1, "c", 0, compileCombinationMacro(*combination.document, *combination.store));
         },
         "기계와 통신이 되지 않습니다(36201)"},
        {"store auto-click", -1, true,
         [&](FakeMacroMemory& m) { return storeAutoClick(m, defaultAutoClickSettings()); },
         "기계와 통신이 되지 않습니다(36301)"},
        {"load auto-click", 0, false,
         [&](FakeMacroMemory& m) {
             AutoClickSettings settings{};
             return loadAutoClickFromMachine(m, settings);
         },
         "기계와 통신이 되지 않습니다(36302)"},
        {"recorded header to file", 0, false,
         [&](FakeMacroMemory& m) { return saveRecordedMemoryToFile(m, 0, {}, scratch("never.rqn1")); },
         "기계와 통신이 되지 않습니다(36401)"},
        {"recorded body to file", 1, false,
         [&](FakeMacroMemory& m) { return saveRecordedMemoryToFile(m, 0, {}, scratch("never.rqn1")); },
         "기계와 통신이 되지 않습니다(36402)"},
        {"recorded file to memory", -1, true,
         [&](FakeMacroMemory& m) { return writeRecordedFileToMemory(recordedFile, 3, {}, m); },
         "기계와 통신이 되지 않습니다(36403)"},
        {"combination file reads the played memories", 0, false,
         [&](FakeMacroMemory& m) {
             return saveCombinationPageFile(scratch("never.cqn1"), "c", 0, ExtraBlock{}, *combination.document,
                                            *combination.store, m);
         },
         "기계와 통신이 되지 않습니다(45002)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMacroMemory memory;
        memory.putRecorded(0, {1, 2});
        memory.failReadsAfter = c.readsAllowed;
        memory.failWrites = c.writesFail;
        const PageOutcome outcome = c.run(memory);
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.linkLost);
        EXPECT_EQ(outcome.message, c.message);
    }
}

// A combination file carrying recorded 1-1 (with a body) and edit 1-5 (a
// valid header whose body length is 0).
std::vector<uint8_t> fileWithAnEmptyEditMacro() {
    Page page;
    page.add(makeLine(208, {{12, 0}}));
    page.add(makeLine(209, {{12, 4}}));
    FakeMacroMemory memory;
    memory.putRecorded(0, {7, 8, 9});
    memory.putEdit(4, {});
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeCombinationFile(CombinationMemoryHeader{}, ExtraBlock{}, *page.document, memory, bytes));
    return bytes;
}

// Command codes the machine received, in order. Every block here fits in one
// report, so on HID each command frame is followed by exactly one data report.
std::vector<uint8_t> commandsSent(const quillon::testing::RecordingTransport& wire, LinkKind kind) {
    std::vector<uint8_t> codes;
    if (kind == LinkKind::Hid) {
        for (size_t i = 0; i < wire.outputReports.size(); i += 2) codes.push_back(wire.outputReports[i][1]);
    } else {
        // Block bytes go out one per write; a command frame is [length][payload].
        for (const auto& write : wire.writes) {
            if (write.size() >= 2 && write[0] + 1u == write.size()) codes.push_back(write[1]);
        }
    }
    return codes;
}

TEST(EmbeddedMacros, AnEditMacroWithoutBodyGetsItsHeaderAndNoBodyCommand) {
    const std::vector<uint8_t> bytes = fileWithAnEmptyEditMacro();
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SCOPED_TRACE(quillon::testing::linkName(kind));
        quillon::testing::SimLink sim(kind);
        LinkMacroMemory memory(sim.link);
        ASSERT_TRUE(storeEmbeddedMacros(bytes.data(), bytes.size(), memory).ok);
        // Recorded header and body, then the edit header alone.
        EXPECT_EQ(commandsSent(*sim.wire, kind), (std::vector<uint8_t>{0x30, 0x32, 0x38}));
        EditMemoryHeader back{};
        ASSERT_TRUE(memory.readHeader(4, back, 4300));
        EXPECT_EQ(back.magic, kEditMagic);
        EXPECT_EQ(back.bodyLength, 0);
    }
    FakeMacroMemory fake;
    ASSERT_TRUE(storeEmbeddedMacros(bytes.data(), bytes.size(), fake).ok);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"recorded header 0", "recorded body 0", "edit header 4"}));
}

TEST(EmbeddedMacros, AFailedWriteShowsTheLinkTextNotTheFileText) {
    const std::vector<uint8_t> bytes = fileWithAnEmptyEditMacro();
    quillon::testing::SimLink sim(LinkKind::Hid);
    sim.machine.setFault(sim::FaultKind::Unplug, 0);
    LinkMacroMemory memory(sim.link);
    const FileOutcome outcome = storeEmbeddedMacros(bytes.data(), bytes.size(), memory);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.linkLost);
    EXPECT_EQ(outcome.message, "기계와 통신이 되지 않습니다(45003)");
}

} // namespace
} // namespace quillon::control

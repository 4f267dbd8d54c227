// The control pages on the simulated machine through the macro memories over the link.
#include <gtest/gtest.h>

#include <cstring>

#include "device/macro_memory.h"
#include "control/memory_headers.h"
#include "control/macro_files.h"
#include "control/macro_compiler.h"
#include "control/macro_pages.h"
#include "tests/control/control_test_support.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon::control {
namespace {

constexpr int kLocation = 4300;

TEST(PagesOverTheLink, PagesStoreReadBackAndCarryMemoriesOverTheLink) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        quillon::testing::SimLink sim(kind);
        LinkMacroMemory memory(sim.link);

        testing::Page edit;
        edit.add(testing::makeLine(88, {{8, 2}, {16, 4}}));
        edit.add(testing::makeLine(3, {{8, testing::rowOf(0x28)}}));
        edit.add(testing::makeLine(103));
        ASSERT_TRUE(storeEditMacro(memory, 9, "편집", kFlagKeyboardLock, compileEditMacro(*edit.document, *edit.store)).ok);

        RecordedMemoryHeader recorded{};
        recorded.magic = kRecordedMagic;
        recorded.bodyLength = 100;
        recorded.recordingLength = 777;
        std::vector<uint8_t> body(100);
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>(i * 3);
        ASSERT_TRUE(memory.writeHeader(3, recorded, kLocation));
        ASSERT_TRUE(memory.writeBody(3, recorded, body, kLocation));

        testing::Page back;
        MachineMacro info;
        ASSERT_TRUE(loadEditMacroFromMachine(memory, 9, *back.document, *back.store, nullptr, info));
        EXPECT_EQ(info.name, "편집");
        EXPECT_EQ(info.flags, kFlagKeyboardLock);
        EXPECT_EQ(lineDisplayText(back.document->lines[1]), "\t[ 엔터 ]키를 눌렀다 뗀다.");

        testing::Page combination;
        combination.add(testing::makeLine(208, {{12, 3}}));
        combination.add(testing::makeLine(209, {{12, 9}}));
        // Each memory carried is named on the progress before its body moves;
        // the bar follows every body's reports.
        std::vector<std::string> seen;
        const MemoryProgress progress{[&](int range) { seen.push_back("range " + std::to_string(range)); },
                                      [&](int) {}, [&](const std::string& text) { seen.push_back(text); }};
        std::vector<uint8_t> file;
        ASSERT_TRUE(encodeCombinationFile(makeCombinationMemoryHeader("c", 0, 0, 0, 0), ExtraBlock{},
                                          *combination.document, memory, file, &progress, "조합.cqn1"));
        const std::vector<std::string> read = {"1-4녹화메모리를 [조합.cqn1]파일에 추가저장하고 있습니다.", "range 2",
                                               "2-2편집메모리를 [조합.cqn1]파일에 추가저장하고 있습니다.", "range 1"};
        EXPECT_EQ(seen, read);
        ASSERT_TRUE(storeCombinationMacro(memory, 2, "c", 0, compileCombinationMacro(*combination.document, *combination.store)).ok);

        // A second machine receives the carried memories from the file.
        quillon::testing::SimLink other(kind);
        LinkMacroMemory target(other.link);
        seen.clear();
        ASSERT_TRUE(storeEmbeddedMacros(file.data(), file.size(), target, &progress, "조합.cqn1").ok);
        const std::vector<std::string> written = {
            "[조합.cqn1]파일에 내장된 녹화매크로를 1-4녹화메모리에 저장하고 있습니다.", "range 2",
            "[조합.cqn1]파일에 내장된 편집매크로를 2-2편집메모리에 저장하고 있습니다.", "range 1"};
        EXPECT_EQ(seen, written);
        RecordedMemoryHeader copied{};
        std::vector<uint8_t> copiedBody;
        ASSERT_TRUE(target.readHeader(3, copied, kLocation));
        ASSERT_TRUE(target.readBody(3, copied, copiedBody, kLocation));
        EXPECT_EQ(copiedBody, body);
        testing::Page again;
        ASSERT_TRUE(loadEditMacroFromMachine(target, 9, *again.document, *again.store, nullptr, info));
        EXPECT_EQ(again.document->head.lineCount, 3);

        testing::Page comboBack;
        ASSERT_TRUE(loadCombinationMacroFromMachine(memory, 2, *comboBack.document, *comboBack.store, nullptr, info));
        EXPECT_EQ(lineDisplayText(comboBack.document->lines[1]), "2-2편집매크로를 재생한다");
    }
}

} // namespace
} // namespace quillon::control

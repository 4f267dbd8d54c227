#include <gtest/gtest.h>

#include <cstring>

#include "base/byte_order.h"
#include "editor/editor_document.h"
#include "device/macro_memory.h"
#include "editor/machine_macros.h"
#include "editor_fixture.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

std::vector<uint8_t> recordedHeader(const std::string& name, uint32_t length, uint32_t recordingMs) {
    std::vector<uint8_t> h(kRecordedHeaderSize, 0);
    storeLe16(h.data(), kRecordedMagic);
    storeLe16(h.data() + 2, 0x0103);
    std::memcpy(h.data() + 4, name.data(), name.size());
    storeLe32(h.data() + 46, length);
    storeLe32(h.data() + 50, recordingMs);
    h[54] = 0x12; // delay values travel as they are
    h[57] = 0x34;
    return h;
}

std::vector<uint8_t> editHeader(const std::string& name, uint16_t length) {
    std::vector<uint8_t> h(kEditHeaderSize, 0);
    storeLe16(h.data(), kEditMagic);
    storeLe16(h.data() + 2, 0x4040);
    std::memcpy(h.data() + 4, name.data(), name.size());
    storeLe16(h.data() + 46, length);
    return h;
}

std::vector<uint8_t> combinationHeader(const std::string& name, uint16_t length, uint32_t recorded, uint32_t edit) {
    std::vector<uint8_t> h(kCombinationHeaderSize, 0);
    storeLe16(h.data(), kCombinationMagic);
    std::memcpy(h.data() + 4, name.data(), name.size());
    storeLe16(h.data() + 46, length);
    storeLe32(h.data() + 48, recorded);
    storeLe32(h.data() + 52, edit);
    return h;
}

std::vector<uint8_t> bodyOf(size_t size, uint8_t seed) {
    std::vector<uint8_t> b(size);
    for (size_t i = 0; i < size; ++i) {
        b[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return b;
}

class MachineMacros : public ::testing::TestWithParam<LinkKind> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folders.create());
        // The machine: recorded 2-2 (n = 9) and 1-3 (n = 2), edit 1-4 (n = 3)
        // and 1-6 (n = 5), combination 2 (j = 1) playing recorded 9 and 2 and
        // edit 5; recorded 4-8 (n = 31) holds a header with length 0.
        put(MacroKind::Recorded, 9, recordedHeader("Login", 100, 5000), bodyOf(100, 1));
        put(MacroKind::Recorded, 2, recordedHeader("", 70, 900), bodyOf(70, 2));
        put(MacroKind::Edit, 3, editHeader("Typing", 40), bodyOf(40, 3));
        put(MacroKind::Edit, 5, editHeader("Jump", 130), bodyOf(130, 4));
        put(MacroKind::Combination, 1, combinationHeader("Combo", 20, (1u << 9) | (1u << 2), 1u << 5), bodyOf(20, 5));
        put(MacroKind::Recorded, 31, recordedHeader("Empty", 0, 0), {});
        ASSERT_TRUE(readMacroNameLists(memory, sim.clock, lists));

        Item item{};
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 0}, {8, 3}, {12, 9}})).ok);
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 1}, {8, 1}, {12, 3}})).ok);
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 2}, {8, 1}, {12, 1}})).ok);
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 0}, {8, 1}, {12, 31}})).ok);
        appendItem(model, "매크로들", &item);
        doc.setMachine(&port);
        doc.setProgress([this](const std::string& text, uint64_t, uint64_t) { progress.push_back(text); }, {});
    }

    void put(MacroKind kind, int index, const std::vector<uint8_t>& header, const std::vector<uint8_t>& body) {
        ASSERT_TRUE(direct.writeHeader(kind, index, header));
        if (!body.empty()) {
            ASSERT_TRUE(direct.writeBody(kind, index, header, body));
        }
    }

    struct Memories {
        std::vector<sim::SimMemory> recorded, edit, combination;
        bool operator==(const Memories& o) const {
            auto same = [](const std::vector<sim::SimMemory>& a, const std::vector<sim::SimMemory>& b) {
                for (size_t i = 0; i < a.size(); ++i) {
                    if (a[i].header != b[i].header || a[i].body != b[i].body) return false;
                }
                return true;
            };
            return same(recorded, o.recorded) && same(edit, o.edit) && same(combination, o.combination);
        }
    };
    Memories snapshot() {
        Memories m;
        for (size_t i = 0; i < 32; ++i) m.recorded.push_back(sim.machine.recordedMemory(i));
        for (size_t i = 0; i < 32; ++i) m.edit.push_back(sim.machine.editMemory(i));
        for (size_t i = 0; i < 8; ++i) m.combination.push_back(sim.machine.combinationMemory(i));
        return m;
    }
    std::string savedPath() { return folders.save + "/macros.dat"; }

    quillon::testing::SimLink sim{GetParam(), Program::AnalyzerEditor};
    LinkMacroMemory memory{sim.link};
    MemoryMacroPort direct{memory}; // puts the machine's memories in place
    MacroNameLists lists;
    EditorMachineMacros port{memory, lists};
    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    EditorDocument doc{model, folders, dialogs, sim.clock};
    std::vector<std::string> progress;
};

TEST_P(MachineMacros, NameListsReadAtStartUp) {
    EXPECT_EQ(lists.name(MacroKind::Recorded, 9), "Login");
    EXPECT_EQ(lists.name(MacroKind::Recorded, 2), "[1-3]New 녹화매크로");
    EXPECT_EQ(lists.name(MacroKind::Recorded, 31), "[4-8]빈 녹화매크로");
    EXPECT_EQ(lists.name(MacroKind::Recorded, 0), "[1-1]빈 녹화매크로");
    EXPECT_EQ(lists.name(MacroKind::Edit, 13), "[2-6]빈 편집매크로");
    EXPECT_EQ(lists.name(MacroKind::Edit, 3), "Typing");
    EXPECT_EQ(lists.name(MacroKind::Combination, 1), "Combo");
    EXPECT_EQ(lists.name(MacroKind::Combination, 7), "[8]빈 조합매크로");
    // The headers are kept in program order, delay bytes untouched.
    EXPECT_EQ(lists.recordedHeaders[9], recordedHeader("Login", 100, 5000));
    // 72 headers, each followed by a 10 ms pause.
    EXPECT_GE(sim.clock.tickCount(), 1000u + 72 * 10);
}

TEST_P(MachineMacros, SaveWithMacrosThenInstallOnOpen) {
    dialogs.answers = {true};
    ASSERT_TRUE(doc.save(savedPath()));
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0],
              "이 분석기파일은 기계매크로를 사용하고 있습니다.\n기계매크로를 분석기 파일에 통합해서 저장하시겠습니까?\n"
              "(완성된 분석기의 경우에는 반드시 사용된 매크로를 함께 저장해 주셔야 합니다.)\n\n"
              "[사용중인 녹화매크로]\n2-2 4-8 \n\n[사용중인 편집매크로]\n1-4 \n\n[사용중인 조합매크로]\n2  ");
    EXPECT_EQ(model.image().recordedMacroMask, (1u << 9) | (1u << 31));
    EXPECT_EQ(model.image().editMacroMask, 1u << 3);
    EXPECT_EQ(model.image().combinationMacroMask, 1u << 1);
    EXPECT_NE(std::find(progress.begin(), progress.end(), "Login(9) 녹화매크로를 [macros]파일에 추가저장하고 있습니다."),
              progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), "2번 조합매크로를 [macros]파일에 저장하고 있습니다."),
              progress.end());

    const Memories original = snapshot();
    sim.machine.resetToDefaults();
    const Memories cleared = snapshot();
    ASSERT_FALSE(cleared == original);

    dialogs.answers = {true};
    ASSERT_TRUE(doc.open(savedPath())) << dialogs.messages().back();
    EXPECT_EQ(dialogs.questions().back(),
              "이 분석기파일에는 기계매크로가 포함되어 있습니다.\n기계매크로를 기계로 저장하시겠습니까?\n"
              "(주의:기계로 저장을 하게 되면 기계의 기존 내용을 덮어쓰게 됩니다.)\n\n"
              "[녹화매크로 메모리]\n2-2 4-8 \n\n[편집매크로 메모리]\n1-4 \n\n[조합매크로 메모리]\n2  ");
    Memories installed = snapshot();
    // Every embedded macro (the extra ones behind the combination included)
    // is back; the empty one wrote nothing.
    for (int n : {9, 2}) {
        EXPECT_EQ(installed.recorded[n].header, original.recorded[n].header) << n;
        EXPECT_EQ(installed.recorded[n].body, original.recorded[n].body) << n;
    }
    for (int n : {3, 5}) {
        EXPECT_EQ(installed.edit[n].header, original.edit[n].header) << n;
        EXPECT_EQ(installed.edit[n].body, original.edit[n].body) << n;
    }
    EXPECT_EQ(installed.combination[1].header, original.combination[1].header);
    EXPECT_EQ(installed.combination[1].body, original.combination[1].body);
    EXPECT_EQ(installed.recorded[31].header, cleared.recorded[31].header);
    EXPECT_EQ(model.itemCount(), 1);
    EXPECT_NE(std::find(progress.begin(), progress.end(),
                        "[macros]파일에 내장된 조합매크로를 2번 조합메모리에 저장하고 있습니다."),
              progress.end());
}

TEST_P(MachineMacros, OpenWithNoLeavesTheMachineUntouched) {
    dialogs.answers = {true};
    ASSERT_TRUE(doc.save(savedPath()));
    sim.machine.resetToDefaults();
    const Memories before = snapshot();
    const uint64_t frames = sim.machine.frameCount();
    dialogs.answers = {false};
    ASSERT_TRUE(doc.open(savedPath()));
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(sim.machine.frameCount(), frames);
    EXPECT_EQ(model.itemCount(), 1);
}

TEST_P(MachineMacros, SavingWithoutMacrosWarnsWhenOpened) {
    dialogs.answers = {false};
    ASSERT_TRUE(doc.save(savedPath()));
    EXPECT_FALSE(model.storedMacroMasks().any());
    dialogs.answers = {false}; // Cancel
    EXPECT_FALSE(doc.open(savedPath()));
    EXPECT_EQ(dialogs.questions().back(),
              "이 분석기에는 동작에 필요한 매크로가 제대로 들어 있지 않습니다.\r\n작업을 계속하시겠습니까?\r\n"
              "(기계에 있는 매크로는 분석기를 저장할때 분석기에 저장됩니다.)");
    EXPECT_EQ(dialogs.messages().back(), "파일 저장을 완료 했습니다."); // no failure box for a cancel
    dialogs.answers = {true};
    EXPECT_TRUE(doc.open(savedPath()));
    EXPECT_EQ(model.itemCount(), 1);
}

TEST_P(MachineMacros, AMachineThatStopsAnsweringStopsTheSave) {
    writeBytes(savedPath(), {7, 7, 7});
    // Past the start-up reads: the machine goes silent at the save's first
    // header read.
    sim.machine.setFault(sim::FaultKind::Unplug, sim.machine.frameCount());
    dialogs.answers = {true};
    EXPECT_FALSE(doc.save(savedPath()));
    EXPECT_EQ(dialogs.messages().back(), "Login(9) 녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다.");
    EXPECT_EQ(dialogs.shown.back().caption, "오류");
    // The previous file is left as it was.
    EXPECT_EQ(readBytes(savedPath()), (std::vector<uint8_t>{7, 7, 7}));
}

TEST_P(MachineMacros, AFailedInstallStopsTheOpen) {
    dialogs.answers = {true};
    ASSERT_TRUE(doc.save(savedPath()));
    sim.machine.setFault(sim::FaultKind::Unplug, sim.machine.frameCount());
    dialogs.answers = {true};
    EXPECT_FALSE(doc.open(savedPath()));
    EXPECT_EQ(dialogs.messages().back(), "Login(9) 녹화매크로 정보를 저장하는 동안 오류가 발생했습니다.");
    EXPECT_EQ(model.itemCount(), 1); // the open analyzer stays
}

INSTANTIATE_TEST_SUITE_P(Links, MachineMacros, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return std::string(quillon::testing::linkName(info.param)); });

} // namespace
} // namespace quillon::editor

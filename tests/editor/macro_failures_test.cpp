// Every macro transfer that can fail, one at a time, through the editor's
// machine port: the message the user gets and what is left behind.
#include <gtest/gtest.h>

#include <map>

#include "base/byte_order.h"
#include "editor/editor_document.h"
#include "editor/machine_macros.h"
#include "editor_fixture.h"
#include "tests/device/fake_macro_memory.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

using quillon::testing::FakeMacroMemory;

// Puts a header given as the file carries it, and its body, into the machine.
void put(FakeMacroMemory& memory, MacroKind kind, size_t index, const std::vector<uint8_t>& header,
         std::vector<uint8_t> body) {
    switch (kind) {
    case MacroKind::Recorded:
        std::memcpy(&memory.recorded.at(index), header.data(), header.size());
        memory.recordedBodies[index] = std::move(body);
        break;
    case MacroKind::Edit:
        std::memcpy(&memory.edit.at(index), header.data(), header.size());
        memory.editBodies[index] = std::move(body);
        break;
    case MacroKind::Combination:
        std::memcpy(&memory.combination.at(index), header.data(), header.size());
        memory.combinationBodies[index] = std::move(body);
        break;
    }
}

std::vector<uint8_t> header(MacroKind kind, const char* name, uint32_t length) {
    std::vector<uint8_t> h(headerSizeOf(kind), 0);
    storeLe16(h.data(), magicOf(kind));
    std::memcpy(h.data() + 4, name, std::strlen(name));
    if (kind == MacroKind::Recorded) {
        storeLe32(h.data() + 46, length);
    } else {
        storeLe16(h.data() + 46, static_cast<uint16_t>(length));
    }
    return h;
}

class MacroFailures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folders.create());
        put(memory, MacroKind::Recorded, 10, header(MacroKind::Recorded, "Rec", 5), {1, 2, 3, 4, 5});
        put(memory, MacroKind::Edit, 20, header(MacroKind::Edit, "Edt", 3), {7, 8, 9});
        put(memory, MacroKind::Combination, 4, header(MacroKind::Combination, "Cmb", 2), {5, 6});
        VirtualClock listClock;
        ASSERT_TRUE(readMacroNameLists(memory, listClock, lists));
        Item item{};
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 0}, {8, 1}, {12, 10}})).ok);
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 1}, {8, 1}, {12, 20}})).ok);
        ASSERT_TRUE(addCommand(item, command(CmdMacro, {{4, 2}, {8, 1}, {12, 4}})).ok);
        appendItem(model, "항목", &item);
        doc.setMachine(&port);
    }

    ScratchFolder scratch;
    EditorFolders folders = EditorFolders::under(scratch.file("data"));
    FakeMacroMemory memory;
    MacroNameLists lists;
    EditorMachineMacros port{memory, lists};
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    EditorDocument doc{model, folders, dialogs, clock};
};

struct FailureCase {
    const char* operation; // of the machine's memories
    const char* message;
};

TEST_F(MacroFailures, SavingStopsAtTheFirstFailedRead) {
    const FailureCase cases[] = {
        {"recorded header read", "Rec(10) 녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {"recorded body read", "Rec(10) 녹화매크로 본체를 읽어 오는 동안 오류가 발생했습니다."},
        {"edit header read", "Edt(20) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {"edit body read", "Edt(20) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {"combination header read", "5번 조합매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {"combination body read", "5번 조합매크로 본체를 읽어 오는 동안 오류가 발생했습니다."},
    };
    const std::string path = folders.save + "/실패.dat";
    for (const FailureCase& c : cases) {
        memory.failOperation = c.operation;
        dialogs.answers = {true};
        EXPECT_FALSE(doc.save(path)) << c.message;
        EXPECT_EQ(dialogs.messages().back(), c.message);
        EXPECT_EQ(dialogs.shown.back().caption, "오류");
        EXPECT_FALSE(files::exists(path)) << c.message;
        EXPECT_TRUE(files::filesWithExtension(folders.save, "").empty()) << "a partly written file is left";
    }
}

TEST_F(MacroFailures, InstallingStopsAtTheFirstFailedWrite) {
    const std::string path = folders.save + "/설치.dat";
    dialogs.answers = {true};
    ASSERT_TRUE(doc.save(path));
    const FailureCase cases[] = {
        {"recorded header write", "Rec(10) 녹화매크로 정보를 저장하는 동안 오류가 발생했습니다."},
        {"recorded body write", "Rec(10) 녹화매크로 본체를 저장하는 동안 오류가 발생했습니다."},
        {"edit header write", "Edt(20) 편집매크로 정보를 저장하는 동안 오류가 발생했습니다."},
        {"edit body write", "Edt(20) 편집매크로 본체를 저장하는 동안 오류가 발생했습니다."},
        // The memory number of this one is the index itself.
        {"combination header write", "4번 메모리에 조합매크로 정보를 기록하는 중에 오류가 발생했습니다."},
        // No text of its own: the open fails as a whole.
        {"combination body write", "파일을 불러 오는데 실패했습니다."},
    };
    for (const FailureCase& c : cases) {
        memory.failOperation = c.operation;
        dialogs.answers = {true};
        EXPECT_FALSE(doc.open(path)) << c.message;
        EXPECT_EQ(dialogs.messages().back(), c.message);
        EXPECT_EQ(model.itemCount(), 1) << c.message; // the open analyzer stays
    }
    memory.failOperation.clear();
    dialogs.answers = {true};
    EXPECT_TRUE(doc.open(path));
    EXPECT_EQ(model.itemCount(), 1);
}

} // namespace
} // namespace quillon::editor

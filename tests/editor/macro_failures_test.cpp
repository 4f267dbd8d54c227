// Every macro transfer that can fail, one at a time, through the editor's
// machine port: the message the user gets and what is left behind.
#include <gtest/gtest.h>

#include <map>

#include "base/byte_order.h"
#include "editor/editor_document.h"
#include "editor/machine_macros.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

enum class Op { ReadHeader, ReadBody, WriteHeader, WriteBody };

// Memories held in program order; one operation on one kind can be made to fail.
class FakeMemory final : public MacroMemory {
public:
    std::map<std::pair<MacroKind, int>, std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> memories;
    bool failing = false;
    Op failOp = Op::ReadHeader;
    MacroKind failKind = MacroKind::Recorded;

    bool fails(Op op, MacroKind kind) const { return failing && op == failOp && kind == failKind; }
    bool readHeader(MacroKind kind, int index, std::vector<uint8_t>& header) override {
        if (fails(Op::ReadHeader, kind)) return false;
        auto it = memories.find({kind, index});
        header = it != memories.end() ? it->second.first : std::vector<uint8_t>(headerSizeOf(kind), 0);
        return true;
    }
    bool readBody(MacroKind kind, int index, uint32_t length, std::vector<uint8_t>& body) override {
        if (fails(Op::ReadBody, kind)) return false;
        body = memories[{kind, index}].second;
        return body.size() == length;
    }
    bool writeHeader(MacroKind kind, int index, const std::vector<uint8_t>& header) override {
        if (fails(Op::WriteHeader, kind)) return false;
        memories[{kind, index}].first = header;
        return true;
    }
    bool writeBody(MacroKind kind, int index, const std::vector<uint8_t>& body) override {
        if (fails(Op::WriteBody, kind)) return false;
        memories[{kind, index}].second = body;
        return true;
    }
};

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
        memory.memories[{MacroKind::Recorded, 10}] = {header(MacroKind::Recorded, "Rec", 5), {1, 2, 3, 4, 5}};
        memory.memories[{MacroKind::Edit, 20}] = {header(MacroKind::Edit, "Edt", 3), {7, 8, 9}};
        memory.memories[{MacroKind::Combination, 4}] = {header(MacroKind::Combination, "Cmb", 2), {5, 6}};
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
    FakeMemory memory;
    MacroNameLists lists;
    EditorMachineMacros port{memory, lists};
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    EditorDocument doc{model, folders, dialogs, clock};
};

struct FailureCase {
    Op op;
    MacroKind kind;
    const char* message;
};

TEST_F(MacroFailures, SavingStopsAtTheFirstFailedRead) {
    const FailureCase cases[] = {
        {Op::ReadHeader, MacroKind::Recorded, "Rec(10) 녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {Op::ReadBody, MacroKind::Recorded, "Rec(10) 녹화매크로 본체를 읽어 오는 동안 오류가 발생했습니다."},
        {Op::ReadHeader, MacroKind::Edit, "Edt(20) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {Op::ReadBody, MacroKind::Edit, "Edt(20) 편집매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {Op::ReadHeader, MacroKind::Combination, "5번 조합매크로 정보를 읽어 오는 동안 오류가 발생했습니다."},
        {Op::ReadBody, MacroKind::Combination, "5번 조합매크로 본체를 읽어 오는 동안 오류가 발생했습니다."},
    };
    const std::string path = folders.save + "/실패.dat";
    for (const FailureCase& c : cases) {
        memory.failing = true;
        memory.failOp = c.op;
        memory.failKind = c.kind;
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
        {Op::WriteHeader, MacroKind::Recorded, "Rec(10) 녹화매크로 정보를 저장하는 동안 오류가 발생했습니다."},
        {Op::WriteBody, MacroKind::Recorded, "Rec(10) 녹화매크로 본체를 저장하는 동안 오류가 발생했습니다."},
        {Op::WriteHeader, MacroKind::Edit, "Edt(20) 편집매크로 정보를 저장하는 동안 오류가 발생했습니다."},
        {Op::WriteBody, MacroKind::Edit, "Edt(20) 편집매크로 본체를 저장하는 동안 오류가 발생했습니다."},
        // The memory number of this one is the index itself.
        {Op::WriteHeader, MacroKind::Combination, "4번 메모리에 조합매크로 정보를 기록하는 중에 오류가 발생했습니다."},
        // No text of its own: the open fails as a whole.
        {Op::WriteBody, MacroKind::Combination, "파일을 불러 오는데 실패했습니다."},
    };
    for (const FailureCase& c : cases) {
        memory.failing = true;
        memory.failOp = c.op;
        memory.failKind = c.kind;
        dialogs.answers = {true};
        EXPECT_FALSE(doc.open(path)) << c.message;
        EXPECT_EQ(dialogs.messages().back(), c.message);
        EXPECT_EQ(model.itemCount(), 0) << c.message;
    }
    memory.failing = false;
    dialogs.answers = {true};
    EXPECT_TRUE(doc.open(path));
    EXPECT_EQ(model.itemCount(), 1);
}

} // namespace
} // namespace quillon::editor

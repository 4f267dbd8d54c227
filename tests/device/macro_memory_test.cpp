// The macro memory interface: the same steps give the same results on the
// in-memory machine and on the simulated machine over both links.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "device/macro_memory.h"
#include "device/memory_cache.h"
#include "tests/device/fake_macro_memory.h"
#include "tests/device/sim_link_fixture.h"

namespace quillon {
namespace {

constexpr int kLocation = 900;

struct Machine {
    const char* name;
    std::unique_ptr<testing::SimLink> sim; // null for the in-memory machine
    std::unique_ptr<MacroMemory> memory;
};

std::vector<Machine> machines() {
    std::vector<Machine> all;
    all.push_back({"Fake", nullptr, std::make_unique<testing::FakeMacroMemory>()});
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        auto sim = std::make_unique<testing::SimLink>(kind);
        auto memory = std::make_unique<LinkMacroMemory>(sim->link);
        all.push_back({testing::linkName(kind), std::move(sim), std::move(memory)});
    }
    return all;
}

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 11);
    return bytes;
}

TEST(MacroMemory, StoredMacrosReadBackWithEveryHeaderByte) {
    for (Machine& m : machines()) {
        SCOPED_TRACE(m.name);
        MacroMemory& memory = *m.memory;

        RecordedMemoryHeader recorded{};
        recorded.magic = 0x1234; // the machine stores it as 0x6688
        recorded.flags = 0x4103;
        std::memset(recorded.name, 'y', sizeof recorded.name); // no NUL: kept as it is
        recorded.bodyLength = 100;
        recorded.recordingLength = 5000;
        recorded.firstDelay[0] = 0x12;
        recorded.secondDelay[1] = 0x34;
        const std::vector<uint8_t> recordedBody = pattern(100, 1);
        ASSERT_TRUE(storeMacro(memory, 13, recorded, recordedBody, kLocation));

        EditMemoryHeader edit{};
        edit.magic = kEditMagic;
        setMemoryName(edit.name, "편집");
        edit.bodyLength = 130;
        const std::vector<uint8_t> editBody = pattern(130, 2);
        ASSERT_TRUE(storeMacro(memory, 31, edit, editBody, kLocation));

        CombinationMemoryHeader combination{};
        combination.magic = kCombinationMagic;
        combination.bodyLength = 5;
        combination.recordedSet = 0x80000101;
        combination.editSet = 0x2;
        combination.kept[2] = 0x77;
        const std::vector<uint8_t> combinationBody = {0xD0, 0x08, 0xD1, 0x1F, 0xEE};
        ASSERT_TRUE(storeMacro(memory, 7, combination, combinationBody, kLocation));

        RecordedMemoryHeader recordedBack{};
        std::vector<uint8_t> body;
        ASSERT_TRUE(memory.readHeader(13, recordedBack, kLocation));
        recorded.magic = kRecordedMagic;
        EXPECT_EQ(std::memcmp(&recordedBack, &recorded, sizeof recorded), 0);
        ASSERT_TRUE(memory.readBody(13, recordedBack, body, kLocation));
        EXPECT_EQ(body, recordedBody);

        EditMemoryHeader editBack{};
        ASSERT_TRUE(memory.readHeader(31, editBack, kLocation));
        EXPECT_EQ(std::memcmp(&editBack, &edit, sizeof edit), 0);
        ASSERT_TRUE(memory.readBody(31, editBack, body, kLocation));
        EXPECT_EQ(body, editBody);

        CombinationMemoryHeader combinationBack{};
        ASSERT_TRUE(memory.readHeader(7, combinationBack, kLocation));
        EXPECT_EQ(std::memcmp(&combinationBack, &combination, sizeof combination), 0);
        ASSERT_TRUE(memory.readBody(7, combinationBack, body, kLocation));
        EXPECT_EQ(body, combinationBody);

        // The listed header ends the name; the stored one kept all 42 bytes.
        ASSERT_TRUE(readListedHeader(memory, 13, recordedBack, kLocation));
        EXPECT_EQ(memoryName(recordedBack.name), std::string(41, 'y'));

        std::array<uint8_t, kAutoClickBlockSize> block{};
        block[0] = 0x10;
        block[511] = 0xEE;
        ASSERT_TRUE(memory.writeAutoClickBlock(block.data(), kLocation));
        std::array<uint8_t, kAutoClickBlockSize> blockBack{};
        ASSERT_TRUE(memory.readAutoClickBlock(blockBack.data(), kLocation));
        EXPECT_EQ(blockBack, block);
    }
}

TEST(MacroMemory, EmptyMemoriesRefuseTheirBodyAndAreListedAsEmpty) {
    for (Machine& m : machines()) {
        SCOPED_TRACE(m.name);
        MacroMemory& memory = *m.memory;
        // A valid recorded header without a body, and an edit macro stored
        // without one (its header only).
        RecordedMemoryHeader recorded{};
        setMemoryName(recorded.name, "녹화");
        recorded.flags = 0x40;
        ASSERT_TRUE(memory.writeHeader(2, recorded, kLocation));
        EditMemoryHeader edit{};
        edit.magic = kEditMagic;
        setMemoryName(edit.name, "빈 편집");
        ASSERT_TRUE(storeMacro(memory, 4, edit, {}, kLocation));

        RecordedMemoryHeader stored{};
        ASSERT_TRUE(memory.readHeader(2, stored, kLocation));
        EXPECT_EQ(memoryName(stored.name), "녹화"); // as stored
        EXPECT_EQ(stored.flags, 0x40);
        std::vector<uint8_t> body;
        EXPECT_FALSE(memory.readBody(2, stored, body, kLocation));

        RecordedMemoryHeader listed{};
        ASSERT_TRUE(readListedHeader(memory, 2, listed, kLocation));
        EXPECT_EQ(memoryName(listed.name), kEmptyMemoryName);
        EXPECT_EQ(listed.flags, 0);
        CombinationMemoryHeader never{};
        ASSERT_TRUE(readListedHeader(memory, 5, never, kLocation));
        EXPECT_EQ(memoryName(never.name), kEmptyMemoryName);
        EditMemoryHeader editListed{};
        ASSERT_TRUE(readListedHeader(memory, 4, editListed, kLocation));
        EXPECT_EQ(memoryName(editListed.name), "빈 편집");
        EXPECT_EQ(editListed.bodyLength, 0);
        EXPECT_FALSE(memory.readBody(4, editListed, body, kLocation));
    }
}

TEST(MacroMemory, AMacroWithoutBodySendsNoBodyCommand) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SCOPED_TRACE(testing::linkName(kind));
        testing::SimLink sim(kind);
        LinkMacroMemory memory(sim.link);
        EditMemoryHeader edit{};
        edit.magic = kEditMagic;
        ASSERT_TRUE(storeMacro(memory, 4, edit, {}, kLocation));
        // One command frame and the header block.
        if (kind == LinkKind::Hid) {
            ASSERT_EQ(sim.wire->outputReports.size(), 2u);
            EXPECT_EQ(sim.wire->outputReports[0][1], command::kWriteEditHeader);
        } else {
            EXPECT_EQ(sim.wire->writes.front(), (std::vector<uint8_t>{2, command::kWriteEditHeader, 4}));
            EXPECT_EQ(sim.wire->writes.size(), 1u + sizeof(EditMemoryHeader));
        }
    }
    testing::FakeMacroMemory fake;
    ASSERT_TRUE(storeMacro(fake, 4, EditMemoryHeader{}, {}, kLocation));
    EXPECT_EQ(fake.log, (std::vector<std::string>{"edit header 4"}));
}

TEST(MacroMemory, ALostLinkCarriesTheCallSitesLocation) {
    testing::SimLink sim(LinkKind::Hid);
    sim.machine.setFault(sim::FaultKind::Unplug, 0);
    LinkMacroMemory memory(sim.link);
    EditMemoryHeader header{};
    EXPECT_FALSE(memory.readHeader(3, header, 4711));
    EXPECT_EQ(sim.link.lastError().location, 4711);
    testing::FakeMacroMemory fake;
    fake.failWrites = true;
    EXPECT_FALSE(fake.writeHeader(3, header, 4712));
    EXPECT_EQ(fake.lastLocation, 4712);
}

TEST(MacroMemory, ALoadAsksForTheHeaderAgainThenTheBodyItAnnounces) {
    for (Machine& m : machines()) {
        SCOPED_TRACE(m.name);
        MacroMemory& memory = *m.memory;
        EditMemoryHeader edit{};
        edit.magic = kEditMagic;
        setMemoryName(edit.name, "점프");
        edit.bodyLength = 90;
        ASSERT_TRUE(storeMacro(memory, 7, edit, pattern(90, 3), kLocation));
        EditMemoryHeader current{}; // nothing known before the read
        std::vector<uint8_t> code;
        ASSERT_TRUE(readMacro(memory, 7, current, code, kLocation));
        EXPECT_EQ(code, pattern(90, 3));
        EXPECT_EQ(current.bodyLength, 90);
        EXPECT_EQ(memoryName(current.name), "점프");
        // An empty memory: the header is read, then refused before any body.
        CombinationMemoryHeader none{};
        EXPECT_FALSE(readMacro(memory, 6, none, code, kLocation));
        EXPECT_EQ(memoryName(none.name), kEmptyMemoryName);
        if (m.sim && m.sim->link.kind() == LinkKind::Hid) {
            const auto& reports = m.sim->wire->outputReports;
            ASSERT_FALSE(reports.empty());
            EXPECT_EQ(reports.back()[1], command::kReadCombinationHeader);
        }
    }
}

TEST(MemoryCaches, FillClearAndCopyThroughAnyMacroMemory) {
    for (Machine& m : machines()) {
        SCOPED_TRACE(m.name);
        MacroMemory& memory = *m.memory;
        RecordedMemoryHeader recorded{};
        setMemoryName(recorded.name, "걷기");
        recorded.bodyLength = 150;
        ASSERT_TRUE(storeMacro(memory, 2, recorded, pattern(150, 1), kLocation));
        RecordedHeaderCache cache;
        ASSERT_TRUE(cache.fill(memory, kLocation));
        EXPECT_EQ(listLines(cache)[2], "  1-3메모리---걷기");
        ASSERT_TRUE(copyRecorded(memory, cache, 2, 20, "사본", 0x0001, kLocation));
        RecordedMemoryHeader copied{};
        std::vector<uint8_t> body;
        ASSERT_TRUE(readMacro(memory, 20, copied, body, kLocation));
        EXPECT_EQ(body, pattern(150, 1));
        EXPECT_EQ(copied.flags, 0x0001);
        ASSERT_TRUE(clearRecorded(memory, cache, 2, kLocation));
        RecordedHeaderCache fresh;
        ASSERT_TRUE(fresh.fill(memory, kLocation));
        EXPECT_EQ(listLines(fresh)[2], "  1-3메모리---비어 있슴");
        EXPECT_EQ(listLines(fresh)[20], "  3-5메모리---사본");
    }
    // A read that fails part way leaves the cache unfilled.
    testing::FakeMacroMemory fake;
    fake.failReadsAfter = 5;
    EditHeaderCache edits;
    EXPECT_FALSE(edits.fill(fake, kLocation));
    EXPECT_FALSE(edits.filled());
}

} // namespace
} // namespace quillon

#include "base/byte_order.h"
#include "device/memory_cache.h"
#include "device/memory_transfer.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace quillon {
namespace {

using testing::SimLink;

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + i / 251);
    return bytes;
}

RecordedMemoryHeader recordedHeader(const char* name, uint32_t length) {
    RecordedMemoryHeader h{};
    h.magic = kRecordedMagic;
    h.flags = 0x4203;
    setMemoryName(h.name, name);
    h.bodyLength = length;
    h.recordingLength = 123456;
    h.firstDelay[0] = 0x12; // held big-endian: bytes 12 34 on the link
    h.firstDelay[1] = 0x34;
    h.secondDelay[0] = 0x56;
    h.secondDelay[1] = 0x78;
    return h;
}

TEST(MemoryNaming, BankSlotAndLines) {
    EXPECT_EQ(bankSlot(13), "2-6");
    EXPECT_EQ(bankSlot(31), "4-8");
    EXPECT_EQ(bankSlot(0), "1-1");
    EXPECT_EQ(memoryListLine(9, "비어 있슴"), "  2-2메모리---비어 있슴");
    EXPECT_EQ(editLoadListLine(8, "점프", 300), "  2-1메모리(300)---점프");
    EXPECT_EQ(editLoadListLine(8, "비어 있슴", std::nullopt), "  2-1메모리---비어 있슴");
    EXPECT_EQ(combinationListLine(0, "콤보"), "  1번 메모리---콤보");
    EXPECT_EQ(memoryEcho(13, "걷기"), "2-6번메모리     걷기");
    EXPECT_EQ(combinationEcho(7, "콤보"), "8번 메모리     콤보");
    EXPECT_EQ(recordedToFileText(13, "a.rqn1"), "2-6번 메모리를 [a.rqn1]파일에 저장하고 있습니다.");
    EXPECT_EQ(recordedAppendedToFileText(0, "c"), "1-1녹화메모리를 [c]파일에 추가저장하고 있습니다.");
    EXPECT_EQ(editAppendedToFileText(31, "c"), "4-8편집메모리를 [c]파일에 추가저장하고 있습니다.");
    EXPECT_EQ(embeddedRecordedToMemoryText("c", 1), "[c]파일에 내장된 녹화매크로를 1-2녹화메모리에 저장하고 있습니다.");
    EXPECT_EQ(embeddedEditToMemoryText("c", 2), "[c]파일에 내장된 편집매크로를 1-3편집메모리에 저장하고 있습니다.");
}

TEST(MemoryHeaders, LinkOrderConvertsOnlyTheConvertedFields) {
    uint8_t bytes[63];
    const RecordedMemoryHeader held = recordedHeader("A", 0x01020304);
    recordedHeaderToLink(held, bytes);
    EXPECT_EQ(loadBe16(bytes), 0x6688);
    EXPECT_EQ(loadBe16(bytes + 2), 0x4203);
    EXPECT_EQ(loadBe32(bytes + 46), 0x01020304u);
    EXPECT_EQ(loadBe32(bytes + 50), 123456u);
    EXPECT_EQ(bytes[54], 0x12) << "delays cross as held";
    EXPECT_EQ(bytes[55], 0x34);
    EXPECT_EQ(recordedHeaderFromLink(bytes).firstDelay[0], 0x12);
    EXPECT_EQ(recordedHeaderFromLink(bytes).firstDelay[1], 0x34);
    RecordedMemoryHeader back{};
    headerFromLink(bytes, back);
    EXPECT_EQ(std::memcmp(&back, &held, sizeof held), 0) << "the way back gives every byte as it was held";

    CombinationMemoryHeader c{};
    c.magic = kCombinationMagic;
    c.bodyLength = 0x0102;
    c.recordedSet = 0x80000001;
    c.editSet = 0x00000300;
    uint8_t cb[65];
    combinationHeaderToLink(c, cb);
    EXPECT_EQ(loadBe16(cb + 46), 0x0102);
    EXPECT_EQ(loadLe32(cb + 48), 0x80000001u) << "memory sets stay little-endian";
    EXPECT_EQ(loadLe32(cb + 52), 0x00000300u);
    EXPECT_EQ(combinationHeaderFromLink(cb).recordedSet, 0x80000001u);
}

TEST(MemoryHeaders, NamesAreCutToThirtyNineBytesWithoutSplittingACharacter) {
    char field[kMemoryNameField];
    setMemoryName(field, std::string(50, 'x'));
    EXPECT_EQ(memoryName(field), std::string(39, 'x'));
    setMemoryName(field, "가나다라마바사아자차카타파하가나다라마바"); // 20 characters, 40 bytes
    EXPECT_EQ(memoryName(field), "가나다라마바사아자차카타파하가나다라마");
    std::memset(field, 'y', sizeof field); // no terminator from the machine
    RecordedMemoryHeader h = recordedHeader("", 1);
    uint8_t bytes[63];
    recordedHeaderToLink(h, bytes);
    std::memset(bytes + 4, 'y', 42);
    EXPECT_EQ(memoryName(recordedHeaderFromLink(bytes).name), std::string(41, 'y'));
}

class MemoriesOnBothLinks : public ::testing::TestWithParam<LinkKind> {};

TEST_P(MemoriesOnBothLinks, RecordedRoundTrip) {
    SimLink s(GetParam());
    const auto body = pattern(5000, 3);
    const auto header = recordedHeader("녹화 하나", static_cast<uint32_t>(body.size()));
    std::vector<int> positions;
    int range = 0;
    MemoryProgress progress{[&](int r) { range = r; }, [&](int p) { positions.push_back(p); }, {}};
    ASSERT_TRUE(storeRecorded(s.link, 13, header, body, 101, &progress));
    EXPECT_EQ(range, 5000 / 64 + 1);
    EXPECT_EQ(positions.back(), 79);

    const auto held = s.machine.recordedMemory(13);
    EXPECT_EQ(held.body, body);
    EXPECT_EQ(loadBe16(held.header.data()), 0x6688);
    EXPECT_EQ(loadBe32(held.header.data() + 46), 5000u);

    RecordedMemoryHeader back{};
    ASSERT_TRUE(readRecordedHeader(s.link, 13, back, 102));
    EXPECT_EQ(0, std::memcmp(&back, &header, sizeof header));
    std::vector<uint8_t> read;
    ASSERT_TRUE(readRecordedBody(s.link, 13, back, read, 103, &progress));
    EXPECT_EQ(read, body);
}

TEST_P(MemoriesOnBothLinks, EditRoundTripOfTheLargestBody) {
    SimLink s(GetParam());
    const auto code = pattern(kEditBodyMax, 9);
    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.flags = 0x4010;
    header.bodyLength = static_cast<uint16_t>(code.size()); // 32768 fits in 16 bits
    setMemoryName(header.name, "편집");
    int range = -1;
    std::vector<int> positions;
    MemoryProgress progress{[&](int r) { range = r; }, [&](int p) { positions.push_back(p); }, {}};
    ASSERT_TRUE(storeEdit(s.link, 31, header, code, 201, &progress));
    // The bar follows the 512 reports of the body, as for a recorded body.
    EXPECT_EQ(range, 513);
    ASSERT_EQ(positions.size(), 513u);
    EXPECT_EQ(positions.front(), 0);
    EXPECT_EQ(positions.back(), 512);
    EXPECT_EQ(s.machine.editMemory(31).body, code);

    EditMemoryHeader back{};
    std::vector<uint8_t> read;
    ASSERT_TRUE(readEditBody(s.link, 31, back, read, 202));
    EXPECT_EQ(read, code);
    EXPECT_EQ(0, std::memcmp(&back, &header, sizeof header));
}

TEST_P(MemoriesOnBothLinks, CombinationAndAutoClickRoundTrip) {
    SimLink s(GetParam());
    const auto code = pattern(700, 1);
    CombinationMemoryHeader header{};
    header.magic = kCombinationMagic;
    header.bodyLength = 700;
    header.recordedSet = 0x00002001;
    header.editSet = 0x80000000;
    header.kept[0] = 0xAB;
    setMemoryName(header.name, "콤보");
    ASSERT_TRUE(storeCombination(s.link, 7, header, code, 301));
    CombinationMemoryHeader back{};
    std::vector<uint8_t> read;
    ASSERT_TRUE(readCombinationBody(s.link, 7, back, read, 302));
    EXPECT_EQ(read, code);
    EXPECT_EQ(0, std::memcmp(&back, &header, sizeof header));
    EXPECT_EQ(loadLe32(s.machine.combinationMemory(7).header.data() + 48), 0x00002001u);

    const auto block = pattern(512, 77);
    ASSERT_TRUE(writeAutoClickBlock(s.link, block.data(), 303));
    EXPECT_EQ(s.machine.autoClickBlock(), block);
    uint8_t readBlock[512];
    ASSERT_TRUE(readAutoClickBlock(s.link, readBlock, 304));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), readBlock));
}

TEST_P(MemoriesOnBothLinks, EmptyMemoriesReadAsEmptyAndTheirBodiesAreNotAskedFor) {
    SimLink s(GetParam());
    // Magic right, length 0: empty.
    ASSERT_TRUE(writeRecordedHeader(s.link, 4, recordedHeader("지운것", 0), 1));
    RecordedMemoryHeader header{};
    ASSERT_TRUE(readRecordedHeader(s.link, 4, header, 2));
    EXPECT_EQ(memoryName(header.name), "비어 있슴");
    EXPECT_EQ(+header.flags, 0);
    EXPECT_EQ(+header.recordingLength, 0u);
    const uint64_t frames = s.machine.frameCount();
    std::vector<uint8_t> body;
    EXPECT_FALSE(readRecordedBody(s.link, 4, header, body, 3));
    EXPECT_EQ(s.link.lastError().failure, LinkFailure::Refused);
    EXPECT_EQ(s.machine.frameCount(), frames) << "nothing was sent";
    EXPECT_FALSE(s.link.isBusy());

    // Edit memory with a foreign magic: length 0, the name kept.
    EditMemoryHeader edit{};
    edit.magic = 0x1234;
    edit.bodyLength = 40;
    setMemoryName(edit.name, "남은이름");
    ASSERT_TRUE(writeEditHeader(s.link, 2, edit, 4));
    EditMemoryHeader editBack{};
    std::vector<uint8_t> code;
    EXPECT_FALSE(readEditBody(s.link, 2, editBack, code, 5));
    EXPECT_EQ(+editBack.bodyLength, 0);
    EXPECT_EQ(memoryName(editBack.name), "남은이름");

    // Combination memory never written: bytes 46..59 cleared, name set.
    CombinationMemoryHeader combination{};
    ASSERT_TRUE(readCombinationHeader(s.link, 0, combination, 6));
    EXPECT_EQ(memoryName(combination.name), "비어 있슴");
}

TEST_P(MemoriesOnBothLinks, ClearAndCopyKeepTheCacheInStep) {
    SimLink s(GetParam());
    LinkMacroMemory memory(s.link);
    const auto body = pattern(300, 5);
    ASSERT_TRUE(storeRecorded(s.link, 9, recordedHeader("아홉", 300), body, 1));
    ASSERT_TRUE(storeRecorded(s.link, 0, recordedHeader("", 300), body, 1));
    RecordedHeaderCache cache;
    ASSERT_TRUE(cache.fill(memory, 2));
    EXPECT_EQ(cache.name(9), "아홉");
    EXPECT_EQ(cache.name(0), "새로 만든 매크로");
    EXPECT_EQ(memoryName(cache.header(0).name), "새로 만든 매크로") << "written into the cache entry";
    EXPECT_EQ(cache.name(1), "비어 있슴");

    // Copy 1-1 to 2-8: header and body read, then written.
    ASSERT_TRUE(copyRecorded(memory, cache, 0, 15, "복사본", 0x0001, 3));
    EXPECT_EQ(s.machine.recordedMemory(15).body, body);
    EXPECT_EQ(cache.name(15), "복사본");

    // Clearing 2-2 lists it as empty, and the machine holds magic 0x6688 with length 0.
    ASSERT_TRUE(clearRecorded(memory, cache, 9, 4));
    EXPECT_EQ(listLines(cache)[9], "  2-2메모리---비어 있슴");
    EXPECT_EQ(loadBe16(s.machine.recordedMemory(9).header.data()), 0x6688);
    EXPECT_EQ(loadBe32(s.machine.recordedMemory(9).header.data() + 46), 0u);
    RecordedHeaderCache fresh;
    ASSERT_TRUE(fresh.fill(memory, 5));
    EXPECT_EQ(listLines(fresh)[9], "  2-2메모리---비어 있슴");
    EXPECT_EQ(listLines(fresh)[15], "  2-8메모리---복사본");

    EditHeaderCache edits;
    ASSERT_TRUE(edits.fill(memory, 6));
    ASSERT_TRUE(clearEdit(memory, edits, 3, 7));
    CombinationHeaderCache combos;
    ASSERT_TRUE(combos.fill(memory, 8));
    ASSERT_TRUE(clearCombination(memory, combos, 2, 9));
    EXPECT_EQ(listLines(combos)[2], "  3번 메모리---비어 있슴");
}

INSTANTIATE_TEST_SUITE_P(Links, MemoriesOnBothLinks, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return std::string(testing::linkName(info.param)); });

TEST(MemoryTransfer, CopyingAMemoryOntoItselfRewritesOnlyTheHeader) {
    SimLink s(LinkKind::Hid);
    LinkMacroMemory memory(s.link);
    const auto body = pattern(200, 2);
    ASSERT_TRUE(storeRecorded(s.link, 0, recordedHeader("원본", 200), body, 1));
    RecordedHeaderCache cache;
    ASSERT_TRUE(cache.fill(memory, 2));
    s.wire->outputReports.clear();
    ASSERT_TRUE(copyRecorded(memory, cache, 0, 0, "새이름", 0x0100, 3));
    // The header command and its one data report; no body command.
    ASSERT_EQ(s.wire->outputReports.size(), 2u);
    EXPECT_EQ(s.wire->outputReports[0][1], 0x30);
    EXPECT_EQ(s.machine.recordedMemory(0).body, body);
    RecordedMemoryHeader back{};
    ASSERT_TRUE(readRecordedHeader(s.link, 0, back, 4));
    EXPECT_EQ(memoryName(back.name), "새이름");
    EXPECT_EQ(+back.flags, 0x0100);
    EXPECT_EQ(+back.bodyLength, 200u);
}

TEST(MemoryTransfer, AHundredByteBodyTakesTwoReports) {
    SimLink s(LinkKind::Hid);
    const auto code = pattern(100, 4);
    ASSERT_TRUE(writeEditBody(s.link, 0, code, 1));
    // The command, then two data reports.
    ASSERT_EQ(s.wire->outputReports.size(), 3u);
    EXPECT_EQ(s.wire->outputReports[0][1], 0x3A);
    EXPECT_EQ(s.wire->outputReports[0][3], 0);
    EXPECT_EQ(s.wire->outputReports[0][4], 100);
    EXPECT_TRUE(std::equal(code.begin() + 64, code.end(), s.wire->outputReports[2].begin() + 1));
    EXPECT_EQ(s.machine.editMemory(0).body, code);

    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.bodyLength = 100;
    ASSERT_TRUE(writeEditHeader(s.link, 0, header, 2));
    s.wire->inputReports.clear();
    std::vector<uint8_t> read;
    ASSERT_TRUE(readEditBody(s.link, 0, header, read, 3));
    EXPECT_EQ(read, code);
    EXPECT_EQ(s.wire->inputReports.size(), 1u + 2u) << "one header report, two body reports";
}

TEST(MemoryTransfer, LengthsFromTheMachineAreChecked) {
    SimLink s(LinkKind::Hid);
    RecordedMemoryHeader huge = recordedHeader("큰것", 0xFFFFFFF0u);
    ASSERT_TRUE(writeRecordedHeader(s.link, 1, huge, 1));
    RecordedMemoryHeader back{};
    ASSERT_TRUE(readRecordedHeader(s.link, 1, back, 2));
    std::vector<uint8_t> body;
    EXPECT_FALSE(readRecordedBody(s.link, 1, back, body, 3));
    EXPECT_EQ(s.link.lastError().failure, LinkFailure::Refused);
    EXPECT_TRUE(body.empty());
    // Bodies shorter than their header's length are not sent.
    EXPECT_FALSE(writeRecordedBody(s.link, 1, recordedHeader("x", 10), std::vector<uint8_t>(9), 4));
    EXPECT_FALSE(writeEditBody(s.link, 1, std::vector<uint8_t>(kEditBodyMax + 1), 5));
    EditMemoryHeader outOfRange{};
    EXPECT_FALSE(readEditHeader(s.link, 32, outOfRange, 6));
}

TEST(MemoryTransfer, UnplugAtEveryReportOfTheLargestEditBodyFailsWithItsLocation) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        const auto code = pattern(kEditBodyMax, 6);
        size_t failures = 0;
        // The command frame and 512 data frames (reports, or 64-byte spans on
        // serial). Serial moves the body byte by byte, so it samples the frames
        // around each 512-byte chunk's end and every fifth one between.
        const uint64_t step = kind == LinkKind::Hid ? 1 : 5;
        size_t runs = 0;
        for (uint64_t at = 0; at < 513; ++at) {
            const bool chunkEdge = at % 8 == 0 || at % 8 == 1;
            if (at % step != 0 && !chunkEdge) continue;
            ++runs;
            SimLink s(kind, Program::ControlPanel, false);
            s.machine.setFault(sim::FaultKind::Unplug, s.machine.frameCount() + at);
            const bool ok = writeEditBody(s.link, 5, code, 4242);
            ASSERT_FALSE(ok) << "frame " << at;
            EXPECT_EQ(s.link.lastError().location, 4242);
            EXPECT_TRUE(s.link.isDead() && !s.link.isBusy()) << "the link is given up and its lock free";
            EXPECT_TRUE(s.machine.editMemory(5).body.empty());
            ++failures;
        }
        EXPECT_EQ(failures, runs);
    }
}

} // namespace
} // namespace quillon

#include "base/byte_order.h"
#include "device/actions.h"
#include "device/device_records.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <numeric>

namespace quillon {
namespace {

using testing::SimLink;

class RecordsOnBothLinks : public ::testing::TestWithParam<LinkKind> {};

TEST_P(RecordsOnBothLinks, OptionRecordReadsInHostOrder) {
    SimLink s(GetParam());
    OptionRecord record{};
    ASSERT_TRUE(readOptionRecord(s.link, record));
    EXPECT_EQ(+record.magic, 0x5678);
    EXPECT_EQ(+record.flags, 0x0004);
    EXPECT_EQ(+record.mouseSpeed, 10);
    EXPECT_EQ(+record.deviceNumber, 20261208u);
    EXPECT_EQ(+record.firmwareVersion, 0x0103);
    const auto machineBytes = s.machine.optionRecordBytes();
    EXPECT_TRUE(std::equal(record.deviceData, record.deviceData + 287, machineBytes.begin() + 2));
}

TEST_P(RecordsOnBothLinks, OptionRecordWriteChangesOnlyWhatWasEdited) {
    SimLink s(GetParam());
    auto bytes = s.machine.optionRecordBytes();
    storeBe16(bytes.data() + 289, 0x8101); // other bits set, coordinate mouse off
    s.machine.setOptionRecordBytes(bytes);
    OptionRecord record{};
    ASSERT_TRUE(readOptionRecord(s.link, record));
    record.flags |= kOptionCoordinateMouse;
    record.mouseSpeed = 17;
    ASSERT_TRUE(writeOptionRecord(s.link, record));

    auto expected = bytes;
    storeBe16(expected.data() + 289, 0x8105);
    expected[291] = 17;
    EXPECT_EQ(s.machine.optionRecordBytes(), expected);
}

TEST_P(RecordsOnBothLinks, HotkeyRecordRoundTripAndReset) {
    SimLink s(GetParam());
    HotkeyRecord record{};
    ASSERT_TRUE(readHotkeyRecord(s.link, record));
    EXPECT_EQ(+record.magic, 0x4488);
    record.keys[16] = 0x2C; // stop key: Space
    ASSERT_TRUE(writeHotkeyRecord(s.link, record));
    EXPECT_EQ(s.machine.hotkeyRecordBytes()[18], 0x2C);
    EXPECT_EQ(s.machine.hotkeyRecordBytes()[0], 0x44);

    HotkeyRecord reset{};
    ASSERT_TRUE(resetHotkeys(s.link, reset));
    EXPECT_EQ(s.machine.hotkeyRecordBytes(), sim::defaultHotkeyRecordBytes());
    EXPECT_EQ(reset.keys[16], sim::defaultHotkeyRecordBytes()[18]);
}

TEST_P(RecordsOnBothLinks, WrongMagicIsRefusedWithItsLocation) {
    SimLink s(GetParam());
    s.machine.setWrongMagic(true);
    OptionRecord option{};
    EXPECT_FALSE(readOptionRecord(s.link, option, 20028));
    EXPECT_EQ(s.link.lastError().failure, LinkFailure::WrongMagic);
    EXPECT_EQ(s.link.lastError().location, 20028);
    HotkeyRecord hotkeys{};
    EXPECT_FALSE(readHotkeyRecord(s.link, hotkeys, 68));
    EXPECT_EQ(s.link.lastError().failure, LinkFailure::WrongMagic);
    EXPECT_EQ(s.link.lastError().location, 68);
}

TEST_P(RecordsOnBothLinks, ScheduleAndLinkTest) {
    SimLink s(GetParam());
    EXPECT_TRUE(scheduleMacro(s.link, 2, 72));
    EXPECT_NE(s.machine.stateJson().find("\"scheduled\":{\"kind\":2,\"index\":72}"), std::string::npos);
    EXPECT_TRUE(cancelScheduledMacro(s.link));
    EXPECT_NE(s.machine.stateJson().find("\"scheduled\":null"), std::string::npos);
    EXPECT_TRUE(testLink(s.link));
    EXPECT_EQ(s.link.reply()[1], 0xAA);
    EXPECT_FALSE(s.link.isBusy());
}

INSTANTIATE_TEST_SUITE_P(Links, RecordsOnBothLinks, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return std::string(testing::linkName(info.param)); });

TEST(HidBlocks, OptionRecordTakesFiveReportsAndUses42BytesOfTheFifth) {
    SimLink s(LinkKind::Hid);
    std::vector<size_t> progress;
    ASSERT_TRUE(s.link.sendCommand(command::kReadOptionRecord));
    uint8_t bytes[298];
    ASSERT_TRUE(s.link.readBlock(sizeof bytes, bytes, [&](const TransferProgress& p) { progress.push_back(p.reports); }));
    EXPECT_EQ(s.wire->outputReports.size(), 5u); // the command and four repetitions
    for (const auto& report : s.wire->outputReports) {
        EXPECT_EQ(report[0], 4);
        EXPECT_EQ(report[1], 0x10);
    }
    ASSERT_EQ(s.wire->inputReports.size(), 5u);
    EXPECT_EQ(progress, (std::vector<size_t>{1, 2, 3, 4, 5}));
    const auto machine = s.machine.optionRecordBytes();
    EXPECT_TRUE(std::equal(machine.begin(), machine.end(), bytes));
    // Bytes 1..42 of the fifth report are the record's last 42 bytes.
    EXPECT_TRUE(std::equal(machine.begin() + 256, machine.end(), s.wire->inputReports[4].begin() + 1));
}

TEST(HidBlocks, WriteSendsOneAcknowledgedReportPer64Bytes) {
    SimLink s(LinkKind::Hid);
    OptionRecord record{};
    ASSERT_TRUE(readOptionRecord(s.link, record));
    s.wire->outputReports.clear();
    s.wire->inputReports.clear();
    ASSERT_TRUE(writeOptionRecord(s.link, record));
    // The command, then five data reports; one reply for each of the six.
    EXPECT_EQ(s.wire->outputReports.size(), 6u);
    EXPECT_EQ(s.wire->inputReports.size(), 6u);
    EXPECT_EQ(s.wire->outputReports[0][1], 0x11);
    EXPECT_EQ(s.wire->outputReports[1][1], 0x56); // first data byte: the magic, big-endian
    EXPECT_EQ(s.wire->outputReports[1][2], 0x78);
}

TEST(SerialBlocks, ThousandByteReadIsAcknowledgedTwice) {
    SimLink s(LinkKind::Serial);
    std::vector<uint8_t> block(1000);
    std::iota(block.begin(), block.end(), uint8_t{3});
    // The auto-click block is 512 bytes; a recorded body gives any length.
    std::vector<uint8_t> header(63, 0);
    storeBe16(header.data(), 0x6688);
    storeBe32(header.data() + 46, 1000);
    ASSERT_TRUE(s.link.sendCommand(command::kWriteRecordedHeader, {5}) && s.link.receiveReply() && s.link.writeBlock(63, header.data()));
    ASSERT_TRUE(s.link.sendCommand(command::kWriteRecordedBody, {5}) && s.link.receiveReply() && s.link.writeBlock(1000, block.data()));
    EXPECT_EQ(s.machine.recordedMemory(5).body, block);

    s.wire->writes.clear();
    ASSERT_TRUE(s.link.sendCommand(command::kReadRecordedBody, {5}));
    std::vector<uint8_t> read(1000);
    size_t lastBytes = 0;
    ASSERT_TRUE(s.link.readBlock(read.size(), read.data(), [&](const TransferProgress& p) { lastBytes = p.bytes; }));
    EXPECT_EQ(read, block);
    EXPECT_EQ(lastBytes, 1000u);
    // The command frame, then one 0xAA after 512 bytes and one after 488.
    ASSERT_EQ(s.wire->writes.size(), 3u);
    EXPECT_EQ(s.wire->writes[0], (std::vector<uint8_t>{2, 0x33, 5}));
    EXPECT_EQ(s.wire->writes[1], std::vector<uint8_t>{0xAA});
    EXPECT_EQ(s.wire->writes[2], std::vector<uint8_t>{0xAA});
}

TEST(SerialBlocks, WriteGoesOneBytePerWriteWithAReplyPerChunk) {
    SimLink s(LinkKind::Serial);
    std::vector<uint8_t> block(600, 0x42);
    ASSERT_TRUE(s.link.sendCommand(command::kWriteEditBody, {1, static_cast<uint8_t>(600 >> 8), static_cast<uint8_t>(600 & 0xFF)}) && s.link.receiveReply());
    const size_t readBefore = s.wire->bytesRead.size();
    ASSERT_TRUE(s.link.writeBlock(block.size(), block.data()));
    EXPECT_EQ(s.wire->writes.size(), 1u + 600u);
    for (size_t i = 1; i < s.wire->writes.size(); ++i) {
        EXPECT_EQ(s.wire->writes[i].size(), 1u);
    }
    // Two framed replies: after 512 bytes and after the last 88.
    EXPECT_EQ(s.wire->bytesRead.size() - readBefore, 4u);
    EXPECT_EQ(s.machine.editMemory(1).body, block);
}

TEST(SerialFrames, CommandsAreLengthPrefixed) {
    SimLink s(LinkKind::Serial);
    ASSERT_TRUE(scheduleMacro(s.link, 1, 9));
    EXPECT_EQ(s.wire->writes.at(0), (std::vector<uint8_t>{3, 0x68, 1, 9}));
    EXPECT_EQ(s.wire->bytesRead, (std::vector<uint8_t>{1, 0xFE}));
}

} // namespace
} // namespace quillon

namespace quillon::testing {
namespace {

// A command frame carries its code and arguments and nothing left over from
// the frame before it; an action frame is the action command, the action and
// its terminator.
TEST(LinkFrames, CommandsAndActionsCarryOnlyTheirOwnBytes) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind);
        ASSERT_TRUE(s.link.sendCommand(command::kScheduleMacro, {2, 72}) && s.link.receiveReply()) << linkName(kind);
        ASSERT_TRUE(s.link.sendCommand(command::kLinkTest) && s.link.receiveReply()) << linkName(kind);
        ASSERT_EQ(sendAction(s.link, Action::keyDown(4)), ActionSend::Sent) << linkName(kind);
        std::vector<std::vector<uint8_t>> frames;
        if (kind == LinkKind::Hid) {
            frames = s.wire->outputReports;
        } else {
            frames = s.wire->writes;
        }
        ASSERT_EQ(frames.size(), 3u) << linkName(kind);
        auto expected = [&](const std::vector<uint8_t>& payload) {
            std::vector<uint8_t> frame(kind == LinkKind::Hid ? kFrameSize : payload.size() + 1, 0);
            frame[0] = kind == LinkKind::Hid ? 4 : static_cast<uint8_t>(payload.size());
            std::copy(payload.begin(), payload.end(), frame.begin() + 1);
            return frame;
        };
        EXPECT_EQ(frames[0], expected({command::kScheduleMacro, 2, 72})) << linkName(kind);
        EXPECT_EQ(frames[1], expected({command::kLinkTest})) << linkName(kind);
        const Action key = Action::keyDown(4);
        std::vector<uint8_t> action(3u + key.operandCount, 0);
        action[0] = command::kAction;
        action[1] = key.code;
        std::copy(key.operands.begin(), key.operands.begin() + key.operandCount, action.begin() + 2);
        action.back() = kActionTerminator;
        EXPECT_EQ(frames[2], expected(action)) << linkName(kind);
    }
}

} // namespace
} // namespace quillon::testing

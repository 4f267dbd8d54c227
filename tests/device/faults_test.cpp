// The machine goes silent, unplugged or talks garbage at every step of an
// exchange: the operation fails within its bound with the right code, and
// never reports success.
#include "device/device_records.h"
#include "device/link_messages.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace quillon {
namespace {

using testing::SimLink;

struct Operation {
    const char* name;
    std::function<bool(Link&)> run;
};

std::vector<Operation> operations() {
    return {
        {"readOptionRecord", [](Link& l) { OptionRecord r; return readOptionRecord(l, r); }},
        {"writeOptionRecord",
         [](Link& l) {
             OptionRecord r{};
             r.magic = kOptionRecordMagic;
             return writeOptionRecord(l, r);
         }},
        {"readHotkeyRecord", [](Link& l) { HotkeyRecord r; return readHotkeyRecord(l, r); }},
        {"resetHotkeys", [](Link& l) { HotkeyRecord r; return resetHotkeys(l, r); }},
        {"testLink", [](Link& l) { return testLink(l); }},
    };
}

uint64_t framesOf(LinkKind kind, const Operation& op) {
    SimLink s(kind, Program::AnalyzerEditor);
    EXPECT_TRUE(op.run(s.link)) << op.name;
    return s.machine.frameCount();
}

TEST(Faults, EveryStepFailsWithinItsBoundAndCode) {
    struct Case {
        LinkKind kind;
        sim::FaultKind fault;
        LinkFailure failure;
        int editorCode;
        uint32_t boundMs;
    };
    const Case cases[] = {
        {LinkKind::Hid, sim::FaultKind::Silence, LinkFailure::ReceiveFailed, 6, 150},
        {LinkKind::Hid, sim::FaultKind::Unplug, LinkFailure::SendFailed, 3, 150},
        {LinkKind::Serial, sim::FaultKind::Silence, LinkFailure::ReceiveFailed, 6,
         link_timing::kSerialByteLimitMs + sim::kSimPortReadTimeoutMs},
        {LinkKind::Serial, sim::FaultKind::Unplug, LinkFailure::SendFailed, 3, 0},
    };
    for (const auto& c : cases) {
        for (const auto& op : operations()) {
            const uint64_t frames = framesOf(c.kind, op);
            for (uint64_t at = 0; at < frames; ++at) {
                SCOPED_TRACE(std::string(op.name) + (c.kind == LinkKind::Hid ? " hid" : " serial") + " frame " +
                             std::to_string(at) + (c.fault == sim::FaultKind::Unplug ? " unplug" : " silence"));
                SimLink s(c.kind, Program::AnalyzerEditor);
                s.machine.setFault(c.fault, at);
                const uint32_t start = s.clock.tickCount();
                const bool ok = op.run(s.link);
                const uint32_t spent = s.clock.tickCount() - start;
                if (ok) {
                    // Only the final 0xAA of a serial block read can vanish unnoticed.
                    EXPECT_TRUE(c.kind == LinkKind::Serial && c.fault == sim::FaultKind::Silence && at + 1 == frames);
                    continue;
                }
                EXPECT_EQ(s.link.lastError().failure, c.failure);
                EXPECT_LE(spent, c.boundMs);
                if (c.kind == LinkKind::Serial && c.fault == sim::FaultKind::Silence) {
                    // The failure names the byte the link waited for.
                    EXPECT_NE(std::string(s.link.lastError().operation).find(" byte"), std::string::npos)
                        << s.link.lastError().operation;
                }
                EXPECT_EQ(exchangeFailureNotice(Program::AnalyzerEditor, s.link.lastError()).text,
                          std::string(kEditorLinkLostText) + "(" + std::to_string(c.editorCode) + ")");
            }
        }
    }
}

TEST(Faults, UnplugInTheMiddleOfABlockLeavesTheMachineUnchanged) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind, Program::ControlPanel);
        std::vector<uint8_t> block(1000, 0x77);
        ASSERT_TRUE(s.link.sendCommand(command::kWriteEditBody, {3, static_cast<uint8_t>(1000 >> 8), static_cast<uint8_t>(1000 & 0xFF)}) && s.link.receiveReply());
        s.machine.setFault(sim::FaultKind::Unplug, s.machine.frameCount() + 7);
        size_t moved = 0;
        EXPECT_FALSE(s.link.writeBlock(block.size(), block.data(),
                                       [&](const TransferProgress& p) { moved = p.bytes; }));
        EXPECT_EQ(s.link.lastError().failure, LinkFailure::SendFailed);
        EXPECT_GT(moved, 0u);
        EXPECT_LT(moved, block.size());
        EXPECT_TRUE(s.machine.editMemory(3).body.empty());
    }
}

TEST(Faults, UnplugWhileReadingABlock) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind, Program::ControlPanel);
        ASSERT_TRUE(s.link.sendCommand(command::kReadAutoClickBlock));
        s.machine.setFault(sim::FaultKind::Unplug, s.machine.frameCount() + (kind == LinkKind::Hid ? 3 : 0));
        uint8_t block[512];
        EXPECT_FALSE(s.link.readBlock(sizeof block, block));
        EXPECT_NE(s.link.lastError().failure, LinkFailure::None);
    }
}

TEST(Faults, GarbageIsAWrongMagicNotASuccess) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind, Program::ControlPanel);
        s.machine.setFault(sim::FaultKind::Garbage, 0);
        OptionRecord record;
        EXPECT_FALSE(readOptionRecord(s.link, record, 20028));
        EXPECT_EQ(s.link.lastError().failure, LinkFailure::WrongMagic);
        EXPECT_EQ(optionRecordFailureNotice(Program::ControlPanel, s.link.lastError()).text,
                  "작동 중 문제가 발생했습니다(SYS--ConfigLine=20028)");
    }
}

TEST(Faults, SerialFrameLongerThanTheInputFrameIsRefused) {
    // A reply claiming 200 payload bytes would overrun the 65-byte frame.
    struct Liar final : Transport {
        std::vector<uint8_t> bytes{200, 1, 2, 3};
        size_t next = 0;
        LinkKind kind() const override { return LinkKind::Serial; }
        bool writeBytes(const uint8_t*, size_t) override { return true; }
        ByteRead readByte(uint8_t& b) override {
            if (next >= bytes.size()) return ByteRead::TimedOut;
            b = bytes[next++];
            return ByteRead::Byte;
        }
    };
    VirtualClock clock;
    Link link(Program::AnalyzerEditor, clock);
    link.attach(std::make_unique<Liar>(), 0);
    EXPECT_FALSE(testLink(link));
    EXPECT_EQ(link.lastError().failure, LinkFailure::ReceiveFailed);
}

} // namespace
} // namespace quillon

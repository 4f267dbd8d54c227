#include "device/link_messages.h"
#include "device/modes.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::SimLink;

TEST(Modes, AcknowledgementRulesPerProgram) {
    struct Case {
        const char* name;
        Program program;
        LinkKind kind;
        uint8_t mode;
        int idleReadsFirst;
        bool acknowledged;
        uint32_t costMs; // virtual time the wait takes
    };
    const Case cases[] = {
        {"editor, 0xFE on the 31st read", Program::AnalyzerEditor, LinkKind::Hid, 0x61, 30, true, 300},
        {"editor, no 0xFE in 31 reads", Program::AnalyzerEditor, LinkKind::Hid, 0x61, 31, false, 300},
        {"control-panel, 0xFE at once", Program::ControlPanel, LinkKind::Hid, 0x61, 0, true, 0},
        {"shot-taker, 0xFE on the 30th read", Program::ShotTaker, LinkKind::Hid, 0x60, 29, true, 145},
        {"shot-taker, none in 30 reads", Program::ShotTaker, LinkKind::Hid, 0x60, 30, false, 145},
        {"shot-taker leaving", Program::ShotTaker, LinkKind::Hid, 0x61, 0, true, 0},
        {"runner, any reply", Program::AnalyzerRunner, LinkKind::Hid, 0x65, 0, true, 0},
        {"runner leaving", Program::AnalyzerRunner, LinkKind::Hid, 0x66, 0, true, 0},
        {"editor on serial: one reply", Program::AnalyzerEditor, LinkKind::Serial, 0x61, 0, true, 0},
        {"shot-taker on serial", Program::ShotTaker, LinkKind::Serial, 0x60, 0, true, 0},
        {"shot-taker on serial, 0xFE on the 30th read", Program::ShotTaker, LinkKind::Serial, 0x60, 29, true, 145},
        {"shot-taker on serial, none in 30 reads", Program::ShotTaker, LinkKind::Serial, 0x60, 30, false, 145},
        {"shot-taker leaving on serial, 0xFE on the 5th read", Program::ShotTaker, LinkKind::Serial, 0x61, 4, true, 20},
        {"runner on serial", Program::AnalyzerRunner, LinkKind::Serial, 0x65, 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimLink s(c.kind, c.program);
        s.machine.setModeAcknowledgementDelay(c.idleReadsFirst);
        const uint32_t start = s.clock.tickCount();
        EXPECT_EQ(enterMode(s.link, c.mode), c.acknowledged);
        EXPECT_EQ(s.clock.tickCount() - start, c.costMs);
        if (!c.acknowledged) {
            EXPECT_EQ(s.link.lastError().failure, LinkFailure::NoAcknowledgement);
        }
        EXPECT_EQ(s.wire->outputReports.empty() ? s.wire->writes.at(0).at(1) : s.wire->outputReports.at(0).at(1),
                  c.mode);
    }
}

TEST(Modes, MachineFollowsTheModeCommands) {
    SimLink s(LinkKind::Hid, Program::AnalyzerRunner);
    ASSERT_TRUE(enterMode(s.link, openingModeOf(Program::AnalyzerRunner)));
    EXPECT_EQ(s.machine.mode(), sim::MachineMode::Analysis);
    ASSERT_TRUE(enterMode(s.link, closingModeOf(Program::AnalyzerRunner)));
    EXPECT_EQ(s.machine.mode(), sim::MachineMode::Normal);
    EXPECT_EQ(closingModeOf(Program::ControlPanel), 0);
    EXPECT_EQ(closingModeOf(Program::ShotTaker), 0x61);
}

TEST(LinkMessages, EachProgramSaysWhatItSays) {
    struct Case {
        Program program;
        LinkError error;
        bool startup;
        const char* text;
        FailureReaction reaction;
    };
    const std::string editorText = kEditorLinkLostText;
    const Case cases[] = {
        {Program::AnalyzerEditor, {LinkFailure::NoDevice, "", 0}, true, kEditorLinkLostText,
         FailureReaction::EndProgram},
        {Program::AnalyzerEditor, {LinkFailure::NoAcknowledgement, "", 0}, true, "", FailureReaction::BeepTwiceAndEnd},
        {Program::ControlPanel, {LinkFailure::NoDevice, "", 0}, true, "기계와 통신이 되지 않습니다(MainLine=1161)",
         FailureReaction::EndProgram},
        {Program::ControlPanel, {LinkFailure::ReceiveFailed, "receiveReply", 3120}, false,
         "기계와 통신이 되지 않습니다(3120)", FailureReaction::CloseMainWindow},
        {Program::AnalyzerRunner, {LinkFailure::NoDevice, "", 0}, true, "", FailureReaction::EndProgram},
        {Program::ShotTaker, {LinkFailure::SendFailed, "", 0}, false, "", FailureReaction::GiveUpOperation},
    };
    for (const auto& c : cases) {
        const auto notice = c.startup ? startupFailureNotice(c.program, c.error)
                                      : exchangeFailureNotice(c.program, c.error);
        EXPECT_EQ(notice.text, c.text);
        EXPECT_EQ(notice.reaction, c.reaction);
        EXPECT_EQ(notice.fromTextBlock,
                  c.program == Program::AnalyzerRunner || c.program == Program::ShotTaker);
    }
    EXPECT_EQ(exchangeFailureNotice(Program::AnalyzerEditor, {LinkFailure::SendFailed, "", 0}).text,
              editorText + "(3)");
    EXPECT_EQ(exchangeFailureNotice(Program::AnalyzerEditor, {LinkFailure::ReceiveFailed, "", 0}).text,
              editorText + "(6)");
    EXPECT_EQ(optionRecordFailureNotice(Program::ControlPanel, {LinkFailure::WrongMagic, "", 20028}).text,
              "작동 중 문제가 발생했습니다(SYS--ConfigLine=20028)");
    EXPECT_EQ(hotkeyRecordFailureNotice({LinkFailure::WrongMagic, "", 68}).text, "작동 중 문제가 발생했습니다(HK--68)");
}

TEST(LinkMessages, TheEditorAnnouncesTheLinkItFound) {
    SimLink serial(LinkKind::Serial, Program::AnalyzerEditor);
    serial.link.attach(std::make_unique<sim::SimTransport>(LinkKind::Serial, serial.machine, serial.clock), 2);
    const auto onPort = linkAnnouncement(serial.link);
    EXPECT_EQ(onPort.firstLine, "보조통신장치 정상연결 되어 있습니다.");
    EXPECT_EQ(onPort.secondLine, "3번 통신포트로 통신을 시작합니다.");
    SimLink hid(LinkKind::Hid, Program::AnalyzerEditor);
    EXPECT_EQ(linkAnnouncement(hid.link).firstLine, "USB가 정상 연결되었습니다.");
    EXPECT_EQ(linkAnnouncement(hid.link).secondLine, "USB로 데이터를 주고 받습니다.");
}

} // namespace
} // namespace quillon

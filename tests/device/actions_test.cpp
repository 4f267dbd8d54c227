#include "device/actions.h"
#include "device/sim/action_log.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::SimLink;

TEST(DeviceScale, EdgesAndInverse) {
    struct Case {
        int x, y, w, h;
        uint16_t deviceX, deviceY;
    };
    const Case cases[] = {
        {1919, 1079, 1920, 1080, 19191, 11989},
        {0, 0, 1920, 1080, 1, 1},
        {960, 540, 1920, 1080, 9601, 6001},
        {1365, 767, 1366, 768, 19186, 11985},
        {5, 3, 1366, 768, 71, 47},
    };
    for (const auto& c : cases) {
        const DevicePoint p = toDeviceScale(c.x, c.y, c.w, c.h);
        EXPECT_EQ(p.x, c.deviceX) << c.x;
        EXPECT_EQ(p.y, c.deviceY) << c.y;
    }
    EXPECT_EQ(toDeviceScale(1919, 0, 1920, 1080).x, 0x4AF7);
    // Every pixel of a few screens maps back to itself.
    for (auto [w, h] : {std::pair{1920, 1080}, {1366, 768}, {1280, 800}, {800, 600}}) {
        for (int x = 0; x < w; ++x) {
            int bx = 0, by = 0;
            fromDeviceScale(toDeviceScale(x, x % h, w, h), w, h, bx, by);
            ASSERT_EQ(bx, x) << w;
            ASSERT_EQ(by, x % h) << h;
        }
    }
}

struct FrameCase {
    const char* name;
    Action action;
    std::vector<uint8_t> bytes; // frame bytes 1..N (0x9D .. 0xFF)
};

std::vector<FrameCase> frameCases() {
    return {
        {"key down", Action::keyDown(0xE4), {0x9D, 0x00, 0xE4, 0xFF}},
        {"key up", Action::keyUp(0x28), {0x9D, 0x01, 0x28, 0xFF}},
        {"button down", Action::buttonDown(mouse_button::kRight), {0x9D, 0x10, 2, 0xFF}},
        {"button up", Action::buttonUp(mouse_button::kMiddle), {0x9D, 0x11, 4, 0xFF}},
        {"move", Action::moveTo(19191, 1), {0x9D, 0x14, 0x4A, 0xF7, 0x00, 0x01, 0xFF}},
        {"wheel down", Action::wheel(-3), {0x9D, 0x15, 0xFD, 0xFF}},
        {"relative", Action::moveBy(-1, 5), {0x9D, 0x18, 0xFF, 0x05, 0xFF}},
        {"play recorded", Action::playRecorded(13, 300), {0x9D, 0x30, 13, 0x01, 0x2C, 0xFF}},
        {"play edit", Action::playEdit(31, 1), {0x9D, 0x34, 31, 0, 1, 0xFF}},
        {"play combination", Action::playCombination(7, 2), {0x9D, 0x35, 7, 0, 2, 0xFF}},
        {"stop", Action::stopMacro(), {0x9D, 0x31, 0xFF}},
        {"pause", Action::pauseMacro(), {0x9D, 0x32, 0xFF}},
        {"resume", Action::resumeMacro(), {0x9D, 0x33, 0xFF}},
        {"remote 0", Action::remoteCommand(0), {0x9D, 0x78, 0, 0xFF}},
        {"keyboard lock", Action::keyboardLock(true), {0x9D, 0x80, 1, 0xFF}},
        {"mouse release", Action::mouseLock(false), {0x9D, 0x81, 0, 0xFF}},
        {"red on", Action::light(Light::Red, true), {0x9D, 0x88, 0xFF}},
        {"yellow off", Action::light(Light::Yellow, false), {0x9D, 0x8B, 0xFF}},
        {"green on", Action::light(Light::Green, true), {0x9D, 0x8C, 0xFF}},
        {"computer off", Action::computerOff(), {0x9D, 0xE8, 0xFF}},
    };
}

TEST(ActionFrames, EveryActionLeavesWithItsOperandsOnBothLinks) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind, Program::AnalyzerRunner);
        for (const auto& c : frameCases()) {
            SCOPED_TRACE(c.name);
            ASSERT_EQ(sendAction(s.link, c.action), ActionSend::Sent);
            if (kind == LinkKind::Hid) {
                const auto& report = s.wire->outputReports.back();
                EXPECT_EQ(report[0], 4);
                EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), report.begin() + 1));
            } else {
                std::vector<uint8_t> expected{static_cast<uint8_t>(c.bytes.size())};
                expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
                EXPECT_EQ(s.wire->writes.back(), expected);
            }
            const auto logged = s.machine.actions().back();
            EXPECT_EQ(logged.code, c.bytes[1]);
            EXPECT_TRUE(std::equal(logged.operands.begin(), logged.operands.end(), c.bytes.begin() + 2));
            EXPECT_EQ(logged.operands.size(), c.bytes.size() - 3);
        }
    }
}

TEST(ActionFrames, AreSpacedTenMillisecondsApart) {
    SimLink s(LinkKind::Hid, Program::AnalyzerRunner);
    ASSERT_EQ(sendAction(s.link, Action::keyDown(4)), ActionSend::Sent);
    ASSERT_EQ(sendAction(s.link, Action::keyUp(4)), ActionSend::Sent);
    s.clock.advance(3);
    ASSERT_EQ(sendAction(s.link, Action::keyDown(5)), ActionSend::Sent);
    s.clock.advance(25); // already long enough: no wait
    ASSERT_EQ(sendAction(s.link, Action::keyUp(5)), ActionSend::Sent);
    const auto log = s.machine.actions();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1].time - log[0].time, 10u);
    EXPECT_EQ(log[2].time - log[1].time, 13u); // 3 ms passed, then two 5 ms looks
    EXPECT_EQ(log[3].time - log[2].time, 25u);
}

TEST(ActionFrames, HidSendFailureIsReportedWithoutRetry) {
    SimLink s(LinkKind::Hid, Program::AnalyzerRunner);
    s.machine.setFault(sim::FaultKind::Unplug, s.machine.frameCount());
    EXPECT_EQ(sendAction(s.link, Action::keyDown(4)), ActionSend::Failed);
    EXPECT_EQ(s.wire->outputReports.size(), 1u);
}

TEST(SimulatedMachine, DecodesActionsIntoItsState) {
    SimLink s(LinkKind::Hid, Program::AnalyzerRunner);
    s.machine.setScreenSize(1920, 1080);
    const auto p = toDeviceScale(1919, 540, 1920, 1080);
    for (const Action& a : {Action::moveTo(p.x, p.y), Action::moveBy(-9, 10), Action::keyDown(0xE0),
                            Action::buttonDown(1), Action::keyboardLock(true), Action::light(Light::Green, true),
                            Action::computerOff()}) {
        ASSERT_EQ(sendAction(s.link, a), ActionSend::Sent);
    }
    const std::string json = s.machine.stateJson();
    EXPECT_NE(json.find("\"pointer\":{\"x\":1910,\"y\":550}"), std::string::npos) << json;
    EXPECT_NE(json.find("\"pressedKeys\":[224]"), std::string::npos);
    EXPECT_NE(json.find("\"pressedButtons\":1"), std::string::npos);
    EXPECT_NE(json.find("\"keyboardLocked\":true"), std::string::npos);
    EXPECT_NE(json.find("\"green\":true"), std::string::npos);
    EXPECT_NE(json.find("\"computerOff\":true"), std::string::npos);
    EXPECT_NE(json.find("{\"time\":1000,\"code\":20,\"action\":\"moveTo\",\"deviceX\":19191,\"deviceY\":6001,"
                        "\"x\":1919,\"y\":540}"),
              std::string::npos);
    EXPECT_NE(json.find("\"action\":\"keyDown\",\"key\":224,\"name\":\"왼쪽Ctrl \""), std::string::npos);
}

class StatusOnBothLinks : public ::testing::TestWithParam<LinkKind> {};

TEST_P(StatusOnBothLinks, RepliesFollowTheScriptAndSkipUnmarkedOnes) {
    SimLink s(GetParam(), Program::AnalyzerRunner);
    sim::ScriptedStatus unmarked;
    unmarked.marked = false;
    s.machine.scriptStatus(unmarked); // looks valid but has no 0xC5
    s.machine.injectHotkey(0x3B);
    s.machine.injectRemoteCommand(0);
    s.machine.setHeldKeys({0xE0, 0x04, 0, 0, 0, 0});

    StatusReply reply;
    EXPECT_FALSE(requestStatus(s.link, reply)) << "a reply without 0xC5 is no status";
    ASSERT_TRUE(requestStatus(s.link, reply));
    EXPECT_EQ(reply.hotkey, 0x3B);
    EXPECT_EQ(reply.remoteCommand, 0);
    EXPECT_EQ(reply.macroPlaying(), false);
    EXPECT_EQ(reply.heldKeys, (std::array<uint8_t, 6>{0xE0, 0x04, 0, 0, 0, 0}));

    ASSERT_TRUE(requestStatus(s.link, reply));
    EXPECT_EQ(reply.hotkey, 0) << "a hotkey is reported once";
    EXPECT_EQ(reply.remoteCommand, kNoRemoteCommand);

    s.machine.setMacroPlayPolls(2);
    ASSERT_EQ(sendAction(s.link, Action::playRecorded(0, 1)), ActionSend::Sent);
    std::vector<std::optional<bool>> playing;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(requestStatus(s.link, reply));
        playing.push_back(reply.macroPlaying());
    }
    EXPECT_EQ(playing, (std::vector<std::optional<bool>>{true, true, false}));
}

TEST_P(StatusOnBothLinks, SilentMachineCostsAboutOneHundredMilliseconds) {
    SimLink s(GetParam(), Program::AnalyzerRunner);
    s.machine.setFault(sim::FaultKind::Silence, s.machine.frameCount() + 1);
    StatusReply reply;
    ASSERT_EQ(sendAction(s.link, Action::keyDown(4)), ActionSend::Sent);
    const uint32_t start = s.clock.tickCount();
    EXPECT_FALSE(requestStatus(s.link, reply));
    const uint32_t spent = s.clock.tickCount() - start;
    EXPECT_GE(spent, 100u);
    EXPECT_LE(spent, 250u);
}

INSTANTIATE_TEST_SUITE_P(Links, StatusOnBothLinks, ::testing::Values(LinkKind::Hid, LinkKind::Serial),
                         [](const auto& info) { return std::string(testing::linkName(info.param)); });

TEST(StatusReply, ParsesOnlyMarkedFrames) {
    Frame frame{};
    frame[1] = 0xC4;
    frame[2] = 0x3A;
    EXPECT_FALSE(parseStatusReply(frame.data()));
    frame[1] = 0xC5;
    frame[3] = 0x77;
    frame[4] = 250;
    frame[11] = 0x60;
    auto reply = parseStatusReply(frame.data());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->hotkey, 0x3A);
    EXPECT_FALSE(reply->macroPlaying()) << "other values leave the last state";
    EXPECT_EQ(reply->remoteCommand, 250);
    EXPECT_EQ(reply->flags, 0x60);
}

TEST(ScreenshotSignals, ArriveOnBothLinksOnlyInScreenshotMode) {
    for (LinkKind kind : {LinkKind::Hid, LinkKind::Serial}) {
        SimLink s(kind, Program::ShotTaker);
        s.machine.injectSignal(0x21);
        uint8_t signal = 0;
        ASSERT_TRUE(readSignal(s.link, signal));
        EXPECT_EQ(signal, 0xFF) << "not in screenshot mode yet";
        ASSERT_TRUE(s.link.sendCommand(command::kEnterScreenshotMode) && s.link.receiveReply());
        ASSERT_TRUE(readSignal(s.link, signal));
        EXPECT_EQ(signal, 0x21);
        ASSERT_TRUE(readSignal(s.link, signal));
        EXPECT_EQ(signal, 0xFF);
    }
}

} // namespace
} // namespace quillon

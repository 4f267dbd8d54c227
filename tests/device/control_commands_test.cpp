#include "base/byte_order.h"
#include "device/actions.h"
#include "device/device_records.h"
#include "device/sim/control_commands.h"
#include "device/sim/control_file.h"
#include "tests/device/sim_link_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace quillon {
namespace {

using testing::SimLink;

TEST(ControlCommands, ReachTheMachineAsTheProgramsSeeIt) {
    SimLink s(LinkKind::Hid, Program::AnalyzerRunner);
    std::string reply;
    for (const char* line : {"hotkey 0x3b", "remote 250", "held 0xE0 4", "status-none", "# a comment", ""}) {
        EXPECT_EQ(sim::runControlCommand(s.machine, line, reply), sim::ControlResult::Done) << line;
    }
    StatusReply status;
    EXPECT_FALSE(requestStatus(s.link, status)) << "status-none";
    ASSERT_TRUE(requestStatus(s.link, status));
    EXPECT_EQ(status.hotkey, 0x3B);
    EXPECT_EQ(status.remoteCommand, 250);
    EXPECT_EQ(status.heldKeys[0], 0xE0);
    EXPECT_EQ(status.heldKeys[1], 4);

    EXPECT_EQ(sim::runControlCommand(s.machine, "status hotkey=0x3c macro=playing remote=0 held=5,6 flags=0x60",
                                     reply),
              sim::ControlResult::Done);
    ASSERT_TRUE(requestStatus(s.link, status));
    EXPECT_EQ(status.hotkey, 0x3C);
    EXPECT_EQ(status.macroPlaying(), true);
    EXPECT_EQ(status.remoteCommand, 0);
    EXPECT_EQ(status.heldKeys, (std::array<uint8_t, 6>{5, 6, 0, 0, 0, 0}));
    EXPECT_EQ(status.flags, 0x60);

    EXPECT_EQ(sim::runControlCommand(s.machine, "wrong-magic on", reply), sim::ControlResult::Done);
    OptionRecord record;
    EXPECT_FALSE(readOptionRecord(s.link, record));
    sim::runControlCommand(s.machine, "wrong-magic off", reply);
    EXPECT_TRUE(readOptionRecord(s.link, record));

    EXPECT_EQ(sim::runControlCommand(s.machine, "fault unplug 1", reply), sim::ControlResult::Done);
    EXPECT_TRUE(readOptionRecord(s.link, record) == false);
    EXPECT_EQ(s.link.lastError().failure, LinkFailure::SendFailed);

    EXPECT_EQ(sim::runControlCommand(s.machine, "dump", reply), sim::ControlResult::Done);
    EXPECT_EQ(reply.front(), '{');
    EXPECT_NE(reply.find("\"kind\":\"unplug\""), std::string::npos);
    EXPECT_EQ(sim::runControlCommand(s.machine, "quit", reply), sim::ControlResult::Quit);
}

TEST(ControlCommands, RefuseWhatTheyCannotMeanToDo) {
    SimLink s(LinkKind::Hid);
    for (const char* line : {"hotkey", "hotkey 256", "hotkey x", "remote 251", "held 1 2 3 4 5 6 7",
                             "fault melt", "wrong-magic maybe", "screen 0x0", "jump", "status hotkey",
                             "status held=1,2,3,4,5,6,7", "status colour=red"}) {
        std::string reply;
        EXPECT_EQ(sim::runControlCommand(s.machine, line, reply), sim::ControlResult::Error) << line;
        EXPECT_EQ(reply.rfind("error:", 0), 0u) << line;
    }
}

TEST(ControlFile, RunsCompleteLinesAsTheyAreAppended) {
    SimLink s(LinkKind::Hid, Program::ShotTaker);
    const std::string path = std::string(QUILLON_BINARY_DIR) + "/control_file_test.txt";
    std::remove(path.c_str());
    uint64_t offset = 0;
    EXPECT_EQ(sim::ControlFileFollower::runNewLines(s.machine, path, offset), 0u) << "no file yet";
    {
        std::ofstream out(path, std::ios::binary);
        out << "signal 0x21\r\nsignal 0x22\nsig";
    }
    EXPECT_EQ(sim::ControlFileFollower::runNewLines(s.machine, path, offset), 2u);
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << "nal 0x23\n";
    }
    EXPECT_EQ(sim::ControlFileFollower::runNewLines(s.machine, path, offset), 1u);
    EXPECT_EQ(sim::ControlFileFollower::runNewLines(s.machine, path, offset), 0u);

    ASSERT_TRUE(s.link.sendCommand(command::kEnterScreenshotMode) && s.link.receiveReply());
    std::vector<uint8_t> signals;
    for (int i = 0; i < 4; ++i) {
        uint8_t signal = 0;
        ASSERT_TRUE(readSignal(s.link, signal));
        signals.push_back(signal);
    }
    EXPECT_EQ(signals, (std::vector<uint8_t>{0x21, 0x22, 0x23, 0xFF}));
    std::remove(path.c_str());
}

TEST(ControlFile, CommandListsRunInOrder) {
    SimLink s(LinkKind::Hid);
    sim::runCommandList(s.machine, "screen 1280x800;hotkey 5; remote 3");
    EXPECT_NE(s.machine.stateJson().find("\"screen\":{\"width\":1280,\"height\":800}"), std::string::npos);
}

} // namespace
} // namespace quillon

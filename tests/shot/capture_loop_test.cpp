#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "shot/capture_loop.h"

namespace quillon {
namespace {

// Runs the loop over a scripted signal sequence and logs what it did, with
// the virtual time of each step.
struct LoopRun {
    std::deque<uint8_t> signals;
    std::vector<std::string> log;
    VirtualClock clock{1000};
    std::atomic<bool> stop{false};
    ShotOutcome outcome = ShotOutcome::Written;
    size_t stopAfterReads = 0; // the window sets the stop flag after this many reads

    CaptureLoopEnd run(ShotSignals values = {}) {
        size_t reads = 0;
        CaptureLoopActions actions;
        actions.readSignal = [&] {
            if (++reads == stopAfterReads) {
                stop = true;
            }
            if (signals.empty()) {
                stop = true;
                return kNoSignal;
            }
            uint8_t s = signals.front();
            signals.pop_front();
            return s;
        };
        actions.takeShot = [&] {
            log.push_back("shot@" + std::to_string(clock.tickCount()));
            ShotReport report;
            report.outcome = outcome;
            return report;
        };
        actions.setButtonVisible = [&](bool visible) {
            log.push_back((visible ? "show@" : "hide@") + std::to_string(clock.tickCount()));
        };
        actions.beep = [&] { log.push_back("beep@" + std::to_string(clock.tickCount())); };
        actions.reportProblem = [&](const ShotReport&) { log.push_back("problem"); };
        actions.releaseDirectDraw = [&] { log.push_back("release"); };
        actions.exitSequence = [&] { log.push_back("exit"); };
        return runCaptureLoop(actions, values, stop, clock);
    }
};

using Log = std::vector<std::string>;

TEST(CaptureLoop, CaptureSignalTakesOneShotAndBlinksTwiceIn300Ms) {
    LoopRun run;
    run.signals = {1, 2};
    EXPECT_EQ(run.run(), CaptureLoopEnd::ExitSignal);
    EXPECT_EQ(run.log, (Log{"shot@1000", "hide@1000", "beep@1000", "show@1100", "hide@1200", "beep@1200",
                            "show@1300", "exit"}));
}

TEST(CaptureLoop, OtherSignalValuesDoNothing) {
    LoopRun run;
    run.signals = {0, 3, 0xFF, 0x7F, 0xFE, 2};
    EXPECT_EQ(run.run(), CaptureLoopEnd::ExitSignal);
    EXPECT_EQ(run.log, (Log{"exit"}));
    EXPECT_EQ(run.clock.tickCount(), 1000u) << "no pause of its own";
}

TEST(CaptureLoop, SignalValuesComeFromTheSettings) {
    LoopRun run;
    run.signals = {1, 2, 0x21, 0x20};
    EXPECT_EQ(run.run({0x21, 0x20}), CaptureLoopEnd::ExitSignal);
    EXPECT_EQ(run.log.front(), "shot@1000");
    EXPECT_EQ(run.log.back(), "exit");
    EXPECT_EQ(run.log.size(), 8u);
}

TEST(CaptureLoop, StopFlagEndsAfterTheCurrentShot) {
    LoopRun run;
    run.signals = {1, 1, 1};
    run.stopAfterReads = 2;
    EXPECT_EQ(run.run(), CaptureLoopEnd::Stopped);
    ASSERT_EQ(run.log.size(), 2u * 7 + 2);
    EXPECT_EQ(run.log[7], "shot@1300");
    EXPECT_EQ(run.log[14], "release");
    EXPECT_EQ(run.log[15], "exit");
    EXPECT_EQ(run.signals.size(), 1u) << "the third signal is never read";
}

TEST(CaptureLoop, ProblemsAreToldAndOnlyAFailedCaptureEndsTheThread) {
    struct Case {
        ShotOutcome outcome;
        CaptureLoopEnd end;
        Log log;
    } cases[] = {
        {ShotOutcome::WriteFailed, CaptureLoopEnd::ExitSignal, {"shot@1000", "problem", "exit"}},
        {ShotOutcome::NothingToTake, CaptureLoopEnd::ExitSignal, {"shot@1000", "problem", "exit"}},
        {ShotOutcome::CaptureFailed, CaptureLoopEnd::CaptureFailed, {"shot@1000", "problem"}},
    };
    for (const Case& c : cases) {
        LoopRun run;
        run.signals = {1, 2};
        run.outcome = c.outcome;
        EXPECT_EQ(run.run(), c.end);
        EXPECT_EQ(run.log, c.log);
    }
}

TEST(CaptureLoop, ExitSequenceRunsOnce) {
    int runs = 0;
    ExitSequenceOnce exit([&] { ++runs; });
    EXPECT_FALSE(exit.hasRun());
    exit.run();
    exit.run();
    EXPECT_TRUE(exit.hasRun());
    EXPECT_EQ(runs, 1);
}

TEST(CaptureLoop, ExitSequenceRunsOnceWhenTheWindowAndTheCaptureThreadRace) {
    std::atomic<int> runs{0};
    ExitSequenceOnce exit([&] { ++runs; });
    std::atomic<bool> stop{false};
    std::thread capture([&] {
        CaptureLoopActions actions;
        actions.readSignal = [] { return uint8_t{0}; };
        actions.takeShot = [] { return ShotReport{}; };
        actions.setButtonVisible = [](bool) {};
        actions.beep = [] {};
        actions.reportProblem = [](const ShotReport&) {};
        actions.releaseDirectDraw = [] {};
        actions.exitSequence = [&] { exit.run(); };
        VirtualClock clock{1000};
        EXPECT_EQ(runCaptureLoop(actions, ShotSignals{}, stop, clock), CaptureLoopEnd::Stopped);
    });
    stop = true;
    exit.run(); // the window closes at the same time
    capture.join();
    EXPECT_TRUE(exit.hasRun());
    EXPECT_EQ(runs.load(), 1);
}

} // namespace
} // namespace quillon

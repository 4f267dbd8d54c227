#include "base/timer_resolution.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

TEST(FineTimerResolution, GivesBackOnlyAPeriodThatWasGranted) {
    for (bool granted : {true, false}) {
        std::string calls;
        TimerPeriodCalls system{[&](uint32_t ms) {
                                    calls += "begin " + std::to_string(ms) + ";";
                                    return granted;
                                },
                                [&](uint32_t ms) { calls += "end " + std::to_string(ms) + ";"; }};
        {
            FineTimerResolution fine(system);
            EXPECT_EQ(fine.granted(), granted);
            EXPECT_EQ(calls, "begin 1;");
        }
        EXPECT_EQ(calls, granted ? "begin 1;end 1;" : "begin 1;");
    }
}

} // namespace
} // namespace quillon

// Fails every step of a save in turn (see file_faults in base/file.h) and
// checks what each failure left on disk: the files the save replaces hold
// their previous bytes or, in a save of several files, the complete new bytes,
// never a cut or missing file; the folder holds no temporary file; the save
// said it failed, with its message.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/file.h"

namespace quillon::testing {

struct SaveAttempt {
    bool ok = false;
    std::string message; // what the program shows when the save fails
};

struct SaveUnderFaults {
    std::string folder;               // where the targets and temporaries live
    std::vector<std::string> targets; // the files the save writes (all exist before)
    std::string failureMessage;       // expected message of a failed save; empty: any but empty
    std::function<SaveAttempt()> save;
};

inline std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.insert(entry.path().string());
    }
    return names;
}

// Runs `attempt` with step 1, 2, ... made to fail until a run has no failed
// step (that last run succeeds untouched); `afterFailure(n)` looks at what the
// run failed at step n left. Returns the number of failure points.
inline int forEachFailedStep(const std::function<void()>& attempt, const std::function<void(unsigned)>& afterFailure) {
    int points = 0;
    for (unsigned n = 1; n < 10000; ++n) {
        file_faults::failAt(n);
        attempt();
        const bool failed = file_faults::failedStep().has_value();
        file_faults::failAt(0);
        if (!failed) {
            break;
        }
        ++points;
        afterFailure(n);
    }
    return points;
}

// Returns how many failure points the save has (its steps before success).
inline int failEveryStep(const SaveUnderFaults& run) {
    std::map<std::string, std::vector<uint8_t>> previous;
    for (const std::string& target : run.targets) {
        previous[target] = readFile(target).value_or(std::vector<uint8_t>{});
        EXPECT_FALSE(previous[target].empty()) << "the test needs an earlier " << target;
    }
    const std::set<std::string> before = filesIn(run.folder);
    std::vector<std::map<std::string, std::optional<std::vector<uint8_t>>>> afterFailures;
    SaveAttempt attempt;
    const int points = forEachFailedStep([&] { attempt = run.save(); }, [&](unsigned n) {
        EXPECT_FALSE(attempt.ok) << "step " << n << " failed, yet the save reported success";
        if (run.failureMessage.empty()) {
            EXPECT_FALSE(attempt.message.empty()) << "step " << n << " failed without a word";
        } else {
            EXPECT_EQ(attempt.message, run.failureMessage) << "step " << n;
        }
        EXPECT_EQ(filesIn(run.folder), before) << "step " << n << " left a file behind or took one away";
        auto& seen = afterFailures.emplace_back();
        for (const std::string& target : run.targets) {
            seen[target] = readFile(target);
        }
    });
    EXPECT_TRUE(attempt.ok) << "a save with no failed step reported: " << attempt.message;
    for (size_t i = 0; i < afterFailures.size(); ++i) {
        for (const std::string& target : run.targets) {
            const auto& bytes = afterFailures[i].at(target);
            EXPECT_TRUE(bytes.has_value()) << target << " vanished at step " << i + 1;
            if (!bytes) {
                continue;
            }
            if (run.targets.size() == 1) {
                EXPECT_EQ(*bytes, previous[target]) << target << " changed at step " << i + 1;
            } else {
                // A set of files is replaced one by one: each is old or new, whole.
                EXPECT_TRUE(*bytes == previous[target] || bytes == readFile(target))
                    << target << " is neither the old nor the new file at step " << i + 1;
            }
        }
    }
    return points;
}

} // namespace quillon::testing

// A dry run: the interpreter runs an analyzer headless against recorded
// screenshots instead of the live screen. Each screenshot is the whole screen
// (and the foreground window) for `holdMs` of virtual time, in order; the
// machine is the simulated one in this process, sounds and beeps are recorded,
// the local time is fixed, and nothing sleeps. The run ends by itself once
// the last screenshot's time has passed.
#pragma once

#include "analyzer/model.h"
#include "base/local_time.h"
#include "runner/run_trace.h"
#include "runner/synthetic_screen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon::runner {

// One screenshot of the run.
struct DryRunShot {
    std::string name; // as the trace names it (the file name)
    Size size{};      // its pixels, known before it is loaded
    // Its pixels and cursor; null when it can no longer be read.
    std::function<std::shared_ptr<SyntheticScreen>()> load;
};

// Reads a screenshot file: a 16-, 24- or 32-bit BMP. A cursor file of the
// same name with ".dat" beside it (shot-taker's set) gives the cursor; a
// damaged one keeps what was read whole. Null when the bitmap is unreadable.
std::shared_ptr<SyntheticScreen> loadScreenshot(const std::string& bmpPath);

// The screenshots of a folder: its *.bmp files (any case) in file-name
// order. Each is read once to check it; the unreadable ones are left out and
// named in `skipped`.
struct ScreenshotFolder {
    std::vector<DryRunShot> shots;
    std::vector<std::string> skipped; // file names
    bool folderReadable = true;
};
ScreenshotFolder screenshotsIn(const std::string& folder);

struct DryRunOptions {
    uint32_t holdMs = 1000;
    int startItem = -1;         // the item placed into the first run-list slot; -1: the head items as they are
    uint32_t itemDelayMs = 50;  // the runner's default item delay with its main window shown
    std::string analyzerFolder; // where the run-analyzer command loads from; empty: it is refused
    std::string soundFolder;    // prefixed to the sound names recorded
    LocalTime time{2026, 1, 4, 1, 9, 0, 0}; // what the local time reads throughout
    bool inputMethodOpen = false;
    RunObserver* observer = nullptr; // the trace writer, or none
};

struct DryRunSummary {
    uint64_t items = 0, itemsHeld = 0;
    uint64_t conditions = 0, conditionsHeld = 0;
    uint64_t actions = 0; // what the machine received (sounds not counted)
    uint64_t sounds = 0;  // sounds played or stopped and beeps
    uint32_t virtualMs = 0;
    size_t screens = 0;
    std::vector<std::string> warnings; // the run's warning boxes and screenshots that could not be read
};

// The item whose name (UTF-8) is `name`; -1 when none.
int itemNamed(const analyzer::AnalyzerModel& model, const std::string& name);

// The screenshot shown `tMs` after the run's start.
size_t shotIndexAt(size_t shots, uint32_t holdMs, uint32_t tMs);

// Runs `model` over `shots` (at least one). The model may be replaced by the
// run-analyzer command.
DryRunSummary runDry(analyzer::AnalyzerModel& model, const std::vector<DryRunShot>& shots,
                     const DryRunOptions& options);

} // namespace quillon::runner

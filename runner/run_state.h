// The run's own state: variables, timers, the run list, the range-search
// result table and the flags the status poll keeps. None of it is stored in
// the analyzer file; a run starts with all of it zeroed.
#pragma once

#include "analyzer/records.h"
#include "runner/matching.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace quillon::runner {

enum VariableType : int32_t {
    VarNumber = 0,
    VarPoint = 2,
    VarImage = 3,
    VarColour = 4,
    VarRangeMatch = 20,
    VarPreviousItem = 30,
    VarDateNumber = 60,
};

inline constexpr int kMonitorCoordinates = 1;
inline constexpr int kWindowCoordinates = 0;

struct ImageBlockDeleter {
    void operator()(analyzer::RecognitionImage* p) const { std::free(p); }
};
using ImageBlock = std::unique_ptr<analyzer::RecognitionImage, ImageBlockDeleter>;

struct Variable {
    int32_t type = VarNumber;
    int64_t value = 0;
    int x = 0;
    int y = 0;
    int coordinateMode = kWindowCoordinates; // points
    bool set = false;                        // points: a value was given
    bool found = false;                      // range matches
    bool valid = false;                      // images
    int imageSlot = 0;
    uint8_t blue = 0, green = 0, red = 0;
    int previousPosition = 0;
    int previousItem = 0;
    ImageBlock image; // the variable's own copy of a recognition image
    bool changed = false;

    // Everything but the image copy, which stays allocated for reuse.
    void clearValues();
};

struct Timer {
    uint32_t start = 0;
    int64_t value = 0; // milliseconds
    int64_t shown = 0;
};

inline constexpr uint8_t kNoRemote = 255;

static_assert(analyzer::kVariableCapacity == 1000, "the status window's displays take 1000 variables");

struct RunState {
    std::array<Variable, analyzer::kVariableCapacity> variables;
    std::array<Timer, analyzer::kTimerCount> timers{};
    std::array<RangeResult, analyzer::kAreaCapacity> rangeResults{};
    std::vector<int> runList; // item indexes of the head items' slots
    int position = 0;
    int currentItem = 0;
    int previousPosition = 0;
    int previousItem = 0;
    bool stay = false;
    bool rescan = false;

    // From the status poll.
    bool macroPlaying = false;
    bool macroShown = false;
    uint8_t lastRemote = kNoRemote;
    std::array<uint8_t, 6> heldKeys{};
    uint8_t statusFlags = 0;
    bool havePolled = false;
    uint32_t lastPollTime = 0;

    bool soundPlaying = false;
    bool keyboardLocked = false;
    bool mouseLocked = false;
};

} // namespace quillon::runner

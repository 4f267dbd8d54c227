// What the interpreter saw and did, item by item, for whoever watches a run:
// the trace writer of a dry run and of analyzer-runner's --trace, and the
// analyzer-editor's test of an item on a screenshot. Watching changes nothing
// in the run. The written form is described in docs/run-trace.md.
#pragma once

#include "analyzer/model.h"
#include "device/actions.h"
#include "runner/geometry.h"
#include "runner/screen.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::runner {

// One evaluated condition. Positions are screen pixels.
struct ConditionSeen {
    int kind = 0;        // analyzer::ConditionKind
    bool held = false;
    int code = 0;        // the condition's result code, 0 when held
    bool located = false; // `x`, `y` and `box` say where it looked or matched
    int x = 0;           // the centre of the compared rectangle, or the compared pixel
    int y = 0;
    Rect box{};          // the compared rectangle (1 x 1 for a colour), right and bottom exclusive
    bool hasArea = false; // range search: the area searched
    Rect area{};          // right and bottom exclusive
    int similarity = -1; // percent as the matching computed it; -1 when nothing was compared
};

// Something the program did for an item besides the machine's actions.
struct SoundSeen {
    enum class Kind { Play, Stop, Beep } kind = Kind::Play;
    std::string path; // Play
    int frequency = 0, durationMs = 0; // Beep
};

// One evaluated item.
struct ItemSeen {
    uint32_t tMs = 0;  // the run's clock since the run started, at the start of the evaluation
    int item = 0;      // the item's index in the analyzer
    std::string name;  // UTF-8
    int position = 0;  // the run-list slot
    bool held = false;
    std::vector<ConditionSeen> conditions;
    // In the order the machine received them; a frame sent between two items
    // (on the status poll of an item delay) is the next item's.
    std::vector<quillon::Action> actions;
    std::vector<SoundSeen> sounds;
    std::vector<size_t> soundAfter; // sounds[i] came after actions[0 .. soundAfter[i])
    int next = -1;            // the item in the slot the run goes to next; -1 when none
    std::string nextName;
    Size screen{};            // the primary screen's size (to turn device positions back into pixels)
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void itemSeen(const ItemSeen& item) = 0;
    // Whether a range search that did not hold also reports the closest
    // place of its area (once per picture and search; a bounded look, on a
    // whole 1920 x 1080 screen about half the search's own time). Asked once
    // per run.
    virtual bool wantsClosestPlace() const { return true; }
};

// An action as the trace writes it ("move 751 751", "click left", "key A"):
// a press followed at once by the release of the same key or button is one text.
std::vector<std::string> actionTexts(const ItemSeen& item);

// The conditions of one item evaluated on a still screen, as a run would
// evaluate them at its start (variables and timers zeroed, no machine): for
// the editor's test on a screenshot. Unlike a run it evaluates every
// condition, also after one that did not hold. One capture serves them all;
// a window that cannot be captured fails the screen's conditions (code
// 1900) instead of pausing. Date conditions read the computer's local time.
std::vector<ConditionSeen> testConditionsOnScreen(const analyzer::AnalyzerModel& model, const analyzer::Item& item,
                                                  Screen& screen);

} // namespace quillon::runner

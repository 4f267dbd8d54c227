// The interpreter: walks the analyzer's head items, evaluates each item's
// conditions against the screen, the machine's status, the clock, timers and
// variables, runs the commands of an item whose conditions hold (action
// frames to the machine, run-state changes, sounds), and follows the item's
// links to the next item. It runs on its own thread; the program stops it by
// clearing `runActive` and waiting for `run` to return, and every wait inside
// looks at that flag at least once per poll interval.
#pragma once

#include <optional>

#include "analyzer/model.h"
#include "base/clock.h"
#include "device/actions.h"
#include "device/key_table.h"
#include "device/link.h"
#include "device/startup_data.h"
#include "runner/capture.h"
#include "runner/host.h"
#include "runner/matching.h"
#include "runner/run_state.h"
#include "runner/run_trace.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace quillon::runner {

// Loads another analyzer for the run-analyzer command: 0 on success or the
// loader's negative code (-1 unreadable, -10 wrong format, -2 no items).
class AnalyzerLoader {
public:
    virtual ~AnalyzerLoader() = default;
    virtual int load(const std::string& path, analyzer::AnalyzerModel& model) = 0;
};

struct RunSettings {
    uint8_t startHotkey = 0;  // also pauses and resumes
    uint8_t stopHotkey = 0;
    uint8_t switchHotkey = 0; // main / mini window
    uint32_t itemDelayMain = 0;
    uint32_t itemDelayMini = 0;
    std::string soundFolder;    // UTF-8, ends with its separator or is joined with one
    std::string analyzerFolder; // UTF-8
    std::string loadFailureText = "분석기를 불러오지 못했습니다"; // "%s - %d" with the loader's code
    // The item put into the first run-list slot when the run starts (not
    // again after a run-analyzer command); -1: the head items as they are.
    int startItem = -1;
    // Seed of the random generator; by default the clock's tick at run start.
    bool fixedSeed = false;
    uint32_t seed = 0;
    // Flags the program shares with its windows; the interpreter's own when unset.
    std::atomic<bool>* runActiveFlag = nullptr;
    std::atomic<bool>* pausedFlag = nullptr;
    // Told what each evaluated item saw and did (a trace); none in a plain run.
    RunObserver* observer = nullptr;
};

// The settings the start-up data files give: hotkeys, item delays, the
// sound and analyzer folders and the load-failure text.
RunSettings runSettingsFrom(const StartupData& data);

// The date picker's display format for the parts a date condition uses
// ("yyyy'년 '", "M'월 '", "d'일 '", "dddd' '", "H'시 '", "m'분 '", "s'초'").
std::string dateConditionFormat(uint8_t parts);

// The capture target an analyzer's screenshot-mode flags choose.
CaptureTarget captureTargetOf(const analyzer::AnalyzerImage& image);

// Status-poll intervals.
inline constexpr uint32_t kPollIntervalMs = 50;
inline constexpr uint32_t kPausedBlinkMs = 300;

class Interpreter {
public:
    Interpreter(analyzer::AnalyzerModel& model, Link& link, Screen& screen, Host& host, Clock& clock,
                AnalyzerLoader& loader, RunSettings settings);
    ~Interpreter();

    // The thread body: returns when the run has ended.
    void run();

private:
    std::atomic<bool> ownRunActive_{false};
    std::atomic<bool> ownPaused_{false};

public:
    // Cleared by the program to stop the run; set while paused.
    std::atomic<bool>& runActive;
    std::atomic<bool>& paused;

    const RunState& state() const { return state_; }
    RunState& state() { return state_; }
    ScreenCapture& capture() { return capture_; }
    // Why the run ended.
    enum class Ending { Running, Cleared, StopHotkey, StopCommand, LoadFailed, LinkFailed, NoBuffer };
    Ending ending() const { return ending_; }
    // Random numbers as the platform's rand(): 0..32767.
    int random();

    // ---- parts, public for the tests that drive one step ------------------
    // Returns false when the run must end.
    bool pollStatus(uint32_t interval);
    // Number of leading conditions that held.
    int evaluateConditions(const analyzer::Item& item, int& code);
    int evaluateCondition(const analyzer::Condition& condition);
    // Runs the item's commands; false when the run must end.
    bool runCommands(const analyzer::Item& item);
    bool runCommand(const analyzer::Command& command);
    // The variable test of conditions, links and guards.
    bool variableTestHolds(int axis, const analyzer::VariableTest& test);
    // One condition evaluated, and what it saw.
    int evaluateWatched(const analyzer::Condition& condition, ConditionSeen& seen);
    // Every condition of an item evaluated on the screen as it stands, as at
    // the start of a run, without a run: nothing is sent and a capture that
    // cannot be taken does not wait for the user. The capture buffer is kept
    // (freed with the interpreter).
    std::vector<ConditionSeen> testConditions(const analyzer::Item& item);

private:
    friend struct InterpreterAccess;
    bool startRun();
    bool itemStep();
    void chooseNext(const analyzer::Item& item, bool allHeld);
    void updateTimers();
    void endRun();
    bool keepGoing() const { return runActive.load() && !stopping_; }
    // Sleeps, looking at the run flag at least every poll interval; false
    // when the run must end.
    bool sleep(uint32_t ms);
    bool send(const quillon::Action& action);
    // The host's sounds, told to the watcher too.
    bool playSound(const std::string& path);
    void stopSound();
    void beep(int frequency, int durationMs);
    // The watched item: begun when its evaluation starts, handed to the
    // observer once the next slot is known (or the run stops).
    void beginSeen(int index, int position, std::string name);
    void finishSeen(int next);
    void noteSound(SoundSeen::Kind kind, const std::string& path, int frequency, int durationMs);
    // The capture's origin: capture coordinates plus it are screen pixels.
    Point captureOrigin() const;
    // A capture under the 51 ms rule; a target that cannot be captured
    // pauses the run until the user resumes it.
    FreshCapture captureForCondition();

    // Conditions.
    struct Compared { ImageView image; bool isImage; uint32_t colour; }; // colour 0x00RRGGBB
    std::optional<Compared> comparedWith(int32_t what, int32_t source, int32_t colour) const;
    int conditionImage(const analyzer::Condition& c);
    int conditionRangeSearch(const analyzer::Condition& c);
    void watchRangeSearch(const RangeSearch& search, const RangeSearcher::Seen& seen);
    int conditionCursor(const analyzer::Condition& c);
    int conditionDateTime(const analyzer::Condition& c);
    int conditionTimer(const analyzer::Condition& c);

    // Commands.
    bool commandKey(const analyzer::Command& c);
    bool commandMouse(const analyzer::Command& c);
    bool commandMacro(const analyzer::Command& c);
    bool commandVariable(const analyzer::Command& c);
    bool commandDevice(const analyzer::Command& c);
    bool commandReplaceImage(const analyzer::Command& c);
    bool commandRunAnalyzer(const analyzer::Command& c);
    bool commandTypeSentence(const analyzer::Command& c);
    bool commandReadNumber(const analyzer::Command& c);
    bool moveTo(int x, int y);
    void previewColour(PreviewBox box, uint32_t rgb);
    // The date condition last shown in the status window.
    int lastDateItem_ = -1;
    const uint8_t* lastDateCondition_ = nullptr;
    void previewFrame(const FrameView& frame, Rect rect, PreviewBox box = PreviewBox::Live);
    bool windowToScreen(int& x, int& y, bool beepForFixed);
    bool variablePoint(const Variable& v, int& x, int& y, bool& monitor) const;
    bool assignVariable(const analyzer::Command& c, Variable& target);
    void applyArithmetic(const analyzer::Command& c, Variable& target, bool sourceLiteral, bool dateInvolved);
    bool copyImageInto(Variable& target, const analyzer::RecognitionImage& image);

    analyzer::AnalyzerModel& model_;
    Link& link_;
    Screen& screen_;
    Host& host_;
    Clock& clock_;
    AnalyzerLoader& loader_;
    RunSettings settings_;
    KeyTable keys_{KeyNames::AnalyzerEditor};
    ScreenCapture capture_;
    RangeSearcher searcher_;
    RunState state_;
    uint32_t randomState_ = 0;
    bool stopping_ = false;
    bool restart_ = false;
    Ending ending_ = Ending::Running;
    bool labelVisible_ = true;
    // Watching (only with an observer).
    RunObserver* observer_ = nullptr;
    bool closestWanted_ = true;
    ItemSeen seen_;
    bool seenPending_ = false;     // seen_ is an item not yet handed over
    ConditionSeen* looking_ = nullptr; // the condition being evaluated, when watched
    uint32_t runStartTick_ = 0;
    // The closest places measured on pictures the screen could name, reused
    // while the picture and the images are the same (a dry run shows one
    // screenshot for many items).
    struct ClosestMemo {
        uint64_t serial = 0;
        Rect origin{};
        int captureWidth = 0, captureHeight = 0;
        const uint8_t* pixels = nullptr;
        uint32_t firstPixel = 0; // a colour searched for is a 1 x 1 image of its own
        int width = 0, height = 0, anchorColumn = 0, anchorRow = 0;
        bool pattern = false;
        int left = 0, top = 0, areaWidth = 0, areaHeight = 0, similarity = 0;
        ScanOrder order = ScanOrder::Down;
        uint64_t images = 0;
        RangeSearcher::Closest closest;
        bool operator==(const ClosestMemo& o) const {
            return serial == o.serial && origin == o.origin && captureWidth == o.captureWidth &&
                   captureHeight == o.captureHeight && pixels == o.pixels && firstPixel == o.firstPixel &&
                   width == o.width && height == o.height && anchorColumn == o.anchorColumn &&
                   anchorRow == o.anchorRow && pattern == o.pattern && left == o.left && top == o.top &&
                   areaWidth == o.areaWidth && areaHeight == o.areaHeight && similarity == o.similarity &&
                   order == o.order && images == o.images;
        }
    };
    std::array<ClosestMemo, 16> closestMemo_{};
    size_t closestMemoNext_ = 0;
    // Counts the changes a command may make to images (replaced from the
    // screen, copied into variables, another analyzer loaded).
    uint64_t imagesVersion_ = 1;
    RangeSearcher::Closest closestPlace(const RangeSearch& search);
};

} // namespace quillon::runner

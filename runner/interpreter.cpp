// The run loop: run start, the item step, the choice of the next item, the
// timers, and the sleeps that keep the run stoppable.
#include "runner/interpreter.h"

#include "base/text.h"
#include "device/actions.h"

#include <algorithm>

namespace quillon::runner {

using analyzer::Item;

void Variable::clearValues() {
    ImageBlock kept = std::move(image);
    *this = Variable();
    image = std::move(kept);
}

CaptureTarget captureTargetOf(const analyzer::AnalyzerImage& image) {
    if (image.captureFullScreen == 1) return CaptureTarget::FullScreen;
    if (image.captureWindowFramed == 1) return CaptureTarget::Window;
    return CaptureTarget::ClientArea;
}

Interpreter::Interpreter(analyzer::AnalyzerModel& model, Link& link, Screen& screen, Host& host, Clock& clock,
                         AnalyzerLoader& loader, RunSettings settings)
    : runActive(settings.runActiveFlag ? *settings.runActiveFlag : ownRunActive_),
      paused(settings.pausedFlag ? *settings.pausedFlag : ownPaused_), model_(model), link_(link), screen_(screen),
      host_(host), clock_(clock), loader_(loader), settings_(std::move(settings)), capture_(screen, clock),
      observer_(settings_.observer) {
    if (observer_) {
        seen_.conditions.reserve(analyzer::kConditionsPerItem);
        seen_.actions.reserve(64);
    }
}

Interpreter::~Interpreter() = default;

int Interpreter::random() {
    randomState_ = randomState_ * 214013u + 2531011u;
    return static_cast<int>((randomState_ >> 16) & 0x7FFF);
}

bool Interpreter::send(const quillon::Action& action) {
    if (sendAction(link_, action) != ActionSend::Sent) {
        // A frame that cannot leave ends the run (the program then ends).
        host_.requestStop(false);
        stopping_ = true;
        ending_ = Ending::LinkFailed;
        return false;
    }
    if (observer_) seen_.actions.push_back(action);
    return true;
}

bool Interpreter::playSound(const std::string& path) {
    if (observer_) noteSound(SoundSeen::Kind::Play, path, 0, 0);
    return host_.playSound(path);
}

void Interpreter::stopSound() {
    if (observer_) noteSound(SoundSeen::Kind::Stop, {}, 0, 0);
    host_.stopSound();
}

void Interpreter::beep(int frequency, int durationMs) {
    if (observer_) noteSound(SoundSeen::Kind::Beep, {}, frequency, durationMs);
    host_.beep(frequency, durationMs);
}

void Interpreter::noteSound(SoundSeen::Kind kind, const std::string& path, int frequency, int durationMs) {
    SoundSeen sound;
    sound.kind = kind;
    sound.path = path;
    sound.frequency = frequency;
    sound.durationMs = durationMs;
    seen_.sounds.push_back(std::move(sound));
    seen_.soundAfter.push_back(seen_.actions.size());
}

Point Interpreter::captureOrigin() const {
    const Rect& origin = capture_.buffer().origin;
    return {origin.left, origin.top};
}

// Actions and sounds between two items (a pause on the status poll before an
// item) go with the item that follows, so every frame that left is in one record.
void Interpreter::beginSeen(int index, int position, std::string name) {
    seen_.tMs = clock_.tickCount() - runStartTick_;
    seen_.item = index;
    seen_.name = std::move(name);
    seen_.position = position;
    seen_.held = false;
    seen_.conditions.clear();
    seen_.next = -1;
    seen_.nextName.clear();
    seen_.screen = screen_.screenSize();
    seenPending_ = true;
}

void Interpreter::finishSeen(int next) {
    if (!seenPending_) return; // not watched, or already handed over
    seenPending_ = false;
    if (next >= 0 && next < model_.itemCount()) {
        seen_.next = next;
        seen_.nextName = text::cp949ToUtf8(analyzer::fixedText(model_.item(next).name));
    }
    observer_->itemSeen(seen_);
    seen_.actions.clear();
    seen_.sounds.clear();
    seen_.soundAfter.clear();
}

bool Interpreter::sleep(uint32_t ms) {
    while (ms > 0) {
        if (!keepGoing()) return false;
        const uint32_t slice = std::min(ms, kPollIntervalMs);
        clock_.sleepMs(slice);
        ms -= slice;
    }
    return keepGoing();
}

void Interpreter::run() {
    runStartTick_ = clock_.tickCount();
    closestWanted_ = !observer_ || observer_->wantsClosestPlace();
    seenPending_ = false;
    seen_.actions.clear();
    seen_.sounds.clear();
    seen_.soundAfter.clear();
    runActive.store(true);
    stopping_ = false;
    ending_ = Ending::Running;
    randomState_ = settings_.fixedSeed ? settings_.seed : clock_.tickCount();
    if (!capture_.startRun()) {
        ending_ = Ending::NoBuffer;
        host_.requestStop(false);
        runActive.store(false);
        return;
    }
    do {
        restart_ = false;
        startRun();
        // The item that loaded another analyzer goes on with the new one's first slot.
        if (seenPending_) finishSeen(state_.runList.empty() ? -1 : state_.runList[0]);
        while (keepGoing() && !restart_) {
            if (!itemStep()) break;
        }
    } while (restart_ && keepGoing());
    if (ending_ == Ending::Running) ending_ = Ending::Cleared;
    if (seenPending_) finishSeen(-1);
    endRun();
}

bool Interpreter::startRun() {
    ++imagesVersion_; // another analyzer may have been loaded
    const analyzer::AnalyzerImage& image = model_.image();
    capture_.setTarget(captureTargetOf(image));
    screen_.setLegacyCapture(image.captureLegacy == 1);
    state_.runList.clear();
    for (int i = 0; i < std::min(model_.itemCount(), analyzer::kItemCapacity); ++i) {
        if (model_.item(i).head == 1) state_.runList.push_back(i);
    }
    if (settings_.startItem >= 0 && settings_.startItem < model_.itemCount()) {
        if (state_.runList.empty()) state_.runList.push_back(settings_.startItem);
        else state_.runList[0] = settings_.startItem;
    }
    settings_.startItem = -1; // the first start only
    for (Variable& v : state_.variables) v.clearValues();
    const uint32_t now = clock_.tickCount();
    for (Timer& t : state_.timers) t = Timer{now, 0, 0};
    for (int i = 0; i < analyzer::kTimerCount; ++i) host_.showTimer(i, 0);
    host_.refreshVariables(state_.variables);
    state_.havePolled = false;
    capture_.forgetLastCapture();
    if (image.screenshotCount > 0) {
        // The first capture pauses on an unusable window as every later one does.
        captureForCondition();
    }
    state_.stay = false;
    state_.rescan = false;
    state_.position = 0;
    state_.previousPosition = 0;
    state_.previousItem = state_.runList.empty() ? 0 : state_.runList[0];
    state_.currentItem = state_.previousItem;
    return true;
}

void Interpreter::endRun() {
    capture_.endRun();
    for (Variable& v : state_.variables) v.image.reset();
    runActive.store(false);
}

bool Interpreter::itemStep() {
    auto& list = state_.runList;
    if (list.empty()) {
        // Nothing to run: wait for the stop like an idle loop.
        return pollStatus(kPollIntervalMs) && sleep(kPollIntervalMs);
    }
    auto advance = [&] {
        if (++state_.position >= static_cast<int>(list.size())) state_.position = 0;
    };
    int index = list[static_cast<size_t>(state_.position)];
    if (model_.item(index).noItemDelay != 1) {
        const uint32_t delay = host_.mainWindowShown() ? settings_.itemDelayMain : settings_.itemDelayMini;
        if (!sleep(delay)) return false;
    }
    size_t skipped = 0;
    while (model_.item(index).ignoreMode == 3) {
        if (!pollStatus(kPollIntervalMs) || !keepGoing()) return false;
        if (!state_.stay) advance();
        index = list[static_cast<size_t>(state_.position)];
        if (state_.stay || ++skipped >= list.size()) {
            // Every slot holds an item that is never run: let time pass.
            skipped = 0;
            if (!sleep(kPollIntervalMs)) return false;
        }
    }
    const Item& item = model_.item(index);
    // Remembered before the next item is chosen: a return link moves the
    // position, and the previous item must still be the one that ran.
    const int currentPosition = state_.position;
    state_.currentItem = index;
    std::string name = text::cp949ToUtf8(analyzer::fixedText(item.name));
    host_.showCurrentItem(index, name);
    if (observer_) beginSeen(index, currentPosition, std::move(name));

    bool allHeld = false;
    int code = 0;
    switch (item.ignoreMode) {
    case 1: allHeld = true; break;
    case 2: allHeld = false; break;
    default: {
        const int count = std::clamp(item.conditionCount, 0, analyzer::kConditionsPerItem);
        allHeld = count == 0 || evaluateConditions(item, code) == count;
        break;
    }
    }
    if (observer_) seen_.held = allHeld;
    // A stop in the middle hands a watched item over with no next slot.
    if (!keepGoing()) {
        finishSeen(-1);
        return false;
    }
    if (allHeld && item.ignoreMode == 0) {
        if (!runCommands(item)) {
            finishSeen(-1);
            return false;
        }
        if (restart_) return true; // handed over once the new analyzer's run list is made
    }
    if (!allHeld && host_.mainWindowShown()) host_.showResultCode(code);
    chooseNext(item, allHeld);
    state_.previousPosition = currentPosition;
    state_.previousItem = index;
    updateTimers();
    // A rescanned item keeps its position until one of its links is taken
    // (following a link clears the flag); the status poll below still
    // honours a stop or a pause on every turn.
    if (!state_.stay && !state_.rescan) advance();
    const bool polled = pollStatus(kPollIntervalMs);
    if (observer_) finishSeen(list.empty() ? -1 : list[static_cast<size_t>(state_.position)]);
    if (!polled) return false;
    if (host_.mainWindowShown()) host_.showResultCode(0);
    return keepGoing();
}

void Interpreter::chooseNext(const Item& item, bool allHeld) {
    bool haveTarget = false;
    int32_t target = 0;
    if (allHeld) {
        const int links = std::clamp(item.nextLinkCount, 0, analyzer::kNextLinksPerItem);
        for (int i = 0; i < links && !haveTarget; ++i) {
            const analyzer::NextLink& l = item.nextLinks[i];
            if (variableTestHolds(0, {l.lowIsVariable, l.low, l.lowOperator, l.variable, l.highOperator,
                                      l.highIsVariable, l.high})) {
                haveTarget = true;
                target = l.targetId;
            }
        }
        if (!haveTarget && item.otherwiseBranch == 1) {
            haveTarget = true;
            target = item.otherwiseBranchTarget;
        }
    } else if (item.falseBranch == 1) {
        haveTarget = true;
        target = item.falseBranchTarget;
    }
    bool followed = false;
    if (haveTarget) {
        if (target == analyzer::kReturnToPrevious) {
            state_.rescan = false;
            state_.position = std::clamp(state_.previousPosition, 0, static_cast<int>(state_.runList.size()) - 1);
            state_.runList[static_cast<size_t>(state_.position)] = state_.previousItem;
            followed = true;
        } else {
            // A link to an item that no longer exists is not followed.
            const int index = model_.findItemById(target);
            if (index >= 0) {
                state_.rescan = false;
                state_.runList[static_cast<size_t>(state_.position)] = index;
                followed = true;
            }
        }
    }
    if (item.head == 1 && item.alwaysScan == 1) {
        state_.stay = followed;
    }
}

void Interpreter::updateTimers() {
    const uint32_t now = clock_.tickCount();
    const bool show = host_.mainWindowShown();
    for (size_t i = 0; i < state_.timers.size(); ++i) {
        Timer& t = state_.timers[i];
        t.value += static_cast<int64_t>(now - t.start);
        t.start = now;
        if (show && t.value / 1000 != t.shown / 1000) {
            t.shown = t.value;
            host_.showTimer(static_cast<int>(i), t.value / 1000);
        }
    }
    if (show) host_.refreshVariables(state_.variables);
}

} // namespace quillon::runner

#include "runner/dry_run.h"

#include "base/file.h"
#include "base/text.h"
#include "device/link.h"
#include "device/sim/sim_links.h"
#include "device/sim/simulated_machine.h"
#include "runner/analyzer_loading.h"
#include "runner/interpreter.h"
#include "runner/run_loader.h"
#include "screenshots/screenshot_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace quillon::runner {
namespace {

namespace fs = std::filesystem;

fs::path fsPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string utf8Of(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

bool endsWithBmp(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".bmp";
}

// The virtual clock as the interpreter sees it: once the last screenshot's
// time has passed, the run is over.
class EndingClock final : public Clock {
public:
    EndingClock(VirtualClock& clock, uint32_t start, uint32_t length, std::atomic<bool>& runActive)
        : clock_(clock), start_(start), length_(length), runActive_(runActive) {}
    uint32_t tickCount() override {
        const uint32_t now = clock_.tickCount();
        if (now - start_ >= length_) runActive_.store(false);
        return now;
    }
    void sleepMs(uint32_t ms) override {
        clock_.sleepMs(ms);
        tickCount();
    }

private:
    VirtualClock& clock_;
    uint32_t start_, length_;
    std::atomic<bool>& runActive_;
};

// The screenshots as the screen: the one due at the clock's time, loaded
// when its time comes. A capture asks for the rectangle first and then for
// the pixels, so the screenshot changes only at the first.
class RecordedScreens final : public Screen {
public:
    RecordedScreens(const std::vector<DryRunShot>& shots, uint32_t holdMs, VirtualClock& clock, uint32_t start,
                    std::vector<std::string>& warnings)
        : shots_(shots), holdMs_(holdMs), clock_(clock), start_(start), warnings_(warnings) {
        show(0);
    }

    Size screenSize() override {
        update();
        return current_->screenSize();
    }
    bool targetRect(CaptureTarget, Rect& rect) override {
        update();
        rect = {0, 0, current_->width(), current_->height()};
        return true;
    }
    CopyResult copyPixels(int left, int top, int width, int height, uint8_t* pixels, size_t capacity,
                          int& bitsPerPixel) override {
        return current_->copyPixels(left, top, width, height, pixels, capacity, bitsPerPixel);
    }
    bool readCursor(CursorImage& image) override {
        update();
        return current_->readCursor(image);
    }
    // The picture a capture is about to copy (asked after its rectangle):
    // a screenshot shown again is the same picture.
    uint64_t pictureSerial() override { return current_->pictureSerial(); }

private:
    void update() {
        const size_t due = shotIndexAt(shots_.size(), holdMs_, clock_.tickCount() - start_);
        if (due != shown_) show(due);
    }
    void show(size_t index) {
        shown_ = index;
        if (auto loaded = shots_[index].load ? shots_[index].load() : nullptr) {
            current_ = std::move(loaded);
        } else {
            // Gone since the folder was read: the screen stays as it was.
            warnings_.push_back(shots_[index].name + ": the screenshot could no longer be read");
            if (!current_) current_ = std::make_shared<SyntheticScreen>(shots_[index].size.width, shots_[index].size.height);
        }
    }

    const std::vector<DryRunShot>& shots_;
    uint32_t holdMs_;
    VirtualClock& clock_;
    uint32_t start_;
    std::vector<std::string>& warnings_;
    size_t shown_ = 0;
    std::shared_ptr<SyntheticScreen> current_;
};

class DryRunHost final : public Host {
public:
    DryRunHost(const DryRunOptions& options, VirtualClock& clock, std::atomic<bool>& runActive,
               std::vector<std::string>& warnings)
        : options_(options), clock_(clock), runActive_(runActive), warnings_(warnings) {}

    bool playSound(const std::string&) override { return true; }
    void stopSound() override {}
    void beep(int, int) override {}
    bool inputMethodOpen() override { return options_.inputMethodOpen; }
    LocalTime localTime() override { return options_.time; }
    bool mainWindowShown() override { return true; }
    void requestStop(bool) override { runActive_.store(false); }
    void switchWindow() override {}
    void showCurrentItem(int, const std::string&) override {
        // An item takes at least a millisecond, so a run of items that never
        // wait still reaches the end of the screenshots.
        if (haveItem_ && clock_.tickCount() == lastItemTick_) clock_.advance(1);
        haveItem_ = true;
        lastItemTick_ = clock_.tickCount();
    }
    void showItemLabel(bool) override {}
    void showMacroPlaying(bool) override {}
    void showResultCode(int) override {}
    void showSoundPath(const std::string&) override {}
    void warn(const std::string& text) override { warnings_.push_back(text); }

private:
    const DryRunOptions& options_;
    VirtualClock& clock_;
    std::atomic<bool>& runActive_;
    std::vector<std::string>& warnings_;
    bool haveItem_ = false;
    uint32_t lastItemTick_ = 0;
};

// Counts for the summary and hands every item on to the trace.
class CountingObserver final : public RunObserver {
public:
    CountingObserver(DryRunSummary& summary, RunObserver* next) : summary_(summary), next_(next) {}
    void itemSeen(const ItemSeen& item) override {
        ++summary_.items;
        summary_.itemsHeld += item.held;
        summary_.conditions += item.conditions.size();
        for (const ConditionSeen& c : item.conditions) summary_.conditionsHeld += c.held;
        summary_.actions += item.actions.size();
        summary_.sounds += item.sounds.size();
        if (next_) next_->itemSeen(item);
    }
    // Counting needs no closest place; the trace decides for itself.
    bool wantsClosestPlace() const override { return next_ && next_->wantsClosestPlace(); }

private:
    DryRunSummary& summary_;
    RunObserver* next_;
};

class RefusingLoader final : public AnalyzerLoader {
public:
    int load(const std::string&, analyzer::AnalyzerModel& model) override {
        model.reset();
        return run_load::kCannotOpen;
    }
};

} // namespace

std::shared_ptr<SyntheticScreen> loadScreenshot(const std::string& bmpPath) {
    const auto bytes = readFile(bmpPath);
    if (!bytes) return nullptr;
    auto screen = SyntheticScreen::fromBmp(*bytes);
    if (!screen) return nullptr;
    auto shown = std::make_shared<SyntheticScreen>(std::move(*screen));
    const Rect whole{0, 0, shown->width(), shown->height()};
    shown->setForegroundWindow(whole, whole);
    CursorImage cursor;
    if (bmpPath.size() > 4) {
        if (const auto file = readFile(bmpPath.substr(0, bmpPath.size() - 4) + ".dat")) {
            if (const auto read = readCursorFile(*file)) {
                cursor = read->image;
                cursor.showing = cursor.flags != 0;
                cursor.drawPosition = cursor.position;
            }
        }
    }
    shown->setCursor(cursor);
    return shown;
}

ScreenshotFolder screenshotsIn(const std::string& folder) {
    ScreenshotFolder out;
    std::error_code error;
    fs::directory_iterator it(fsPath(folder), error);
    if (error) {
        out.folderReadable = false;
        return out;
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : it) {
        std::error_code kindError;
        const std::string name = utf8Of(entry.path().filename());
        if (entry.is_regular_file(kindError) && endsWithBmp(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = utf8Of(fsPath(folder) / fsPath(name));
        const auto bytes = readFile(path);
        BitmapFileView view;
        if (!bytes || readBitmapFile(bytes->data(), bytes->size(), view) != BitmapStatus::Ok || view.width > 16384 ||
            view.height > 16384) {
            out.skipped.push_back(name);
            continue;
        }
        out.shots.push_back({name, {view.width, view.height}, [path] { return loadScreenshot(path); }});
    }
    return out;
}

int itemNamed(const analyzer::AnalyzerModel& model, const std::string& name) {
    for (int i = 0; i < std::min(model.itemCount(), analyzer::kItemCapacity); ++i) {
        if (text::cp949ToUtf8(analyzer::fixedText(model.item(i).name)) == name) return i;
    }
    return -1;
}

size_t shotIndexAt(size_t shots, uint32_t holdMs, uint32_t tMs) {
    if (shots == 0) return 0;
    return std::min<size_t>(tMs / std::max<uint32_t>(holdMs, 1), shots - 1);
}

DryRunSummary runDry(analyzer::AnalyzerModel& model, const std::vector<DryRunShot>& shots,
                     const DryRunOptions& options) {
    DryRunSummary summary;
    summary.screens = shots.size();
    if (shots.empty()) return summary;
    const uint32_t hold = std::max<uint32_t>(options.holdMs, 1);
    const uint64_t length64 = static_cast<uint64_t>(hold) * shots.size();
    const uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(length64, UINT32_MAX / 2));

    VirtualClock clock(0);
    const uint32_t start = clock.tickCount();
    sim::SimulatedMachine machine(clock);
    Link link(Program::AnalyzerRunner, clock);
    link.attach(std::make_unique<sim::SimTransport>(LinkKind::Hid, machine, clock), 0);
    std::atomic<bool> runActive{false};
    EndingClock runClock(clock, start, length, runActive);
    RecordedScreens screen(shots, hold, clock, start, summary.warnings);
    machine.setScreenSize(shots[0].size.width, shots[0].size.height);
    DryRunHost host(options, clock, runActive, summary.warnings);
    FileAnalyzerLoader fileLoader("");
    RefusingLoader refusing;
    CountingObserver counting(summary, options.observer);

    RunSettings settings;
    settings.itemDelayMain = settings.itemDelayMini = options.itemDelayMs;
    settings.analyzerFolder = options.analyzerFolder;
    settings.soundFolder = options.soundFolder;
    settings.fixedSeed = true;
    settings.seed = 1;
    settings.runActiveFlag = &runActive;
    settings.observer = &counting;
    settings.startItem = options.startItem;
    AnalyzerLoader& loader = options.analyzerFolder.empty() ? static_cast<AnalyzerLoader&>(refusing) : fileLoader;
    Interpreter interpreter(model, link, screen, host, runClock, loader, settings);
    interpreter.run();
    summary.virtualMs = clock.tickCount() - start;
    return summary;
}

} // namespace quillon::runner

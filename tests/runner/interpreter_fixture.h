// An interpreter wired to the simulated machine on a virtual clock, a
// synthetic screen, and a host that records what the status windows were
// told. Items are written straight into the analyzer record.
#pragma once

#include "analyzer/model.h"
#include "device/actions.h"
#include "device/sim/sim_links.h"
#include "device/sim/simulated_machine.h"
#include "runner/interpreter.h"
#include "runner/synthetic_screen.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillon::runner::testing {

struct RecordingHost final : Host {
    bool mainShown = true;
    bool imeOpen = true;
    LocalTime time{2026, 12, 2, 8, 9, 30, 0};
    bool soundPlays = true;
    std::vector<std::string> sounds;
    int soundStops = 0;
    std::vector<std::pair<int, int>> beeps;
    std::vector<int> shownItems;
    std::vector<bool> labelShown;
    std::vector<bool> macroShown;
    std::vector<std::string> warnings;
    int switches = 0;
    int stopRequests = 0;
    struct Preview {
        PreviewBox box;
        int width, height;
        bool solid;
        uint32_t colour;
    };
    std::vector<Preview> previews;
    bool computerOff = false;
    // The status window: what it does when the run asks to stop, and when an
    // item is shown (tests end runs there).
    std::function<void()> onStop;
    std::function<void(int)> onItem;

    bool playSound(const std::string& path) override {
        sounds.push_back(path);
        return soundPlays;
    }
    void stopSound() override { ++soundStops; }
    void beep(int f, int ms) override { beeps.emplace_back(f, ms); }
    bool inputMethodOpen() override { return imeOpen; }
    LocalTime localTime() override { return time; }
    bool mainWindowShown() override { return mainShown; }
    void requestStop(bool off) override {
        ++stopRequests;
        computerOff |= off;
        if (onStop) onStop();
    }
    void switchWindow() override { ++switches; mainShown = !mainShown; }
    void showPreview(PreviewBox box, const PreviewPicture& p) override {
        previews.push_back({box, p.width, p.height, p.solid, p.colour});
    }
    void showCurrentItem(int number, const std::string&) override {
        shownItems.push_back(number);
        if (onItem) onItem(number);
    }
    void showItemLabel(bool visible) override { labelShown.push_back(visible); }
    void showMacroPlaying(bool playing) override { macroShown.push_back(playing); }
    void showResultCode(int) override {}
    void showSoundPath(const std::string&) override {}
    void warn(const std::string& text) override { warnings.push_back(text); }
    std::vector<std::pair<int, int64_t>> timersShown;
    void showTimer(int timer, int64_t seconds) override { timersShown.emplace_back(timer, seconds); }
};

struct RecordingLoader final : AnalyzerLoader {
    std::vector<std::string> paths;
    int code = 0;
    std::function<void(analyzer::AnalyzerModel&)> fill;
    int load(const std::string& path, analyzer::AnalyzerModel& model) override {
        paths.push_back(path);
        if (code == 0) {
            model.reset();
            if (fill) fill(model);
        }
        return code;
    }
};

using Fields = std::initializer_list<std::pair<size_t, int32_t>>;

inline analyzer::Condition condition(int32_t kind, Fields fields) {
    analyzer::Condition c{};
    c.used = 1;
    c.set(0, kind);
    for (auto [offset, value] : fields) c.set(offset, value);
    return c;
}

inline analyzer::Command command(int32_t kind, Fields fields) {
    analyzer::Command c{};
    c.used = 1;
    c.set(0, kind);
    for (auto [offset, value] : fields) c.set(offset, value);
    return c;
}

// One logged action as code and operands.
struct Sent {
    uint32_t time;
    uint8_t code;
    std::vector<uint8_t> operands;
};

struct InterpreterFixture : ::testing::Test {
    VirtualClock clock{100000};
    sim::SimulatedMachine machine{clock};
    Link link{Program::AnalyzerRunner, clock};
    SyntheticScreen screen{800, 600, 0xFFFFFF};
    RecordingHost host;
    RecordingLoader loader;
    analyzer::AnalyzerModel model;
    RunSettings settings;
    std::unique_ptr<Interpreter> interpreter;

    InterpreterFixture() {
        link.attach(std::make_unique<sim::SimTransport>(LinkKind::Hid, machine, clock), 0);
        machine.setScreenSize(800, 600);
        model.reset();
        settings.startHotkey = 0x51;
        settings.stopHotkey = 0x52;
        settings.switchHotkey = 0x53;
        settings.soundFolder = "Sound\\";
        settings.analyzerFolder = "Save\\";
        settings.fixedSeed = true;
        settings.seed = 1;
        screen.setForegroundWindow({100, 50, 500, 450}, {108, 80, 492, 442});
    }

    analyzer::Item& addItem(bool head, bool alwaysScan = false) {
        analyzer::AnalyzerImage& image = model.image();
        analyzer::Item& item = image.items[image.itemCount];
        item = analyzer::Item{};
        item.id = 1000 + image.itemCount;
        item.head = head ? 1 : 0;
        item.alwaysScan = alwaysScan ? 1 : 0;
        item.noItemDelay = 1;
        ++image.itemCount;
        return item;
    }
    static void add(analyzer::Item& item, const analyzer::Condition& c) { item.conditions[item.conditionCount++] = c; }
    static void add(analyzer::Item& item, const analyzer::Command& c) { item.commands[item.commandCount++] = c; }
    static void linkTo(analyzer::Item& item, int32_t target) {
        analyzer::NextLink l{};
        l.targetId = target;
        item.nextLinks[item.nextLinkCount++] = l;
    }

    // A recognition image in `slot`, centred on (cx, cy), painted `rgb`.
    analyzer::RecognitionImage& addImage(int slot, int cx, int cy, int w, int h, uint32_t rgb = 0) {
        auto block = analyzer::allocateZeroed<analyzer::RecognitionImage>();
        analyzer::RecognitionImage& r = *block;
        r.used = 1;
        r.centreX = cx;
        r.centreY = cy;
        r.width = w;
        r.height = h;
        r.left = cx - w / 2;
        r.top = cy - h / 2;
        r.right = cx + w / 2;
        r.bottom = cy + h / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = r.pixels + y * analyzer::kImageRowStride + x * 4;
                p[0] = static_cast<uint8_t>(rgb);
                p[1] = static_cast<uint8_t>(rgb >> 8);
                p[2] = static_cast<uint8_t>(rgb >> 16);
            }
        model.adoptRecognitionImage(slot, std::move(block));
        return *model.recognitionImage(slot);
    }

    Interpreter& make() {
        interpreter = std::make_unique<Interpreter>(model, this->link, screen, host, clock, loader, settings);
        host.onStop = [this] { interpreter->runActive.store(false); };
        interpreter->runActive.store(true);
        interpreter->capture().startRun();
        return *interpreter;
    }

    // Runs until `ms` of virtual time have passed since the start.
    void runFor(uint32_t ms) {
        Interpreter& in = interpreter ? *interpreter : make();
        const uint32_t end = clock.tickCount() + ms;
        host.onItem = [this, end](int) {
            if (static_cast<int32_t>(clock.tickCount() - end) >= 0) interpreter->runActive.store(false);
        };
        in.run();
    }

    // The actions the machine received, without status requests.
    std::vector<Sent> actions() const {
        std::vector<Sent> out;
        for (const auto& a : machine.actions())
            if (a.code != action_code::kStatusRequest) out.push_back({a.time, a.code, a.operands});
        return out;
    }
    std::vector<uint8_t> codes() const {
        std::vector<uint8_t> out;
        for (const Sent& s : actions()) out.push_back(s.code);
        return out;
    }
    size_t statusRequests() const {
        size_t n = 0;
        for (const auto& a : machine.actions()) n += a.code == action_code::kStatusRequest;
        return n;
    }
};

} // namespace quillon::runner::testing

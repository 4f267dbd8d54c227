// A dry run of a 20-item analyzer over 100 UI-like screenshots of 1920 x 1080,
// each shown for a second of virtual time, with its trace written: every item
// range-searches the whole screen for a 31 x 31 image (taken from one of the
// screens, so it is found on some and not on the others), then moves to the
// match and clicks. Ten screens are drawn and each is shown ten times, so
// the matching meets the same pixels a folder of screenshots would give.
// Also: the same run without a trace (the summary only, so no search for the
// closest place of a search that did not hold), and that closest-place search
// beside a failing search on its own.
#include "bench/runner/ui_screen.h"
#include "runner/dry_run.h"
#include "runner/matching.h"
#include "runner/trace_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace quillon::runner::bench {
namespace {

using namespace analyzer;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kDrawn = 10;
constexpr int kShots = 100;
constexpr int kItems = 20;
constexpr int kSide = 31;

// A corner where a kSide square shows at least a few colours (not a flat
// background, which would match anywhere).
Point busyCorner(const SyntheticScreen& s, int from) {
    for (int step = 0;; ++step) {
        const int x = (from * 97 + step * 131) % (kWidth - kSide - 2);
        const int y = (from * 53 + step * 71) % (kHeight - kSide - 2);
        std::set<uint32_t> colours;
        for (int dy = 0; dy < kSide; dy += 3)
            for (int dx = 0; dx < kSide; dx += 3) colours.insert(s.pixel(x + dx, y + dy));
        if (colours.size() >= 6) return {x, y};
    }
}

struct Scene {
    std::vector<std::shared_ptr<SyntheticScreen>> drawn;
    std::vector<DryRunShot> shots;
    AnalyzerModel model;

    Scene() {
        for (int i = 0; i < kDrawn; ++i) {
            auto s = std::make_shared<SyntheticScreen>(kWidth, kHeight);
            drawUiScreen(*s, 100 + static_cast<unsigned>(i));
            s->setForegroundWindow({0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight});
            drawn.push_back(s);
        }
        for (int i = 0; i < kShots; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%04d.bmp", i);
            auto s = drawn[static_cast<size_t>(i % kDrawn)];
            shots.push_back({name, {kWidth, kHeight}, [s] { return s; }});
        }
        build();
    }

    void build() {
        model.reset();
        AnalyzerImage& a = model.image();
        a.areas[0].used = 1;
        a.areas[0].width = kWidth - 1;
        a.areas[0].height = kHeight - 1;
        for (int i = 0; i < kItems; ++i) {
            const SyntheticScreen& from = *drawn[static_cast<size_t>(i % kDrawn)];
            const Point corner = busyCorner(from, i + 1);
            auto block = allocateZeroed<RecognitionImage>();
            RecognitionImage& r = *block;
            r.used = 1;
            r.width = r.height = kSide;
            r.left = corner.x;
            r.top = corner.y;
            r.centreX = corner.x + kSide / 2;
            r.centreY = corner.y + kSide / 2;
            r.right = corner.x + kSide;
            r.bottom = corner.y + kSide;
            for (int y = 0; y < kSide; ++y)
                std::memcpy(r.pixels + y * kImageRowStride, from.row(corner.y + y) + corner.x * 4, kSide * 4);
            model.adoptRecognitionImage(i, std::move(block));

            Item& item = a.items[a.itemCount++];
            item = Item{};
            item.id = 1 + i;
            item.head = 1;
            std::snprintf(item.name, sizeof item.name, "item %d", i);
            Condition& c = item.conditions[item.conditionCount++];
            c.used = 1;
            c.set(0, CondRangeSearch);
            c.set(cond::RangeSearch::what, CompareWithImage);
            c.set(cond::RangeSearch::area, 0);
            c.set(cond::RangeSearch::image, i);
            c.set(cond::RangeSearch::whichMatch, 1);
            c.set(cond::RangeSearch::similarity, 95);
            Command& move = item.commands[item.commandCount++];
            move.used = 1;
            move.set(0, CmdMouse);
            move.set(cmd::Mouse::action, cmd::Mouse::MoveToRangeMatch);
            move.set(cmd::Mouse::area, 0);
            Command& click = item.commands[item.commandCount++];
            click.used = 1;
            click.set(0, CmdMouse);
            click.set(cmd::Mouse::action, cmd::Mouse::Click);
            click.set(cmd::Mouse::button, cmd::Mouse::Left);
        }
        a.nextItemId = kItems + 1;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_DryRun100Screens(benchmark::State& state, bool traced) {
    Scene& s = scene();
    DryRunSummary summary;
    uint64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.build(); // a run may change nothing, but each starts from the analyzer as written
        std::FILE* file = std::tmpfile();
        TraceWriter writer(file);
        writer.setScreenAt([&s](uint32_t t) { return s.shots[shotIndexAt(s.shots.size(), 1000, t)].name; });
        writer.begin({"bench.dat", std::string("shots"), {kWidth, kHeight}});
        DryRunOptions options;
        options.observer = traced ? &writer : nullptr;
        state.ResumeTiming();
        summary = runDry(s.model, s.shots, options);
        writer.finish();
        bytes = writer.bytesWritten();
        state.PauseTiming();
        std::fclose(file);
        state.ResumeTiming();
    }
    state.counters["items"] = static_cast<double>(summary.items);
    state.counters["held"] = static_cast<double>(summary.itemsHeld);
    state.counters["trace_kB"] = static_cast<double>(bytes) / 1024;
    state.counters["virtual_s"] = summary.virtualMs / 1000.0;
    state.SetLabel(RangeSearcher::vectorUnit());
}

// One search of an image that is not on the screen, and the closest place
// of it that a watched run looks for afterwards.
void BM_NotHeldSearch(benchmark::State& state, bool closest) {
    Scene& s = scene();
    const FrameView frame{s.drawn[1]->row(0), kWidth - 1, kHeight - 1, kWidth * 4};
    const RecognitionImage& r = *s.model.recognitionImage(0); // from screen 0
    ImageView image;
    image.pixels = r.pixels;
    image.width = image.height = kSide;
    const RangeSearch search{image, {0, 0, kWidth - 1, kHeight - 1}, 95, ScanOrder::Down, 1, SearchMode::Found};
    RangeSearcher searcher;
    for (auto _ : state) {
        if (closest) {
            const RangeSearcher::Closest c = searcher.closest(frame, search);
            benchmark::DoNotOptimize(c);
            state.counters["similarity"] = c.similarity;
            state.counters["capped"] = c.capped;
        } else {
            RangeResult result;
            const int code = searcher.search(frame, search, result);
            if (code == 0) state.SkipWithError("the image is on this screen");
            benchmark::DoNotOptimize(result);
        }
    }
}

BENCHMARK_CAPTURE(BM_DryRun100Screens, traced, true)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_DryRun100Screens, untraced, false)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_NotHeldSearch, search, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_NotHeldSearch, closest, true)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace quillon::runner::bench

BENCHMARK_MAIN();

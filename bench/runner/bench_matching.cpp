// Range-search and number-reading timings on a 1919 x 1079 UI-like screen:
// the product's search (best vector unit, and SSE2 alone), the literal rules
// of the reference implementation, and OpenCV's matchTemplate (TM_SQDIFF,
// one thread), all on the same pixels.
#include "bench/runner/ui_screen.h"
#include "analyzer/model.h"
#include "runner/matching.h"
#include "runner/run_trace.h"
#include "tests/runner/reference_matching.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace quillon::runner::bench {
namespace {

constexpr int kWidth = 1919;
constexpr int kHeight = 1079;

FrameView frameOf(const SyntheticScreen& s) { return {s.row(0), s.width(), s.height(), s.width() * 4}; }

struct Image {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kImageStride * kImageMaxSide);
    ImageView view;
    Image(const SyntheticScreen& s, int left, int top, int side) {
        view.pixels = pixels.data();
        view.width = view.height = side;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                for (int c = 0; c < 4; ++c) pixels[y * kImageStride + x * 4 + c] = s.row(top + y)[(left + x) * 4 + c];
    }
};

struct Scene {
    SyntheticScreen screen{kWidth, kHeight};
    SyntheticScreen other{kWidth, kHeight};
    SyntheticScreen flat{kWidth, kHeight, 0xF0F0F0};
    SyntheticScreen digits{400, 200, 0xFFFFFF};
    std::unique_ptr<Image> absent31, absent201, late31;
    DigitPack* pack = makeDigitPack();

    Scene() {
        drawUiScreen(screen, 11);
        drawUiScreen(other, 22);
        RangeSearcher searcher;
        auto matchesOnScreen = [&](const Image& img) {
            RangeResult r;
            return searcher.search(frameOf(screen), {img.view, {0, 0, kWidth, kHeight}, 95, ScanOrder::Down, 1, SearchMode::Found}, r) == 0;
        };
        // Images from the other screen that do not occur on this one.
        for (int y = 100; !absent31 && y < 900; y += 37) {
            auto img = std::make_unique<Image>(other, 600, y, 31);
            if (!matchesOnScreen(*img)) absent31 = std::move(img);
        }
        for (int y = 100; !absent201 && y < 800; y += 53) {
            auto img = std::make_unique<Image>(other, 500, y, 201);
            if (!matchesOnScreen(*img)) absent201 = std::move(img);
        }
        // An image from this screen whose first match lies near the bottom.
        for (int x = 1200; !late31 && x < 1880; x += 29) {
            auto img = std::make_unique<Image>(screen, x, 995, 31);
            RangeResult r;
            searcher.search(frameOf(screen), {img->view, {0, 0, kWidth, kHeight}, 95, ScanOrder::Down, 1, SearchMode::Found}, r);
            if (r.found && r.y - 15 >= 990) late31 = std::move(img);
        }
        if (!absent31 || !absent201 || !late31) {
            std::fprintf(stderr, "benchmark scene: no suitable images\n");
            std::abort();
        }
        drawDigits(digits, 100, 100, "31415926");
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

enum class Engine { Fast, FastSse2, Literal };

void runSearch(benchmark::State& state, Engine engine, const SyntheticScreen& screen, const ImageView& image,
               SearchArea area, bool expectFound) {
    RangeSearcher searcher;
    RangeSearcher::forceSse2(engine == Engine::FastSse2);
    const RangeSearch search{image, area, 95, ScanOrder::Down, 1, SearchMode::Found};
    for (auto _ : state) {
        RangeResult r;
        const int code = engine == Engine::Literal ? reference::searchRange(frameOf(screen), search, r)
                                                   : searcher.search(frameOf(screen), search, r);
        benchmark::DoNotOptimize(r);
        if ((code == 0) != expectFound) state.SkipWithError("unexpected result");
    }
    RangeSearcher::forceSse2(false);
    state.SetLabel(engine == Engine::Literal ? "literal" : engine == Engine::FastSse2 ? "sse2" : RangeSearcher::vectorUnit());
}

const SearchArea kWhole{0, 0, kWidth, kHeight};

void BM_NoMatch31(benchmark::State& st, Engine e) { runSearch(st, e, scene().screen, scene().absent31->view, kWhole, false); }
void BM_NoMatch201(benchmark::State& st, Engine e) { runSearch(st, e, scene().screen, scene().absent201->view, kWhole, false); }
void BM_LateMatch31(benchmark::State& st, Engine e) { runSearch(st, e, scene().screen, scene().late31->view, kWhole, true); }
void BM_FlatScreen31(benchmark::State& st, Engine e) { runSearch(st, e, scene().flat, scene().absent31->view, kWhole, false); }
void BM_Area400x300(benchmark::State& st, Engine e) {
    runSearch(st, e, scene().screen, scene().absent31->view, {700, 400, 400, 300}, false);
}

// The closest place of a search that did not hold, as a watched run reports it.
void runClosest(benchmark::State& state, const SyntheticScreen& screen, const ImageView& image, SearchArea area) {
    RangeSearcher searcher;
    const RangeSearch search{image, area, 95, ScanOrder::Down, 1, SearchMode::Found};
    int similarity = -1;
    bool capped = false;
    for (auto _ : state) {
        const RangeSearcher::Closest c = searcher.closest(frameOf(screen), search);
        similarity = c.similarity;
        capped = c.capped;
        benchmark::DoNotOptimize(c);
    }
    state.SetLabel("similarity " + std::to_string(similarity) + (capped ? ", capped" : ""));
}

void BM_ClosestNoMatch31(benchmark::State& st) { runClosest(st, scene().screen, scene().absent31->view, kWhole); }
void BM_ClosestNoMatch201(benchmark::State& st) { runClosest(st, scene().screen, scene().absent201->view, kWhole); }
void BM_ClosestFlatScreen31(benchmark::State& st) { runClosest(st, scene().flat, scene().absent31->view, kWhole); }
void BM_ClosestArea400x300(benchmark::State& st) {
    runClosest(st, scene().screen, scene().absent31->view, {700, 400, 400, 300});
}

// The editor's test of one item on a screenshot: a colour, an image at its
// place and a range search that does not hold, on the whole screen.
void BM_StillTestOfAnItem(benchmark::State& state) {
    using namespace analyzer;
    SyntheticScreen shot = scene().screen;
    shot.setForegroundWindow({0, 0, kWidth, kHeight}, {0, 0, kWidth, kHeight});
    AnalyzerModel model;
    model.reset();
    auto block = allocateZeroed<RecognitionImage>();
    block->used = 1;
    block->width = block->height = 31;
    block->left = 600;
    block->top = 400;
    const ImageView& absent = scene().absent31->view;
    for (int y = 0; y < 31; ++y) std::memcpy(block->pixels + y * kImageRowStride, absent.pixel(0, y), 31 * 4);
    model.adoptRecognitionImage(1, std::move(block));
    RecognitionArea& area = model.image().areas[0];
    area.used = 1;
    area.width = kWidth - 1; // the capture of a whole screen leaves its last column and row
    area.height = kHeight - 1;
    Item item{};
    auto add = [&](int32_t kind) -> Condition& {
        Condition& c = item.conditions[item.conditionCount++];
        c.used = 1;
        c.setKind(kind);
        return c;
    };
    Condition& colour = add(CondImage);
    colour.set(cond::Image::compareWith, CompareWithColour);
    colour.set(cond::Image::where, cond::Image::AtCoordinates);
    colour.set(cond::Image::x, 100);
    colour.set(cond::Image::y, 100);
    colour.set(cond::Image::similarity, 95);
    Condition& image = add(CondImage);
    image.set(cond::Image::compareWith, CompareWithImage);
    image.set(cond::Image::where, cond::Image::AtImage);
    image.set(cond::Image::reference, 1);
    image.set(cond::Image::positionSource, 1);
    image.set(cond::Image::similarity, 95);
    Condition& search = add(CondRangeSearch);
    search.set(cond::RangeSearch::what, CompareWithImage);
    search.set(cond::RangeSearch::image, 1);
    search.set(cond::RangeSearch::whichMatch, 1);
    search.set(cond::RangeSearch::similarity, 95);
    int similarity = -1;
    for (auto _ : state) {
        const std::vector<ConditionSeen> seen = testConditionsOnScreen(model, item, shot);
        similarity = seen[2].similarity;
        benchmark::DoNotOptimize(seen);
    }
    state.SetLabel("closest " + std::to_string(similarity));
}

void BM_ReadNumber8(benchmark::State& state, Engine engine) {
    const FrameView f = frameOf(scene().digits);
    const NumberPackView& pack = packView(scene().pack);
    const SearchArea area{90, 95, 90, 20};
    for (auto _ : state) {
        int64_t value = 0;
        if (engine == Engine::Literal) reference::readNumber(f, area, pack, 95, false, value);
        else readNumber(f, area, pack, 95, false, value);
        if (value != 31415926) state.SkipWithError("misread");
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(engine == Engine::Literal ? "literal" : "product");
}

// matchTemplate scores every position; the best score then says whether
// the image is there.
void runMatchTemplate(benchmark::State& state, const SyntheticScreen& screen, const ImageView& image) {
    cv::setNumThreads(1);
    cv::Mat bgra(screen.height(), screen.width(), CV_8UC4, const_cast<uint8_t*>(screen.row(0)));
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    cv::Mat templ(image.height, image.width, CV_8UC3);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) templ.at<cv::Vec3b>(y, x)[c] = image.pixel(x, y)[c];
    cv::Mat result;
    for (auto _ : state) {
        cv::matchTemplate(bgr, templ, result, cv::TM_SQDIFF);
        double best = 0;
        cv::minMaxLoc(result, &best);
        benchmark::DoNotOptimize(best);
    }
    state.SetLabel("opencv TM_SQDIFF, 1 thread");
}

void BM_OpenCvNoMatch31(benchmark::State& st) { runMatchTemplate(st, scene().screen, scene().absent31->view); }
void BM_OpenCvNoMatch201(benchmark::State& st) { runMatchTemplate(st, scene().screen, scene().absent201->view); }
void BM_OpenCvLateMatch31(benchmark::State& st) { runMatchTemplate(st, scene().screen, scene().late31->view); }
void BM_OpenCvFlatScreen31(benchmark::State& st) { runMatchTemplate(st, scene().flat, scene().absent31->view); }

#define SEARCH_CASES(name)                                                                                        \
    BENCHMARK_CAPTURE(name, fast, Engine::Fast)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true); \
    BENCHMARK_CAPTURE(name, sse2, Engine::FastSse2)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true); \
    BENCHMARK_CAPTURE(name, literal, Engine::Literal)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

SEARCH_CASES(BM_NoMatch31);
SEARCH_CASES(BM_NoMatch201);
SEARCH_CASES(BM_LateMatch31);
SEARCH_CASES(BM_FlatScreen31);
SEARCH_CASES(BM_Area400x300);
BENCHMARK(BM_ClosestNoMatch31)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClosestNoMatch201)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClosestFlatScreen31)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClosestArea400x300)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StillTestOfAnItem)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ReadNumber8, product, Engine::Fast)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ReadNumber8, literal, Engine::Literal)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenCvNoMatch31)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenCvNoMatch201)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenCvLateMatch31)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenCvFlatScreen31)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace
} // namespace quillon::runner::bench

BENCHMARK_MAIN();

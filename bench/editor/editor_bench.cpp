// The editor's work behind its windows: the item list of 500 and 5,000 items
// (target: filled within 1 s with the window's part included), reading a
// 1280 x 800 screenshot for the view, and one magnifier update on a pointer
// move (target: 2 ms).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "analyzer/model.h"
#include "editor/item_list_editing.h"
#include "editor/item_sentences.h"
#include "editor/main_panel.h"
#include "editor/recognition_capture.h"
#include "screenshots/screenshot_files.h"

namespace {

using namespace quillon;
using namespace quillon::analyzer;
using namespace quillon::editor;

void fillItems(AnalyzerModel& model, int count) {
    std::vector<Item> items(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Item& item = items[static_cast<size_t>(i)];
        std::memset(&item, 0, sizeof item);
        item.head = i % 50 == 0;
        item.alwaysScan = i % 3 == 0;
        // Names in no order, Korean and Latin mixed, as users write them.
        std::snprintf(item.name, sizeof item.name, "\xC7\xD7\xB8\xF1 %05d item", (i * 7919) % count);
    }
    model.insertItems(0, items);
}

void BM_ItemListRows(benchmark::State& state) {
    AnalyzerModel model;
    fillItems(model, static_cast<int>(state.range(0)));
    const bool sorted = state.range(1) != 0;
    for (auto _ : state) {
        std::vector<ItemListRow> rows = itemListRows(model, sorted);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_ItemListRows)->Args({500, 1})->Args({5000, 0})->Args({5000, 1})->Unit(benchmark::kMillisecond);

// "위로 이동" on one item of 5,000: the move and the list lines again (the
// window then rewrites the two lines that changed).
void BM_MoveItemInLongList(benchmark::State& state) {
    AnalyzerModel model;
    fillItems(model, 5000);
    int position = 2500;
    for (auto _ : state) {
        std::vector<int> moved = moveItemsUp(model, {position});
        std::vector<ItemListRow> rows = itemListRows(model, true);
        benchmark::DoNotOptimize(rows.data());
        position = moved.front() > 1 ? moved.front() : 2500;
    }
}
BENCHMARK(BM_MoveItemInLongList)->Unit(benchmark::kMillisecond);

// Choosing an item: its conditions and commands as sentences.
void BM_ItemSentences(benchmark::State& state) {
    AnalyzerModel model;
    Item item{};
    for (int c = 0; c < 50; ++c) {
        Condition cond{};
        cond.used = 1;
        cond.setKind(CondTimer);
        addCondition(item, cond);
        Command command{};
        command.used = 1;
        command.setKind(CmdDelay);
        addCommand(item, command);
    }
    KeyTable keys(KeyNames::AnalyzerEditor);
    AnalyzerNames names(model, keys);
    for (auto _ : state) {
        size_t length = 0;
        for (int c = 0; c < 50; ++c) {
            length += conditionSentence(item.conditions[c], names).size();
            length += commandSentence(item.commands[c], names).size();
        }
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_ItemSentences)->Unit(benchmark::kMicrosecond);

std::vector<uint8_t> screenshotFile(int width, int height) {
    const size_t pixels = static_cast<size_t>(width) * height * 4;
    std::vector<uint8_t> bmp(14 + 108 + pixels, 0x40);
    auto put32 = [&](size_t at, int32_t v) { std::memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<int32_t>(bmp.size()));
    put32(10, 14 + 108);
    put32(14, 108);
    put32(18, width);
    put32(22, -height);
    bmp[26] = 1;
    bmp[27] = 0;
    bmp[28] = 32;
    bmp[29] = 0;
    put32(30, 0);
    put32(34, static_cast<int32_t>(pixels));
    return bmp;
}

void BM_ReadScreenshot(benchmark::State& state) {
    std::vector<uint8_t> file = screenshotFile(1280, 800);
    for (auto _ : state) {
        ScreenshotBitmap bitmap;
        BitmapStatus status = readScreenshotBitmap(file.data(), file.size(), bitmap);
        benchmark::DoNotOptimize(status);
    }
}
BENCHMARK(BM_ReadScreenshot)->Unit(benchmark::kMillisecond);

// What the magnifier reads on one pointer move: 15 x 15 pixels and the
// status line.
void BM_MagnifierUpdate(benchmark::State& state) {
    std::vector<uint8_t> file = screenshotFile(1280, 800);
    ScreenshotBitmap shot;
    readScreenshotBitmap(file.data(), file.size(), shot);
    int x = 100;
    for (auto _ : state) {
        uint32_t cells[225];
        for (int row = 0; row < 15; ++row) {
            for (int column = 0; column < 15; ++column) {
                uint8_t bgr[3] = {0, 0, 0};
                screenshotPixel(shot, x - 7 + column, 400 - 7 + row, bgr);
                cells[row * 15 + column] = bgr[0] | (bgr[1] << 8) | (bgr[2] << 16);
            }
        }
        std::string caption = pointerStatusLine(shot, x, 400);
        benchmark::DoNotOptimize(cells);
        benchmark::DoNotOptimize(caption.data());
        x = x == 1200 ? 100 : x + 1;
    }
}
BENCHMARK(BM_MagnifierUpdate)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

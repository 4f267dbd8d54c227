// The edit page's work behind its window for a document of 10,000 lines:
// compiling it (target: 10 ms) and making the texts the line list shows
// (the list is filled from them; target with the window's part: 1 s).
#include <benchmark/benchmark.h>

#include "control/key_codes.h"
#include "control/line_kinds.h"
#include "control/macro_compiler.h"
#include "control/macro_records.h"

namespace {

using namespace quillon::control;

EditLine lineOf(int kind, std::initializer_list<std::pair<int, int32_t>> params) {
    EditLine line{};
    line.kind = kind;
    for (auto [offset, value] : params) P(line, offset) = value;
    return line;
}

EditLine labelLine() {
    EditLine line = lineOf(kind::kLabel, {});
    setLabel(line, "처음");
    return line;
}

// Lines as users build them: key presses, clicks, moves and delays inside
// repeats, a label and a jump back to it, with memos on some lines; 10,000
// of them still fit in one memory.
void fillDocument(MacroDocument& document, TextStore& store, int count) {
    const int keyA = *rowOfKeyCode(0x04);
    int n = 0;
    const auto add = [&](EditLine line) {
        if (n % 7 == 0) setMemo(line, "메모 한 줄");
        rebuildSentence(line, store);
        document.lines[n++] = line;
    };
    add(labelLine());
    while (n < count - 2) {
        const int left = count - 2 - n;
        if (left >= 6) {
            add(lineOf(kind::kRepeatStart, {{8, 0}, {16, 3}}));
            add(lineOf(kind::kKeyPress, {{8, keyA}}));
            add(lineOf(kind::kButtonClick, {{8, 0}}));
            add(n % 5 == 0 ? lineOf(kind::kMoveTo, {{16, 100}, {20, 200}, {32, 1280}, {36, 800}})
                           : lineOf(kind::kButtonDown, {{8, 1}}));
            add(lineOf(kind::kDelay, {{16, 15}}));
            add(lineOf(kind::kRepeatEnd, {}));
        } else {
            add(lineOf(kind::kDelay, {{16, 10}}));
        }
    }
    EditLine jump = lineOf(kind::kJump, {});
    setLabel(jump, "처음");
    add(jump);
    add(lineOf(kind::kEndMacro, {}));
    document.head.lineCount = n;
}

struct Fixture {
    ZeroedPtr<MacroDocument> document = newMacroDocument();
    ZeroedPtr<TextStore> store = newTextStore();
    explicit Fixture(int lines) { fillDocument(*document, *store, lines); }
};

void BM_CompileEditMacro(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CompileResult code = compileEditMacro(*fixture.document, *fixture.store);
        benchmark::DoNotOptimize(code->code.data());
        if (!code.ok()) state.SkipWithError(code.message.c_str());
        state.counters["code"] = static_cast<double>(code->code.size());
    }
}
BENCHMARK(BM_CompileEditMacro)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LineListTexts(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        size_t total = 0;
        for (int i = 0; i < fixture.document->head.lineCount; ++i) {
            total += lineDisplayText(fixture.document->lines[i]).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_LineListTexts)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// The run trace as a file: one JSON object per line (docs/run-trace.md), the
// run's description first, then one line per evaluated item. The dry run and
// analyzer-runner's --trace give it to the interpreter as its watcher.
#pragma once

#include "runner/run_trace.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::runner {

inline constexpr int kTraceVersion = 1;
// analyzer-runner's bound on a trace file.
inline constexpr uint64_t kRunnerTraceCap = 50ull * 1024 * 1024;

struct TraceHeader {
    std::string analyzer;               // the file's name, no folder (UTF-8)
    std::optional<std::string> screens; // the dry run's folder; none in a real run
    Size screen{};                      // the screen's size at the start
};

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped; a byte that is not part of valid UTF-8 becomes U+FFFD.
std::string jsonString(std::string_view utf8);

// The lines, without their line end.
std::string traceHeaderLine(const TraceHeader& header);
// `screen` null: no screenshot (a real run).
std::string traceItemLine(const ItemSeen& item, const std::string* screen);
std::string traceTruncatedLine(uint32_t tMs);

// Name of the condition kind as the trace writes it ("range-search").
const char* traceConditionKind(int kind);

class TraceWriter final : public RunObserver {
public:
    // Writes to `out` (not closed here). `cap` bytes at most, 0 for no bound:
    // a line that would pass it is replaced by the truncated line, and the
    // writer writes nothing more.
    explicit TraceWriter(std::FILE* out, uint64_t cap = 0);

    // The screenshot shown at a moment of the run (ms since its start); a
    // real run has none and writes null.
    void setScreenAt(std::function<std::string(uint32_t)> screenAt) { screenAt_ = std::move(screenAt); }
    // Called once, on the writing thread, when the writer stops at its bound.
    void setOnCapped(std::function<void()> onCapped) { onCapped_ = std::move(onCapped); }
    // Each line reaches the file at once (a real run: the file is whole
    // whenever the program ends).
    void setFlushEachLine(bool flush) { flushEachLine_ = flush; }

    // The first line; false when it could not be written.
    bool begin(const TraceHeader& header);
    void itemSeen(const ItemSeen& item) override;
    // Flushes what was written; false when a write or the flush failed.
    bool finish();

    bool capped() const { return capped_.load(); }
    bool failed() const { return failed_.load(); }
    uint64_t bytesWritten() const { return bytes_; }
    uint64_t linesWritten() const { return lines_; }

private:
    bool writeLine(const std::string& line);

    std::FILE* out_;
    uint64_t cap_;
    uint64_t bytes_ = 0;
    uint64_t lines_ = 0;
    std::function<std::string(uint32_t)> screenAt_;
    std::function<void()> onCapped_;
    bool flushEachLine_ = false;
    std::atomic<bool> capped_{false};
    std::atomic<bool> failed_{false};
};

} // namespace quillon::runner

// LZNT1 codec speed and size. Before the timed runs it prints, for every
// input, our compressed size beside the exhaustive reference compressor's
// (cached in the corpus folder, it takes a while), and checks both round trip.
// Decompression is timed for the library's decompressor and for the baseline
// kept beside this file, one after the other on each input, and the end of
// the run puts their medians side by side.
//
//   bench_lznt1 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/lznt1.h"
#include "bench/lznt1/bench_corpus.h"
#include "bench/lznt1/lznt1_baseline.h"
#include "bench/lznt1/reference_compressor.h"

namespace quillon::lznt1::bench {
namespace {

using Bytes = std::vector<uint8_t>;

struct Packed {
    std::vector<Bytes> parts;
    size_t totalSize() const {
        size_t total = 0;
        for (const auto& p : parts) {
            total += p.size();
        }
        return total;
    }
};

Packed compressSample(const Sample& sample) {
    Packed packed;
    for (const auto& part : sample.parts) {
        Bytes out(compressBound(part.size()));
        out.resize(compress(part.data(), part.size(), out.data(), out.size()));
        packed.parts.push_back(std::move(out));
    }
    return packed;
}

using Decompressor = bool (*)(const uint8_t*, size_t, uint8_t*, size_t, size_t&);

bool roundTrips(const Sample& sample, const Packed& packed, Decompressor decoder = decompress) {
    for (size_t i = 0; i < sample.parts.size(); ++i) {
        Bytes back(sample.parts[i].size());
        size_t produced = 0;
        if (!decoder(packed.parts[i].data(), packed.parts[i].size(), back.data(), back.size(), produced) ||
            produced != back.size() || back != sample.parts[i]) {
            return false;
        }
    }
    return true;
}

// The reference's size for a sample, computed once and kept beside the corpus.
size_t referenceSize(const Sample& sample, const std::string& folder) {
    const std::string cache = folder + "/" + sample.name + ".reference-size";
    {
        std::ifstream in(cache);
        size_t inputSize = 0, size = 0;
        if (in >> inputSize >> size && inputSize == sample.totalSize()) {
            return size;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    Packed packed;
    for (const auto& part : sample.parts) {
        packed.parts.push_back(reference::compress(part.data(), part.size()));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!roundTrips(sample, packed)) {
        std::fprintf(stderr, "reference output of %s does not round trip\n", sample.name.c_str());
        std::exit(1);
    }
    std::fprintf(stderr, "reference compressor: %s in %.1f s\n", sample.name.c_str(), seconds);
    std::ofstream(cache) << sample.totalSize() << ' ' << packed.totalSize() << '\n';
    return packed.totalSize();
}

void benchCompress(benchmark::State& state, const Sample* sample) {
    std::vector<Bytes> outs;
    for (const auto& part : sample->parts) {
        outs.emplace_back(compressBound(part.size()));
    }
    size_t total = 0;
    for (auto _ : state) {
        total = 0;
        for (size_t i = 0; i < sample->parts.size(); ++i) {
            total += compress(sample->parts[i].data(), sample->parts[i].size(), outs[i].data(), outs[i].size());
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample->totalSize()));
    state.counters["compressed"] = static_cast<double>(total);
}

void benchDecompress(benchmark::State& state, const Sample* sample, const Packed* packed, Decompressor decoder) {
    std::vector<Bytes> outs;
    for (const auto& part : sample->parts) {
        outs.emplace_back(part.size());
    }
    for (auto _ : state) {
        for (size_t i = 0; i < sample->parts.size(); ++i) {
            size_t produced = 0;
            decoder(packed->parts[i].data(), packed->parts[i].size(), outs[i].data(), outs[i].size(), produced);
            benchmark::DoNotOptimize(produced);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample->totalSize()));
}

// The console report, keeping each benchmark's median CPU time (its median
// aggregate when repeated, else the median of its runs) for the closing table.
class SideBySideReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[name] = run.GetAdjustedCPUTime();
            } else if (run.run_type == Run::RT_Iteration) {
                samples_[name].push_back(run.GetAdjustedCPUTime());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Median CPU milliseconds of a benchmark, or 0 when it did not run.
    double median(const std::string& name) const {
        if (auto m = medians_.find(name); m != medians_.end()) {
            return m->second;
        }
        auto s = samples_.find(name);
        if (s == samples_.end() || s->second.empty()) {
            return 0;
        }
        std::vector<double> times = s->second;
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    }

private:
    std::map<std::string, double> medians_;
    std::map<std::string, std::vector<double>> samples_;
};

} // namespace
} // namespace quillon::lznt1::bench

int main(int argc, char** argv) {
    using namespace quillon::lznt1::bench;
    benchmark::Initialize(&argc, argv);
    const std::string folder = LZNT1_BENCH_CORPUS;
    static std::vector<Sample> samples = loadSamples(folder);
    if (samples.empty()) {
        return 1;
    }
    static std::vector<Packed> packed;
    const bool withReference = !std::getenv("LZNT1_BENCH_NO_REFERENCE");
    std::printf("%-10s %12s %12s %12s %9s\n", "input", "bytes", "compressed", "reference", "vs ref");
    for (const auto& sample : samples) {
        packed.push_back(compressSample(sample));
        if (!roundTrips(sample, packed.back()) || !roundTrips(sample, packed.back(), quillon::lznt1::baseline::decompress)) {
            std::fprintf(stderr, "%s does not round trip\n", sample.name.c_str());
            return 1;
        }
        const size_t ours = packed.back().totalSize();
        if (withReference) {
            const size_t reference = referenceSize(sample, folder);
            std::printf("%-10s %12zu %12zu %12zu %+8.2f%%\n", sample.name.c_str(), sample.totalSize(), ours,
                        reference, 100.0 * (static_cast<double>(ours) / static_cast<double>(reference) - 1));
        } else {
            std::printf("%-10s %12zu %12zu\n", sample.name.c_str(), sample.totalSize(), ours);
        }
    }
    std::fflush(stdout);
    for (size_t i = 0; i < samples.size(); ++i) {
        benchmark::RegisterBenchmark(("compress/" + samples[i].name).c_str(), benchCompress, &samples[i])
            ->Unit(benchmark::kMillisecond);
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        for (const auto& [which, decoder] : {std::pair<const char*, Decompressor>{"baseline", quillon::lznt1::baseline::decompress},
                                             std::pair<const char*, Decompressor>{"library", quillon::lznt1::decompress}}) {
            benchmark::RegisterBenchmark(("decompress/" + samples[i].name + "/" + which).c_str(), benchDecompress,
                                         &samples[i], &packed[i], decoder)
                ->Unit(benchmark::kMillisecond);
        }
    }
    SideBySideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool header = false;
    for (const auto& sample : samples) {
        const double before = reporter.median("decompress/" + sample.name + "/baseline");
        const double after = reporter.median("decompress/" + sample.name + "/library");
        if (before <= 0 || after <= 0) {
            continue;
        }
        if (!header) {
            std::printf("\ndecompression, median CPU time\n%-10s %13s %13s %13s %13s %8s\n", "input", "baseline ms",
                        "baseline GB/s", "library ms", "library GB/s", "speedup");
            header = true;
        }
        const double bytes = static_cast<double>(sample.totalSize());
        std::printf("%-10s %13.3f %13.2f %13.3f %13.2f %7.2fx\n", sample.name.c_str(), before, bytes / before / 1e6,
                    after, bytes / after / 1e6, before / after);
    }
    return 0;
}

// The first stage of a range search: for a run of up to 64 candidate
// positions in one row, which ones have their probe pixels inside the
// per-channel box of the colour limit (|dB|, |dG|, |dR| <= limit). A pixel
// within the Euclidean limit is always inside this box, so the box only ever
// rejects candidates that the exact test would reject too; the survivors are
// then tested exactly. The vector paths compare 4 (SSE2) or 8 (AVX2)
// neighbouring candidates at once.
#pragma once

#include <cstdint>

namespace quillon::runner {

inline constexpr int kMaxProbes = 2;

struct BoxProbes {
    const uint8_t* base[kMaxProbes]; // probe pixel of the first candidate
    uint32_t colour[kMaxProbes];     // blue, green, red, 0 as a little-endian word
    int count = 0;
    uint8_t limit = 0;               // per-channel limit, 0..255
};

// Bit i set when candidate i (0 <= i < n <= 64) passes every probe.
using BoxScan = uint64_t (*)(const BoxProbes& probes, int n);

uint64_t boxScanScalar(const BoxProbes& probes, int n);
uint64_t boxScanSse2(const BoxProbes& probes, int n);
// Only on a processor with AVX2.
uint64_t boxScanAvx2(const BoxProbes& probes, int n);

bool processorHasAvx2();

// For the closest place of a search: bit i set when candidate i's probes all
// lie nearer than `bound` (squared distance) to their colours. Only ever
// rejects candidates that are no nearer than the bound.
uint64_t nearerScanScalar(const BoxProbes& probes, int32_t bound, int n);
uint64_t nearerScanSse2(const BoxProbes& probes, int32_t bound, int n);
// Only on a processor with AVX2.
uint64_t nearerScanAvx2(const BoxProbes& probes, int32_t bound, int n);

} // namespace quillon::runner

#include "runner/candidate_scan.h"

#include <cstring>
#include <emmintrin.h>
#include <immintrin.h>

namespace quillon::runner {

namespace {

inline bool inBox(const uint8_t* p, uint32_t colour, int limit) {
    for (int c = 0; c < 3; ++c) {
        const int d = static_cast<int>(p[c]) - static_cast<int>((colour >> (8 * c)) & 0xFF);
        if (d > limit || -d > limit) return false;
    }
    return true;
}

// Candidates from `from` to n - 1, one at a time.
inline uint64_t scalarTail(const BoxProbes& probes, int from, int n) {
    uint64_t mask = 0;
    for (int i = from; i < n; ++i) {
        bool pass = true;
        for (int k = 0; k < probes.count && pass; ++k) {
            pass = inBox(probes.base[k] + i * 4, probes.colour[k], probes.limit);
        }
        if (pass) mask |= uint64_t{1} << i;
    }
    return mask;
}

inline int32_t squaredTo(const uint8_t* p, uint32_t colour) {
    int32_t sum = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t d = static_cast<int32_t>(p[c]) - static_cast<int32_t>((colour >> (8 * c)) & 0xFF);
        sum += d * d;
    }
    return sum;
}

inline uint64_t nearerTail(const BoxProbes& probes, int32_t bound, int from, int n) {
    uint64_t mask = 0;
    for (int i = from; i < n; ++i) {
        if (squaredTo(probes.base[0] + i * 4, probes.colour[0]) >= bound) continue;
        if (probes.count > 1 && squaredTo(probes.base[1] + i * 4, probes.colour[1]) >= bound) continue;
        mask |= uint64_t{1} << i;
    }
    return mask;
}

} // namespace

uint64_t nearerScanScalar(const BoxProbes& probes, int32_t bound, int n) { return nearerTail(probes, bound, 0, n); }

namespace {

// Bits of the four pixels at `p` nearer than `limit` (squared) to `ref`
// (the colour as 16-bit lanes).
inline int nearerFour(const uint8_t* p, __m128i ref, __m128i limit) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i pixels = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi32(0x00FFFFFF));
    const __m128i lo = _mm_sub_epi16(_mm_unpacklo_epi8(pixels, zero), ref);
    const __m128i hi = _mm_sub_epi16(_mm_unpackhi_epi8(pixels, zero), ref);
    // Per pixel: (b² + g², r²); the two halves summed give its squared distance.
    const __m128 sumLo = _mm_castsi128_ps(_mm_madd_epi16(lo, lo));
    const __m128 sumHi = _mm_castsi128_ps(_mm_madd_epi16(hi, hi));
    const __m128i even = _mm_castps_si128(_mm_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmplt_epi32(_mm_add_epi32(even, odd), limit)));
}

inline __m128i colourLanes(uint32_t colour) {
    return _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour & 0xFFFFFF)), _mm_setzero_si128());
}

} // namespace

uint64_t nearerScanSse2(const BoxProbes& probes, int32_t bound, int n) {
    const __m128i ref0 = colourLanes(probes.colour[0]);
    const __m128i ref1 = colourLanes(probes.colour[probes.count > 1 ? 1 : 0]);
    const __m128i limit = _mm_set1_epi32(bound);
    const int whole = n & ~3;
    uint64_t mask = 0;
    for (int i = 0; i < whole; i += 4) {
        int bits = nearerFour(probes.base[0] + i * 4, ref0, limit);
        if (bits && probes.count > 1) bits &= nearerFour(probes.base[1] + i * 4, ref1, limit);
        mask |= static_cast<uint64_t>(bits) << i;
    }
    return mask | nearerTail(probes, bound, whole, n);
}

uint64_t boxScanScalar(const BoxProbes& probes, int n) { return scalarTail(probes, 0, n); }

uint64_t boxScanSse2(const BoxProbes& probes, int n) {
    const __m128i limit = _mm_set1_epi8(static_cast<char>(probes.limit));
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    const __m128i zero = _mm_setzero_si128();
    const int whole = n & ~3;
    uint64_t mask = 0;
    for (int i = 0; i < whole; i += 4) {
        int bits = 0xF;
        for (int k = 0; k < probes.count && bits; ++k) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(probes.base[k] + i * 4));
            const __m128i ref = _mm_set1_epi32(static_cast<int>(probes.colour[k]));
            const __m128i diff = _mm_sub_epi8(_mm_max_epu8(pixels, ref), _mm_min_epu8(pixels, ref));
            const __m128i over = _mm_and_si128(_mm_subs_epu8(diff, limit), colourBytes);
            bits &= _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(over, zero)));
        }
        mask |= static_cast<uint64_t>(bits) << i;
    }
    return mask | scalarTail(probes, whole, n);
}

#if defined(__GNUC__)
__attribute__((target("avx2")))
#endif
uint64_t boxScanAvx2(const BoxProbes& probes, int n) {
    // Kept small and branch-light so every vector stays in a register: the
    // Windows x64 stack is only 16-byte aligned.
    const __m256i limit = _mm256_set1_epi8(static_cast<char>(probes.limit));
    const __m256i colourBytes = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ref0 = _mm256_set1_epi32(static_cast<int>(probes.colour[0]));
    const __m256i ref1 = _mm256_set1_epi32(static_cast<int>(probes.colour[probes.count > 1 ? 1 : 0]));
    const uint8_t* base0 = probes.base[0];
    const uint8_t* base1 = probes.base[probes.count > 1 ? 1 : 0];
    const int whole = n & ~7;
    uint64_t mask = 0;
    for (int i = 0; i < whole; i += 8) {
        const __m256i p0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base0 + i * 4));
        const __m256i d0 = _mm256_sub_epi8(_mm256_max_epu8(p0, ref0), _mm256_min_epu8(p0, ref0));
        const __m256i o0 = _mm256_and_si256(_mm256_subs_epu8(d0, limit), colourBytes);
        int bits = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(o0, zero)));
        if (bits) {
            const __m256i p1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base1 + i * 4));
            const __m256i d1 = _mm256_sub_epi8(_mm256_max_epu8(p1, ref1), _mm256_min_epu8(p1, ref1));
            const __m256i o1 = _mm256_and_si256(_mm256_subs_epu8(d1, limit), colourBytes);
            bits &= _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(o1, zero)));
        }
        mask |= static_cast<uint64_t>(static_cast<unsigned>(bits)) << i;
    }
    return mask | scalarTail(probes, whole, n);
}

#if defined(__GNUC__)
__attribute__((target("avx2")))
#endif
uint64_t nearerScanAvx2(const BoxProbes& probes, int32_t bound, int n) {
    // Every vector stays in a register, as in boxScanAvx2. Within each
    // 128-bit lane the unpacks and the shuffle keep the pixels in order.
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colourBytes = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i ref0 = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(probes.colour[0] & 0xFFFFFF)), zero);
    const __m256i ref1 = _mm256_unpacklo_epi8(
        _mm256_set1_epi32(static_cast<int>(probes.colour[probes.count > 1 ? 1 : 0] & 0xFFFFFF)), zero);
    const __m256i limit = _mm256_set1_epi32(bound);
    const uint8_t* base0 = probes.base[0];
    const uint8_t* base1 = probes.base[probes.count > 1 ? 1 : 0];
    const int whole = n & ~7;
    uint64_t mask = 0;
    for (int i = 0; i < whole; i += 8) {
        __m256i p = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(base0 + i * 4)), colourBytes);
        __m256i lo = _mm256_sub_epi16(_mm256_unpacklo_epi8(p, zero), ref0);
        __m256i hi = _mm256_sub_epi16(_mm256_unpackhi_epi8(p, zero), ref0);
        __m256 sumLo = _mm256_castsi256_ps(_mm256_madd_epi16(lo, lo));
        __m256 sumHi = _mm256_castsi256_ps(_mm256_madd_epi16(hi, hi));
        __m256i d = _mm256_add_epi32(_mm256_castps_si256(_mm256_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(2, 0, 2, 0))),
                                     _mm256_castps_si256(_mm256_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(3, 1, 3, 1))));
        int bits = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(limit, d)));
        if (bits && probes.count > 1) {
            p = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(base1 + i * 4)), colourBytes);
            lo = _mm256_sub_epi16(_mm256_unpacklo_epi8(p, zero), ref1);
            hi = _mm256_sub_epi16(_mm256_unpackhi_epi8(p, zero), ref1);
            sumLo = _mm256_castsi256_ps(_mm256_madd_epi16(lo, lo));
            sumHi = _mm256_castsi256_ps(_mm256_madd_epi16(hi, hi));
            d = _mm256_add_epi32(_mm256_castps_si256(_mm256_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(2, 0, 2, 0))),
                                 _mm256_castps_si256(_mm256_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(3, 1, 3, 1))));
            bits &= _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(limit, d)));
        }
        mask |= static_cast<uint64_t>(static_cast<unsigned>(bits)) << i;
    }
    return mask | nearerTail(probes, bound, whole, n);
}

bool processorHasAvx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

} // namespace quillon::runner

// LZNT1 decompression of untrusted bytes. The first two bytes give the
// destination size (often smaller than the data), the rest is the stream.
// Besides staying in bounds, a small destination must receive exactly the
// beginning of what a large one receives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/lznt1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const size_t capacity = static_cast<size_t>(data[0] | (data[1] << 8));
    const uint8_t* stream = data + 2;
    const size_t streamSize = size - 2;

    std::vector<uint8_t> small(capacity);
    size_t smallProduced = 0;
    const bool smallOk = quillon::lznt1::decompress(stream, streamSize, small.data(), small.size(), smallProduced);
    if (smallProduced > capacity) {
        std::abort();
    }

    // A chunk takes at least three bytes and stands for at most 4,096, so
    // this destination is never filled.
    const size_t largeCapacity = (streamSize / 3 + 1) * 4096;
    std::vector<uint8_t> large(largeCapacity);
    size_t largeProduced = 0;
    const bool largeOk = quillon::lznt1::decompress(stream, streamSize, large.data(), large.size(), largeProduced);
    if (largeProduced >= largeCapacity) {
        std::abort();
    }
    if (largeOk) {
        const size_t expected = largeProduced < capacity ? largeProduced : capacity;
        if (!smallOk || smallProduced != expected ||
            (expected != 0 && std::memcmp(small.data(), large.data(), expected) != 0)) {
            std::abort();
        }
    }
    return 0;
}

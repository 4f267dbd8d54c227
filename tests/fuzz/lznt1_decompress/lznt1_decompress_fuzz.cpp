// LZNT1 decompression of untrusted bytes. The first two bytes give the
// destination size (often smaller than the data), the rest is the stream.
// Besides staying in bounds, a small destination must receive exactly the
// beginning of what a large one receives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/lznt1.h"

namespace {

// The destinations are kept between inputs and never cleared: zeroing up to
// 90 MB for each input was most of the target's time, and only what the
// decompressor reports as produced is compared.
uint8_t* destination(std::unique_ptr<uint8_t[]>& buffer, size_t& capacity, size_t wanted) {
    if (wanted > capacity) {
        buffer.reset(new uint8_t[wanted]);
        capacity = wanted;
    }
    return buffer.get();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<uint8_t[]> smallBuffer, largeBuffer;
    static size_t smallHeld = 0, largeHeld = 0;
    if (size < 2) {
        return 0;
    }
    const size_t capacity = static_cast<size_t>(data[0] | (data[1] << 8));
    const uint8_t* stream = data + 2;
    const size_t streamSize = size - 2;

    uint8_t* small = destination(smallBuffer, smallHeld, capacity + 1);
    size_t smallProduced = 0;
    const bool smallOk = quillon::lznt1::decompress(stream, streamSize, small, capacity, smallProduced);
    if (smallProduced > capacity) {
        std::abort();
    }

    // A chunk takes at least three bytes and stands for at most 4,096, so
    // this destination is never filled.
    const size_t largeCapacity = (streamSize / 3 + 1) * 4096;
    uint8_t* large = destination(largeBuffer, largeHeld, largeCapacity);
    size_t largeProduced = 0;
    const bool largeOk = quillon::lznt1::decompress(stream, streamSize, large, largeCapacity, largeProduced);
    if (largeProduced >= largeCapacity) {
        std::abort();
    }
    if (largeOk) {
        const size_t expected = largeProduced < capacity ? largeProduced : capacity;
        if (!smallOk || smallProduced != expected ||
            (expected != 0 && std::memcmp(small, large, expected) != 0)) {
            std::abort();
        }
    }
    return 0;
}

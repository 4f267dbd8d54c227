// The library's LZNT1 decompressor against the baseline kept in bench/: for
// any input, both must give the same answer, the same count of bytes produced
// and the same bytes, and neither may write past the destination.
//
// Input: a mode byte, two bytes of destination size, then the rest. In the
// first mode the rest is the stream itself (untrusted bytes). In the second it
// is data, compressed here and then damaged at one spot chosen by the size
// bytes: valid and nearly valid streams reach the long references and chunk
// ends that random bytes seldom do. The mode byte's high bits also shift the
// destination off its alignment.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/lznt1.h"
#include "bench/lznt1/lznt1_baseline.h"

namespace {

constexpr size_t kGuard = 64;
constexpr uint8_t kGuardByte = 0xA5;

using Decoder = bool (*)(const uint8_t*, size_t, uint8_t*, size_t, size_t&);

// A destination kept between inputs and never cleared (clearing megabytes for
// each input would be most of the time): only produced bytes are compared.
struct Destination {
    std::unique_ptr<uint8_t[]> bytes;
    size_t held = 0;
    uint8_t* at(size_t wanted) {
        if (wanted > held) {
            bytes.reset(new uint8_t[wanted]);
            held = wanted;
        }
        return bytes.get();
    }
};

struct Outcome {
    bool ok;
    size_t produced;
    const uint8_t* out;
};

// Decodes into `capacity` bytes at `offset` into the destination, followed by
// guard bytes that must come back untouched.
Outcome decode(Decoder decoder, const uint8_t* stream, size_t size, Destination& destination, size_t offset,
               size_t capacity) {
    uint8_t* const out = destination.at(offset + capacity + kGuard) + offset;
    std::memset(out + capacity, kGuardByte, kGuard);
    Outcome outcome{false, 0, out};
    outcome.ok = decoder(stream, size, out, capacity, outcome.produced);
    if (outcome.produced > capacity) {
        std::abort();
    }
    for (size_t i = 0; i < kGuard; ++i) {
        if (out[capacity + i] != kGuardByte) {
            std::abort(); // wrote past the destination
        }
    }
    return outcome;
}

void compare(const uint8_t* stream, size_t size, size_t offset, size_t capacity) {
    static Destination ours, theirs;
    const Outcome a = decode(quillon::lznt1::decompress, stream, size, ours, offset, capacity);
    const Outcome b = decode(quillon::lznt1::baseline::decompress, stream, size, theirs, offset, capacity);
    if (a.ok != b.ok || a.produced != b.produced || (a.produced && std::memcmp(a.out, b.out, a.produced) != 0)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const uint8_t mode = data[0];
    const size_t sizeField = static_cast<size_t>(data[1] | (data[2] << 8));
    const size_t offset = (mode >> 1) & 15;
    const uint8_t* rest = data + 3;
    const size_t restSize = size - 3;

    if ((mode & 1) == 0) {
        compare(rest, restSize, offset, sizeField);
        // A chunk takes at least three bytes and stands for at most 4,096.
        compare(rest, restSize, offset, (restSize / 3 + 1) * 4096);
        return 0;
    }

    std::vector<uint8_t> packed(quillon::lznt1::compressBound(restSize));
    packed.resize(quillon::lznt1::compress(rest, restSize, packed.data(), packed.size()));
    if (!packed.empty() && sizeField != 0) {
        packed[sizeField % packed.size()] ^= static_cast<uint8_t>(sizeField >> 8 | 1);
    }
    compare(packed.data(), packed.size(), offset, restSize);
    compare(packed.data(), packed.size(), offset, restSize + 4096);
    if (restSize > 0) {
        compare(packed.data(), packed.size(), offset, sizeField % restSize);
    }
    return 0;
}

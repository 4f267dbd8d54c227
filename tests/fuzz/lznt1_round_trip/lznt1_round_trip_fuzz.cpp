// LZNT1 round trip: whatever the input, compressing it fits the bound and
// decompressing the result gives the input back, exactly, into a destination
// of exactly its size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/lznt1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> packed(quillon::lznt1::compressBound(size));
    const size_t packedSize = quillon::lznt1::compress(data, size, packed.data(), packed.size());
    if ((packedSize == 0) != (size == 0) || packedSize > packed.size()) {
        std::abort();
    }
    std::vector<uint8_t> back(size);
    size_t produced = 0;
    if (!quillon::lznt1::decompress(packed.data(), packedSize, back.data(), back.size(), produced) ||
        produced != size || (size && std::memcmp(back.data(), data, size) != 0)) {
        std::abort();
    }
    return 0;
}

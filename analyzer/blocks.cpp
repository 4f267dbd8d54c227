#include "analyzer/blocks.h"

#include <cstdlib>
#include <memory>

#include "base/byte_order.h"
#include "base/lznt1.h"

namespace quillon::analyzer {
namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};

} // namespace

uint64_t largestExpansion(uint64_t compressedSize) { return (compressedSize / 3 + 1) * 4096; }

bool writeBlock(ByteSink& sink, const void* data, size_t size) {
    uint8_t length[4];
    if (size == 0) {
        storeLe32(length, 0);
        return sink.write(length, 4);
    }
    // malloc, not a zero-filled vector: only the pages the compressor writes
    // become resident.
    size_t capacity = lznt1::compressBound(size);
    std::unique_ptr<uint8_t, Free> buffer(static_cast<uint8_t*>(std::malloc(capacity)));
    if (!buffer) {
        return false;
    }
    size_t compressed = lznt1::compress(static_cast<const uint8_t*>(data), size, buffer.get(), capacity);
    if (compressed == 0 || compressed > UINT32_MAX) {
        return false;
    }
    storeLe32(length, static_cast<uint32_t>(compressed));
    return sink.write(length, 4) && sink.write(buffer.get(), compressed);
}

bool readBlock(ByteSource& source, void* destination, size_t size) {
    uint8_t lengthBytes[4];
    if (!source.read(lengthBytes, 4)) {
        return false;
    }
    uint32_t length = loadLe32(lengthBytes);
    if (length > source.bytesLeft()) {
        return false;
    }
    if (length == 0 || size == 0) {
        return length == 0 && size == 0;
    }
    if (size > largestExpansion(length)) {
        return false;
    }
    std::unique_ptr<uint8_t, Free> buffer(static_cast<uint8_t*>(std::malloc(length)));
    if (!buffer || !source.read(buffer.get(), length)) {
        return false;
    }
    size_t produced = 0;
    return lznt1::decompress(buffer.get(), length, static_cast<uint8_t*>(destination), size, produced) &&
           produced == size;
}

} // namespace quillon::analyzer

#include "analyzer/blocks.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/byte_order.h"
#include "base/lznt1.h"

namespace quillon::analyzer {
namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};

// True when a compressed chunk body stands for exactly `room` zero bytes: its
// literals are all 0 and its references can only copy what came before.
// Mostly empty records are almost entirely such chunks, and recognising them
// is much cheaper than expanding them.
bool isZeroChunk(const uint8_t* body, size_t bodySize, size_t room) {
    size_t i = 0, position = 0;
    while (i < bodySize) {
        unsigned flags = body[i++];
        for (int bit = 0; bit < 8 && i < bodySize; ++bit) {
            if (flags & (1u << bit)) {
                if (position == 0 || bodySize - i < 2) {
                    return false;
                }
                unsigned token = loadLe16(body + i);
                i += 2;
                unsigned displacementBits = std::max(4, static_cast<int>(std::bit_width(position - 1)));
                unsigned lengthBits = 16 - displacementBits;
                size_t displacement = (token >> lengthBits) + 1;
                size_t length = (token & ((1u << lengthBits) - 1)) + 3;
                if (displacement > position) {
                    return false;
                }
                position += length;
            } else {
                if (body[i++] != 0) {
                    return false;
                }
                ++position;
            }
            if (position > room) {
                return false;
            }
        }
    }
    return position == room;
}

// Decompresses chunk by chunk (LZNT1 chunks never refer to each other) and
// copies only chunks that are not all zeros: the destination is zero-filled,
// so the untouched pages of a mostly empty record never become resident.
// Anything unusual (short chunks, trailing bytes, a damaged chunk) is left to
// the whole-stream decompressor, which then rewrites the destination.
bool decompressSparse(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t size) {
    static const uint8_t kZeros[4096] = {};
    uint8_t chunk[4096];
    size_t in = 0, written = 0;
    bool usual = true;
    while (written < size) {
        if (srcSize - in < 2 || loadLe16(src + in) == 0) {
            return false; // the stream ends before the destination is full
        }
        size_t chunkSize = 2 + (loadLe16(src + in) & 0x0FFFu) + 1;
        size_t room = std::min<size_t>(4096, size - written);
        size_t produced = 0;
        if (chunkSize <= srcSize - in && (loadLe16(src + in) & 0x8000) &&
            isZeroChunk(src + in + 2, chunkSize - 2, room)) {
            written += room;
            in += chunkSize;
            continue;
        }
        if (chunkSize > srcSize - in || !lznt1::decompress(src + in, chunkSize, chunk, room, produced) ||
            produced != room) {
            usual = false;
            break;
        }
        if (std::memcmp(chunk, kZeros, room) != 0) {
            std::memcpy(dst + written, chunk, room);
        }
        written += room;
        in += chunkSize;
    }
    if (usual && in == srcSize) {
        return true;
    }
    size_t produced = 0;
    return lznt1::decompress(src, srcSize, dst, size, produced) && produced == size;
}

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
    return decompressSparse(buffer.get(), length, static_cast<uint8_t*>(destination), size);
}

} // namespace quillon::analyzer

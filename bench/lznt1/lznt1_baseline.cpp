// The LZNT1 decompressor before its rewrite for speed, kept unchanged as the
// baseline the benchmark and the differential fuzz target measure the
// library's decompressor against.
#include <algorithm>
#include <bit>
#include <cstring>

#include "base/byte_order.h"
#include "base/lznt1_format.h"
#include "bench/lznt1/lznt1_baseline.h"

namespace quillon::lznt1::baseline {

namespace {

using format::kChunkSize;

// Room past the end of a reference that a wide copy may overwrite.
constexpr size_t kCopySlack = 32;

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }
inline void copy16(uint8_t* to, const uint8_t* from) {
    uint8_t block[16];
    std::memcpy(block, from, 16);
    std::memcpy(to, block, 16);
}

// Copies `length` bytes from `displacement` bytes back, the repeating way a
// back reference works (the source may overlap what is being written). The
// caller guarantees kCopySlack writable bytes past out + length. Most
// references are short (at most 18 bytes in the second half of a chunk), so
// the first stores are made unconditionally and only longer ones loop.
inline void copyMatchWide(uint8_t* out, size_t displacement, size_t length) {
    const uint8_t* from = out - displacement;
    uint8_t* const end = out + length;
    if (displacement < 8) {
        if (displacement == 1 && length > 64) {
            std::memset(out, from[0], length);
            return;
        }
        // Repeat the short pattern in 8-byte stores, stepping by the largest
        // multiple of the displacement that fits in 8 so the stores line up.
        // The pattern is built in a register: bytes past the displacement are
        // masked off (they are inside the slack, not yet written).
        const uint64_t unit = load64(from) & (~uint64_t{0} >> (64 - 8 * displacement));
        uint64_t word = unit | (unit << (8 * displacement));
        if (displacement < 4) {
            word |= word << (16 * displacement);
            if (displacement == 1) {
                word |= word << 32;
            }
        }
        const size_t step = displacement == 3 ? 6 : displacement >= 5 ? displacement : 8; // 1, 2, 4: 8
        store64(out, word);
        store64(out + step, word);
        store64(out + 2 * step, word);
        store64(out + 3 * step, word);
        for (out += 4 * step; out < end; out += step) {
            store64(out, word);
        }
    } else if (displacement < 16) {
        store64(out, load64(from));
        store64(out + 8, load64(from + 8));
        store64(out + 16, load64(from + 16));
        for (out += 24, from += 24; out < end; out += 8, from += 8) {
            store64(out, load64(from));
        }
    } else {
        copy16(out, from);
        copy16(out + 16, from + 16);
        for (out += 32, from += 32; out < end; out += 16, from += 16) {
            copy16(out, from);
        }
    }
}

// The same copy with no byte written past out + length (near the end of the
// chunk or of the destination). Each memcpy takes what is already there, which
// doubles every step.
inline void copyMatchExact(uint8_t* out, size_t displacement, size_t length) {
    if (displacement == 1) {
        std::memset(out, out[-1], length);
        return;
    }
    const uint8_t* const from = out - displacement;
    while (length > 0) {
        const size_t piece = std::min(length, static_cast<size_t>(out - from));
        std::memcpy(out, from, piece);
        out += piece;
        length -= piece;
    }
}

enum class ChunkResult { ok, full, malformed };

// Expands one compressed chunk body into `room` bytes at chunkStart. The room
// ends at the end of the chunk or of the destination, whichever comes first;
// running out of it is a malformed chunk in the first case (a chunk never
// stands for more than 4,096 bytes) and a full destination in the second.
ChunkResult expandChunk(const uint8_t* in, const uint8_t* inEnd, uint8_t* const chunkStart, size_t room,
                        uint8_t*& outEnd) {
    uint8_t* out = chunkStart;
    uint8_t* const outLimit = chunkStart + room;
    const ChunkResult outOfRoom = room == kChunkSize ? ChunkResult::malformed : ChunkResult::full;
    ChunkResult result = ChunkResult::ok;
    while (in < inEnd) {
        // The flag byte with a stop bit above its eight tokens: the clear
        // bits below the lowest set one are a run of literals.
        unsigned tokens = *in++ | 0x100u;
        while (in < inEnd) {
            size_t literals = static_cast<size_t>(std::countr_zero(tokens));
            if (literals) {
                if (inEnd - in >= 8 && outLimit - out >= 8) {
                    std::memcpy(out, in, 8); // the run is at most 8 long
                    literals = std::min(literals, static_cast<size_t>(inEnd - in));
                } else {
                    literals = std::min(literals, static_cast<size_t>(inEnd - in));
                    if (literals > static_cast<size_t>(outLimit - out)) {
                        std::memcpy(out, in, static_cast<size_t>(outLimit - out));
                        out = outLimit;
                        result = outOfRoom;
                        goto done;
                    }
                    std::memcpy(out, in, literals);
                }
                out += literals;
                in += literals;
                tokens >>= literals;
                if (tokens == 1 || in == inEnd) {
                    break; // group or chunk finished
                }
            }
            if (tokens == 1) {
                break;
            }
            tokens >>= 1;
            if (inEnd - in < 2) {
                result = ChunkResult::malformed;
                goto done;
            }
            const unsigned word = loadLe16(in);
            in += 2;
            const size_t position = static_cast<size_t>(out - chunkStart);
            if (position == 0) {
                result = ChunkResult::malformed; // a reference with nothing before it
                goto done;
            }
            const unsigned lengthBits = format::lengthBits(position);
            const size_t displacement = (word >> lengthBits) + 1;
            size_t length = (word & ((1u << lengthBits) - 1)) + format::kMinMatch;
            if (displacement > position) {
                result = ChunkResult::malformed; // reaches before the chunk's first byte
                goto done;
            }
            const size_t left = static_cast<size_t>(outLimit - out);
            if (length + kCopySlack <= left) {
                copyMatchWide(out, displacement, length);
                out += length;
                continue;
            }
            bool cut = false;
            if (length > left) {
                length = left;
                cut = true;
            }
            copyMatchExact(out, displacement, length);
            out += length;
            if (cut) {
                result = outOfRoom;
                goto done;
            }
        }
    }
done:
    outEnd = out;
    return result;
}

} // namespace

bool decompress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, size_t& produced) {
    produced = 0;
    const uint8_t* in = src;
    const uint8_t* const srcEnd = src + size;
    size_t written = 0;
    while (srcEnd - in >= 2) {
        const uint16_t header = loadLe16(in);
        if (header == 0) {
            break; // end of stream
        }
        in += 2;
        const size_t bodySize = (header & format::kBodySizeMask) + 1u;
        if (bodySize > static_cast<size_t>(srcEnd - in)) {
            produced = written;
            return false; // the chunk runs past the end of the source
        }
        if (written == capacity) {
            produced = written;
            return true; // destination full: the rest is not wanted
        }
        const uint8_t* body = in;
        in += bodySize;
        uint8_t* const chunkStart = dst + written;
        const size_t chunkRoom = std::min(kChunkSize, capacity - written);
        size_t chunkProduced;
        if (header & format::kCompressedFlag) {
            uint8_t* out;
            const ChunkResult result = expandChunk(body, in, chunkStart, chunkRoom, out);
            chunkProduced = static_cast<size_t>(out - chunkStart);
            if (result != ChunkResult::ok) {
                produced = written + chunkProduced;
                return result == ChunkResult::full;
            }
        } else {
            chunkProduced = std::min(bodySize, chunkRoom);
            std::memcpy(chunkStart, body, chunkProduced);
            if (chunkProduced < bodySize) {
                produced = written + chunkProduced;
                return true; // destination full
            }
        }
        written += chunkProduced;
        // Every chunk but the last stands for a whole 4,096 bytes: one that
        // expanded to less is followed by zeros.
        const bool anotherChunk = srcEnd - in >= 2 && loadLe16(in) != 0;
        if (anotherChunk && chunkProduced < kChunkSize) {
            const size_t padding = std::min(kChunkSize - chunkProduced, capacity - written);
            std::memset(dst + written, 0, padding);
            written += padding;
        }
    }
    produced = written;
    // A single byte left over is a torn chunk header.
    return srcEnd - in != 1;
}

} // namespace quillon::lznt1::baseline

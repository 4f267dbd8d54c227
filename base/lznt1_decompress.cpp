// LZNT1 decompressor. Every read is checked against the end of the source and
// every write against the end of the chunk and of the destination.
//
// A chunk is expanded in two stages. While at least a whole flag group's worth
// of source (and then some) is left, groups are expanded with wide copies and
// no per-token checks but the ones a back reference needs; the last few groups
// of the chunk, and any reference that would come near the chunk's end, are
// done by a careful loop one token at a time.
#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/byte_order.h"
#include "base/lznt1.h"
#include "base/lznt1_format.h"

namespace quillon::lznt1 {

namespace {

using format::kChunkSize;
using format::kMinMatch;

// Room past the end of a reference that a wide copy may overwrite.
constexpr size_t kCopySlack = 32;
// Source bytes a flag group may read in the fast stage: its flag byte, up to
// 16 bytes of tokens, and the 8-byte literal copy made after the last token
// (which reads nothing it keeps, but must not read past the source).
constexpr ptrdiff_t kFastGroupInput = 1 + 16 + 8;

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }
inline void copy8(uint8_t* to, const uint8_t* from) { store64(to, load64(from)); }
inline void copy16(uint8_t* to, const uint8_t* from) {
    uint8_t block[16];
    std::memcpy(block, from, 16);
    std::memcpy(to, block, 16);
}

// A back reference closer than 8 bytes repeats a pattern of that many bytes.
// The pattern is spread over a 64-bit word by one multiply (the copies sit in
// separate bytes, so nothing carries) and stored in steps of the largest
// multiple of the displacement that fits in 8, which keeps the stores in phase.
constexpr uint64_t kPatternMask[8] = {0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFF, 0xFFFFFFFFFFFF,
                                      0xFFFFFFFFFFFFFF};
constexpr uint64_t kPatternSpread[8] = {0,
                                        0x0101010101010101,
                                        0x0001000100010001,
                                        1 | uint64_t{1} << 24 | uint64_t{1} << 48,
                                        1 | uint64_t{1} << 32,
                                        1 | uint64_t{1} << 40,
                                        1 | uint64_t{1} << 48,
                                        1 | uint64_t{1} << 56};
constexpr uint8_t kPatternStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};

// Fills `length` bytes with `value`. Long fills (a chunk of one byte repeated,
// typically the zeros of an empty record) are written around the cache: the
// output is far larger than the cache, and the plain stores would first read
// every line in only to overwrite it.
inline void fill(uint8_t* out, uint8_t value, size_t length) {
#if defined(__SSE2__)
    constexpr size_t kStreamFrom = 1024;
    if (length >= kStreamFrom) {
        const __m128i v = _mm_set1_epi8(static_cast<char>(value));
        uint8_t* const end = out + length;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
        uint8_t* at = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(out) + 16) & ~uintptr_t{15});
        for (; end - at >= 64; at += 64) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(at), v);
            _mm_stream_si128(reinterpret_cast<__m128i*>(at + 16), v);
            _mm_stream_si128(reinterpret_cast<__m128i*>(at + 32), v);
            _mm_stream_si128(reinterpret_cast<__m128i*>(at + 48), v);
        }
        for (; end - at >= 16; at += 16) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(at), v);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), v);
        return;
    }
#endif
    std::memset(out, value, length);
}

// The pattern of a reference of displacement 1, 2 or 4 at `out`, spread over
// a word. It is read with a load no wider than itself: a wider one would reach
// past the stores that just wrote it, and a load the processor cannot forward
// from a single pending store waits for them.
inline uint64_t patternWord8(const uint8_t* out, size_t displacement) {
    uint64_t unit;
    if (displacement == 4) {
        uint32_t v;
        std::memcpy(&v, out - 4, 4);
        unit = v;
    } else if (displacement == 2) {
        unit = loadLe16(out - 2);
    } else {
        unit = out[-1];
    }
    return unit * kPatternSpread[displacement];
}

// Stores a word that repeats every 8 bytes (the pattern of a reference of
// displacement 1, 2 or 4) over `length` bytes, with the same slack as
// copyMatchWide below. The last 8 bytes are stored once more, in one store, so
// that a following reference that reads them back is forwarded from a single
// store; the word's phase at any offset is a rotation. A reference under 8
// bytes keeps its first store, whose bytes before `out` would not be the
// pattern.
inline void storePattern8(uint8_t* out, uint64_t word, size_t length) {
    uint8_t* const end = out + length;
    store64(out, word);
    store64(out + 8, word);
    store64(out + 16, word);
    store64(out + 24, word);
    for (uint8_t* at = out + 32; at < end; at += 16) {
        store64(at, word);
        store64(at + 8, word);
    }
    const size_t tail = length >= 8 ? length - 8 : 0;
    store64(out + tail, std::rotr(word, static_cast<int>(8 * (tail & 7))));
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
            fill(out, from[0], length);
            return;
        }
        if ((displacement & (displacement - 1)) == 0) {
            storePattern8(out, patternWord8(out, displacement), length);
            return;
        }
        // Displacements 3, 5, 6 and 7. Bytes of the load past the
        // displacement are inside the slack, not yet written: the mask drops
        // them.
        const uint64_t word = (load64(from) & kPatternMask[displacement]) * kPatternSpread[displacement];
        const size_t step = kPatternStep[displacement];
        store64(out, word);
        store64(out + step, word);
        store64(out + 2 * step, word);
        store64(out + 3 * step, word);
        for (uint8_t* at = out + 4 * step; at < end; at += 2 * step) {
            store64(at, word);
            store64(at + step, word);
        }
    } else if (displacement < 16) {
        copy8(out, from);
        copy8(out + 8, from + 8);
        copy8(out + 16, from + 16);
        for (out += 24, from += 24; out < end; out += 8, from += 8) {
            copy8(out, from);
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
        fill(out, out[-1], length);
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

// Width of the length field at `position` (1..4096) bytes into the chunk; the
// same as format::lengthBits, one count of leading zeros with no branch.
inline unsigned lengthBitsAt(size_t position) {
    const auto below = static_cast<uint32_t>(position - 1) | 15u; // 15..4095, so never zero
    return static_cast<unsigned>(std::countl_zero(below)) - 16;
}

enum class ChunkResult { ok, full, malformed };

// Expands one compressed chunk body into `room` bytes at chunkStart. The room
// ends at the end of the chunk or of the destination, whichever comes first;
// running out of it is a malformed chunk in the first case (a chunk never
// stands for more than 4,096 bytes) and a full destination in the second.
ChunkResult expandChunk(const uint8_t* in, const uint8_t* const inEnd, uint8_t* const chunkStart, size_t room,
                        uint8_t*& outEnd) {
    uint8_t* out = chunkStart;
    uint8_t* const outLimit = chunkStart + room;
    const ChunkResult outOfRoom = room == kChunkSize ? ChunkResult::malformed : ChunkResult::full;
    ChunkResult result = ChunkResult::ok;
    // The current flag byte with a stop bit above its tokens, lowest token
    // first: 1 when the group is used up.
    unsigned tokens = 1;
    // The length field's width, kept for the stretch of the chunk it holds
    // for (up to lengthEdge), so that working it out is not on the chain of
    // dependent steps from one token's end to the next.
    unsigned lengthBits = 12;
    unsigned lengthMask = 0xFFF;
    const uint8_t* lengthEdge = chunkStart + 16;

    // Fast stage, one flag group per turn. The group's tokens all lie within
    // the source, and the literal runs' 8-byte copies stay inside both the
    // source and the room: a group starts with 8 bytes of room and every
    // reference taken here leaves kCopySlack.
    //
    // After a reference of displacement 1, 2 or 4 that ended at `out` (no
    // literal since), its pattern word turned to the phase at `out`: a run
    // of references of that displacement, as a long stretch of one colour
    // packs into (18 bytes each in the second half of a chunk), goes on from
    // the register instead of reading back what the last one stored, a load
    // each would wait for.
    size_t carriedDisplacement = 0;
    uint64_t carriedWord = 0;
    // The length field's width where `out` is now.
    auto followLengthWidth = [&] {
        if (out > lengthEdge) {
            lengthBits = lengthBitsAt(static_cast<size_t>(out - chunkStart));
            lengthMask = (1u << lengthBits) - 1;
            lengthEdge = chunkStart + (size_t{1} << (16 - lengthBits));
        }
    };
    // Stores `length` bytes of the pattern of displacement 1, 2 or 4 at `out`,
    // from the register when it is the one carried, and carries it on.
    auto storeCarriedPattern = [&](size_t displacement, size_t length) {
        uint64_t pattern = carriedWord;
        if (displacement != carriedDisplacement) {
            pattern = patternWord8(out, displacement);
        }
        storePattern8(out, pattern, length);
        carriedWord = std::rotr(pattern, static_cast<int>(8 * (length & 7)));
        carriedDisplacement = displacement;
    };
    while (inEnd - in >= kFastGroupInput && outLimit - out >= 8) {
        tokens = *in++ | 0x100u;
        if (tokens == 0x1FF) {
            // Eight references with one and the same token, most of a long
            // stretch of one colour: one pattern over their whole length,
            // when they are of displacement 1, 2 or 4 and the length field
            // keeps its width up to the last of them.
            uint64_t first, second;
            std::memcpy(&first, in, 8);
            std::memcpy(&second, in + 8, 8);
            const unsigned word = loadLe16(in);
            if (first == second && first == uint64_t{word} * 0x0001000100010001u) {
                followLengthWidth();
                const size_t displacement = (word >> lengthBits) + 1;
                const size_t length = (word & lengthMask) + kMinMatch;
                const size_t total = 8 * length;
                if ((displacement == 4 || displacement == 2 || displacement == 1) &&
                    displacement <= static_cast<size_t>(out - chunkStart) &&
                    total + kCopySlack <= static_cast<size_t>(outLimit - out) && out + 7 * length <= lengthEdge) {
                    storeCarriedPattern(displacement, total);
                    in += 16;
                    out += total;
                    tokens = 1;
                    continue;
                }
            }
        }
        for (;;) {
            // The clear bits below the lowest set one are a run of literals
            // (often none: the copy is made anyway, as a branch would cost
            // more than it saves).
            const unsigned literals = static_cast<unsigned>(__builtin_ctz(tokens)); // tokens is never 0
            std::memcpy(out, in, 8);
            out += literals;
            in += literals;
            tokens >>= literals;
            carriedDisplacement = literals != 0 ? 0 : carriedDisplacement;
            if (tokens == 1) {
                break;
            }
            followLengthWidth();
            const unsigned word = loadLe16(in);
            const size_t position = static_cast<size_t>(out - chunkStart);
            const size_t displacement = (word >> lengthBits) + 1;
            const size_t length = (word & lengthMask) + kMinMatch;
            // One reaching before the chunk's first byte (any at position 0,
            // where lengthBitsAt is meaningless) or near the end of the room
            // is left, unread, to the careful stage.
            if (displacement > position || length + kCopySlack > static_cast<size_t>(outLimit - out)) {
                goto careful;
            }
            in += 2;
            tokens >>= 1;
            if (displacement == carriedDisplacement ||
                ((displacement == 4 || displacement == 2 || displacement == 1) && length <= 64)) {
                storeCarriedPattern(displacement, length);
            } else {
                copyMatchWide(out, displacement, length);
                carriedDisplacement = 0;
            }
            out += length;
        }
    }

careful:
    for (;;) {
        if (tokens == 1) {
            if (in == inEnd) {
                break;
            }
            tokens = *in++ | 0x100u;
        }
        if (in == inEnd) {
            break; // the chunk ends inside a flag group
        }
        if ((tokens & 1) == 0) {
            if (out == outLimit) {
                result = outOfRoom;
                break;
            }
            *out++ = *in++;
            tokens >>= 1;
            continue;
        }
        tokens >>= 1;
        if (inEnd - in < 2) {
            result = ChunkResult::malformed;
            break;
        }
        const unsigned word = loadLe16(in);
        in += 2;
        const size_t position = static_cast<size_t>(out - chunkStart);
        if (position == 0) {
            result = ChunkResult::malformed; // a reference with nothing before it
            break;
        }
        const unsigned lengthBits = format::lengthBits(position);
        const size_t displacement = (word >> lengthBits) + 1;
        size_t length = (word & ((1u << lengthBits) - 1)) + kMinMatch;
        if (displacement > position) {
            result = ChunkResult::malformed; // reaches before the chunk's first byte
            break;
        }
        const size_t left = static_cast<size_t>(outLimit - out);
        if (length + kCopySlack <= left) {
            copyMatchWide(out, displacement, length);
            out += length;
            continue;
        }
        const bool cut = length > left;
        if (cut) {
            length = left;
        }
        copyMatchExact(out, displacement, length);
        out += length;
        if (cut) {
            result = outOfRoom;
            break;
        }
    }
    outEnd = out;
    return result;
}

bool decompressChunks(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, size_t& produced) {
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
            fill(dst + written, 0, padding);
            written += padding;
        }
    }
    produced = written;
    // A single byte left over is a torn chunk header.
    return srcEnd - in != 1;
}

} // namespace

bool decompress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, size_t& produced) {
    const bool ok = decompressChunks(src, size, dst, capacity, produced);
#if defined(__SSE2__)
    _mm_sfence(); // the streamed fills are in memory for every thread from here on
#endif
    return ok;
}

} // namespace quillon::lznt1

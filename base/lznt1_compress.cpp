// LZNT1 compressor: greedy parsing with one lazy step, matches found through a
// hash of the next three bytes with a short chain of earlier positions per
// hash. A chunk of one repeated byte (the zero-filled records) is written
// directly; a chunk that does not shrink is stored as it is.
#include <algorithm>
#include <cstring>
#include <memory>

#include "base/byte_order.h"
#include "base/lznt1.h"
#include "base/lznt1_format.h"

namespace quillon::lznt1 {

namespace {

using format::kChunkSize;
using format::kMinMatch;

constexpr unsigned kHashBits = 12;
constexpr size_t kHashSize = size_t{1} << kHashBits;
// How many earlier positions with the same hash are tried. Screen images
// repeat the same few colours everywhere, so chains are long; 16 keeps the
// output within 2 % of an exhaustive search at a fraction of its time.
constexpr unsigned kChainDepth = 16;
// Inside a long match only its first and last positions are entered in the
// hash chains: that is where the next matches are found, and entering every
// byte of a long run costs more than it saves.
constexpr size_t kLongMatch = 64;
constexpr size_t kLongMatchEdge = 16;
// Flag group: one flag byte and eight tokens of at most two bytes.
constexpr size_t kGroupSize = 17;

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint32_t hashAt(const uint8_t* p) {
    const uint32_t three = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                           (static_cast<uint32_t>(p[2]) << 16);
    return (three * 2654435761u) >> (32 - kHashBits);
}

// Length of the common run of `a` (earlier) and `b`, at most `limit` bytes.
inline size_t commonLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t n = 0;
    while (limit - n >= 8) {
        const uint64_t diff = load64(a + n) ^ load64(b + n);
        if (diff) {
            return n + static_cast<size_t>(std::countr_zero(diff) >> 3);
        }
        n += 8;
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

// Whether all `size` bytes equal the first.
bool isOneByteRepeated(const uint8_t* p, size_t size) {
    const uint64_t pattern = 0x0101010101010101ull * p[0];
    size_t i = 0;
    for (; size - i >= 32; i += 32) {
        if ((load64(p + i) ^ pattern) | (load64(p + i + 8) ^ pattern) | (load64(p + i + 16) ^ pattern) |
            (load64(p + i + 24) ^ pattern)) {
            return false;
        }
    }
    for (; i < size; ++i) {
        if (p[i] != p[0]) {
            return false;
        }
    }
    return true;
}

// Hash chains over the chunk being compressed. Positions are kept relative to
// the chunk's start plus one, so 0 means "none". Heads left from earlier
// chunks are told apart by their generation, so nothing is cleared per chunk.
struct MatchFinder {
    uint16_t head[kHashSize];
    uint16_t generation[kHashSize];
    uint16_t previous[kChunkSize];
    uint16_t currentGeneration = 0;

    void startChunk() {
        if (++currentGeneration == 0) {
            std::memset(generation, 0, sizeof generation);
            currentGeneration = 1;
        }
    }
    // Earlier position (plus one) with the same hash as `position`, or 0;
    // enters `position` in its chain.
    uint16_t insert(uint32_t hash, size_t position) {
        uint16_t earlier = generation[hash] == currentGeneration ? head[hash] : 0;
        previous[position] = earlier;
        head[hash] = static_cast<uint16_t>(position + 1);
        generation[hash] = currentGeneration;
        return earlier;
    }
};

struct Match {
    size_t length = 0;
    size_t displacement = 0;
};

// Compresses one chunk: greedy with one step of lazy evaluation (a match is
// put off by a literal when the next position has a longer one).
class ChunkCompressor {
public:
    ChunkCompressor(const uint8_t* chunk, size_t size, MatchFinder& finder)
        : chunk_(chunk), size_(size), lastHashable_(size >= kMinMatch ? size - kMinMatch + 1 : 0), finder_(finder) {
        finder_.startChunk();
    }

    // Writes the body into `out` (room for size + kGroupSize bytes). Returns
    // its size, or 0 when it would not be smaller than the data.
    size_t run(uint8_t* const out) {
        uint8_t* o = out;
        uint8_t* flagByte = nullptr;
        unsigned tokenIndex = 8;
        size_t position = 0;
        size_t misses = 0;
        Match current = searchAt(0);
        while (position < size_) {
            if (tokenIndex == 8) {
                if (static_cast<size_t>(o - out) >= size_) {
                    return 0;
                }
                flagByte = o++;
                *flagByte = 0;
                tokenIndex = 0;
            }
            ++tokenIndex;
            if (current.length < kMinMatch) {
                *o++ = chunk_[position++];
                // Long stretches without a match (noise, photographs) are
                // searched more and more sparsely: the positions in between
                // become literals without a search and stay out of the chains.
                ++misses;
                if (misses > kMissesBeforeSkipping) {
                    for (size_t skip = (misses - kMissesBeforeSkipping) >> 4; skip && tokenIndex < 8 && position < size_;
                         --skip) {
                        ++tokenIndex;
                        *o++ = chunk_[position++];
                    }
                    entered_ = std::max(entered_, position);
                }
                current = searchAt(position);
                continue;
            }
            misses = 0;
            const size_t limit = matchLimit(position);
            if (current.length < limit && current.length < kLazyBelow && position + 1 < lastHashable_) {
                const Match next = searchAt(position + 1);
                if (next.length > current.length) {
                    *o++ = chunk_[position++];
                    current = next;
                    continue;
                }
            }
            storeLe16(o, format::matchToken(position, current.displacement, current.length));
            o += 2;
            *flagByte = static_cast<uint8_t>(*flagByte | (1u << (tokenIndex - 1)));
            position += current.length;
            enterUpTo(position);
            current = searchAt(position);
        }
        const size_t bodySize = static_cast<size_t>(o - out);
        return bodySize < size_ ? bodySize : 0;
    }

private:
    // The lazy step is tried only for matches shorter than this; longer ones
    // are seldom beaten by the next position's.
    static constexpr size_t kLazyBelow = 32;
    // Unmatched positions in a row before the search starts thinning out.
    static constexpr size_t kMissesBeforeSkipping = 32;

    size_t matchLimit(size_t position) const {
        return std::min(format::maxMatchLength(position ? position : 1), size_ - position);
    }

    // Enters the positions up to `end` (exclusive) that are not yet in the
    // chains; of a long stretch only both ends.
    void enterUpTo(size_t end) {
        end = std::min(end, lastHashable_);
        if (entered_ >= end) {
            return;
        }
        if (end - entered_ >= kLongMatch) {
            for (const size_t stop = entered_ + kLongMatchEdge; entered_ < stop; ++entered_) {
                finder_.insert(hashAt(chunk_ + entered_), entered_);
            }
            entered_ = end - kLongMatchEdge;
        }
        for (; entered_ < end; ++entered_) {
            finder_.insert(hashAt(chunk_ + entered_), entered_);
        }
    }

    // Longest match for `position`, which is entered in the chains with
    // everything before it.
    Match searchAt(size_t position) {
        if (position >= lastHashable_) {
            return {};
        }
        enterUpTo(position);
        const uint8_t* here = chunk_ + position;
        uint16_t candidate = finder_.insert(hashAt(here), position);
        entered_ = position + 1;
        const size_t limit = matchLimit(position);
        Match best;
        for (unsigned depth = 0; candidate != 0 && depth < kChainDepth; ++depth) {
            const size_t earlier = candidate - 1u;
            const uint8_t* there = chunk_ + earlier;
            if (there[best.length] == here[best.length]) {
                const size_t length = commonLength(there, here, limit);
                if (length > best.length) {
                    best = {length, position - earlier};
                    if (length == limit) {
                        break;
                    }
                }
            }
            candidate = finder_.previous[earlier];
        }
        return best;
    }

    const uint8_t* const chunk_;
    const size_t size_;
    // Positions at or past this point have fewer than three bytes after them.
    const size_t lastHashable_;
    MatchFinder& finder_;
    size_t entered_ = 0; // positions below this are in the chains (or skipped)
};

// Body of a chunk of one repeated byte: the byte, then one reference to it
// covering the rest (a 4,096-byte chunk fits in a single reference).
size_t repeatedByteBody(uint8_t value, size_t size, uint8_t* out) {
    out[0] = 0x02; // literal, then a reference
    out[1] = value;
    storeLe16(out + 2, format::matchToken(1, 1, size - 1));
    return 4;
}

} // namespace

size_t compressBound(size_t size) { return size + 2 * ((size + kChunkSize - 1) / kChunkSize); }

size_t compress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity) {
    if (size == 0) {
        return 0;
    }
    auto finder = std::make_unique<MatchFinder>(); // zero-filled
    uint8_t body[kChunkSize + kGroupSize];
    size_t written = 0;
    for (size_t offset = 0; offset < size; offset += kChunkSize) {
        const uint8_t* chunk = src + offset;
        const size_t chunkSize = std::min(kChunkSize, size - offset);
        size_t bodySize;
        if (chunkSize > 1 + kMinMatch && isOneByteRepeated(chunk, chunkSize)) {
            bodySize = repeatedByteBody(chunk[0], chunkSize, body);
        } else {
            bodySize = ChunkCompressor(chunk, chunkSize, *finder).run(body);
        }
        const bool compressed = bodySize != 0;
        const uint8_t* bodyBytes = compressed ? body : chunk;
        if (!compressed) {
            bodySize = chunkSize;
        }
        if (capacity - written < 2 + bodySize) {
            return 0;
        }
        storeLe16(dst + written, format::chunkHeader(bodySize, compressed));
        std::memcpy(dst + written + 2, bodyBytes, bodySize);
        written += 2 + bodySize;
    }
    return written;
}

} // namespace quillon::lznt1

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/lznt1.h"

namespace quillon::lznt1 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes compressAll(const Bytes& data) {
    Bytes out(compressBound(data.size()));
    const size_t size = compress(data.data(), data.size(), out.data(), out.size());
    out.resize(size);
    return out;
}

// Decompresses into a buffer of exactly `capacity` bytes (so the sanitizer
// sees any write past it) and returns what was produced.
struct Expanded {
    bool ok;
    Bytes data;
};
Expanded expand(const Bytes& stream, size_t capacity) {
    Bytes out(capacity);
    size_t produced = 12345;
    const bool ok = decompress(stream.data(), stream.size(), out.data(), out.size(), produced);
    EXPECT_LE(produced, capacity);
    out.resize(produced);
    return {ok, out};
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) {
        b = static_cast<uint8_t>(rng());
    }
    return out;
}

// Words drawn from a small vocabulary: many short and medium matches.
Bytes textLike(size_t size, uint32_t seed) {
    static const char* words[] = {"매크로 ", "machine ", "analyzer ", "인식 ", "이미지 ", "0x3377 ", "item ", "\r\n"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[rng() % 8];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(size);
    return out;
}

// 32-bit pixels: flat areas with a few rectangles, like a dialog window.
Bytes screenLike(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    uint32_t colour = 0xFFF0F0F0;
    for (size_t i = 0; i + 4 <= size; i += 4) {
        if (rng() % 300 == 0) {
            colour = 0xFF000000 | (rng() & 0xFFFFFF);
        }
        std::memcpy(&out[i], &colour, 4);
    }
    return out;
}

Bytes ofString(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct RoundTripCase {
    const char* kind;
    Bytes (*make)(size_t, uint32_t);
};

const RoundTripCase kKinds[] = {
    {"zeros", [](size_t n, uint32_t) { return Bytes(n, 0); }},
    {"random", randomBytes},
    {"text", textLike},
    {"screen", screenLike},
    {"ramp", [](size_t n, uint32_t) {
         Bytes b(n);
         for (size_t i = 0; i < n; ++i) {
             b[i] = static_cast<uint8_t>(i / 4096 + i % 7);
         }
         return b;
     }},
};

TEST(Lznt1Test, RoundTripsEveryKindAndSizeAroundTheChunkSize) {
    for (const auto& kind : kKinds) {
        for (size_t size : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{4095}, size_t{4096},
                            size_t{4097}, size_t{8191}, size_t{1} << 20}) {
            SCOPED_TRACE(std::string(kind.kind) + " size " + std::to_string(size));
            const Bytes data = kind.make(size, static_cast<uint32_t>(size));
            const Bytes packed = compressAll(data);
            ASSERT_FALSE(packed.empty());
            EXPECT_LE(packed.size(), compressBound(size));
            const Expanded back = expand(packed, size);
            EXPECT_TRUE(back.ok);
            EXPECT_EQ(back.data, data);
            // A roomier destination receives the same bytes.
            const Expanded roomy = expand(packed, size + 5000);
            EXPECT_TRUE(roomy.ok);
            EXPECT_EQ(roomy.data, data);
        }
    }
}

TEST(Lznt1Test, EmptyInputGivesNothing) {
    uint8_t out[4];
    EXPECT_EQ(compress(nullptr, 0, out, sizeof out), 0u);
    EXPECT_EQ(compressBound(0), 0u);
    size_t produced = 9;
    EXPECT_TRUE(decompress(nullptr, 0, out, sizeof out, produced));
    EXPECT_EQ(produced, 0u);
}

TEST(Lznt1Test, CompressRefusesTooSmallADestination) {
    const Bytes data = randomBytes(5000, 1);
    Bytes out(compressBound(data.size()) - 1);
    EXPECT_EQ(compress(data.data(), data.size(), out.data(), out.size()), 0u);
}

TEST(Lznt1Test, RunsCostAFewBytesPerChunk) {
    // One literal and one reference per chunk, whatever the byte.
    for (uint8_t value : {0x00, 0xFF, 0x41}) {
        EXPECT_EQ(compressAll(Bytes(4096, value)), (Bytes{0x03, 0xB0, 0x02, value, 0xFC, 0x0F}));
    }
    // The empty analyzer record.
    const size_t recordSize = 75'258'260;
    const Bytes record(recordSize, 0);
    const Bytes packed = compressAll(record);
    EXPECT_LE(packed.size(), 115'000u);
    const Expanded back = expand(packed, recordSize);
    EXPECT_TRUE(back.ok);
    EXPECT_EQ(back.data.size(), recordSize);
    EXPECT_EQ(back.data, record);
}

TEST(Lznt1Test, ChunkThatDoesNotShrinkIsStored) {
    const Bytes data = randomBytes(4096 * 2 + 10, 7);
    const Bytes packed = compressAll(data);
    ASSERT_EQ(packed.size(), data.size() + 3 * 2);
    // Stored chunks: flag clear, signature 3, body size - 1.
    EXPECT_EQ(packed[0], 0xFF);
    EXPECT_EQ(packed[1], 0x3F);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 4096, packed.begin() + 2));
    EXPECT_EQ(packed[4098 * 2], 0x09);
    EXPECT_EQ(packed[4098 * 2 + 1], 0x30);
    // Two bytes would take three compressed (flag and two literals).
    EXPECT_EQ(compressAll(ofString("ab")), (Bytes{0x01, 0x30, 'a', 'b'}));
}

// Streams written by hand from the format description, and what they hold.
struct KnownStream {
    const char* name;
    Bytes stream;
    Bytes data;
};

Bytes repeat(char c, size_t n) { return Bytes(n, static_cast<uint8_t>(c)); }
Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

std::vector<KnownStream> knownStreams() {
    return {
        // Three literals, then a reference 3 back, 9 long (12-bit length field).
        {"abc repeated", {0x05, 0xB0, 0x08, 'a', 'b', 'c', 0x06, 0x20}, ofString("abcabcabcabc")},
        // At position 17 the length field is 11 bits: 0x8002 is 17 back, 5 long
        // (12 bits would read it as 9 back).
        {"split at 17",
         concat({{0x15, 0xB0, 0x00}, ofString("ABCDEFGH"), {0x00}, ofString("IJKLMNOP"), {0x02, 'Q', 0x02, 0x80}}),
         ofString("ABCDEFGHIJKLMNOPQABCDE")},
        // 'a' and a reference make 2048 bytes; past position 2048 the length
        // field is 4 bits: 0x0011 is 2 back, 4 long.
        {"split at 2049", {0x06, 0xB0, 0x0A, 'a', 0xFC, 0x07, 'b', 0x11, 0x00},
         concat({repeat('a', 2048), ofString("b"), ofString("abab")})},
        // A stored chunk ends the stream short of 4,096 bytes.
        {"stored tail", {0x02, 0x30, 'x', 'y', 'z'}, ofString("xyz")},
        // A chunk that is not the last stands for 4,096 bytes: zeros follow.
        {"short chunk padded", {0x01, 0x30, 'a', 'b', 0x00, 0x30, 'c'},
         concat({ofString("ab"), Bytes(4094, 0), ofString("c")})},
        // A zero header ends the stream; what follows is not read.
        {"end marker", {0x00, 0x30, 'q', 0x00, 0x00, 0x77, 0x77, 0x77}, ofString("q")},
        // The signature bits are not what tells chunks apart.
        {"other signature", {0x01, 0x80, 0x00, 'k'}, ofString("k")},
        // The platform's own example: a 142-byte text in one 59-byte chunk.
        {"platform example",
         {0x38, 0xb0, 0x88, 0x46, 0x23, 0x20, 0x00, 0x20, 0x47, 0x20, 0x41, 0x00, 0x10, 0xa2, 0x47, 0x01,
          0xa0, 0x45, 0x20, 0x44, 0x00, 0x08, 0x45, 0x01, 0x50, 0x79, 0x00, 0xc0, 0x45, 0x20, 0x05, 0x24,
          0x13, 0x88, 0x05, 0xb4, 0x02, 0x4a, 0x44, 0xef, 0x03, 0x58, 0x02, 0x8c, 0x09, 0x16, 0x01, 0x48,
          0x45, 0x00, 0xbe, 0x00, 0x9e, 0x00, 0x04, 0x01, 0x18, 0x90, 0x00},
         concat({ofString("F# F# G A A G F# E D D E F# F# E E F# F# G A A G F# E D D E F# E D D E E F# D E F# G "
                          "F# D E F# G F# E D E A F# F# G A A G F# E D D E F# E D D"),
                 Bytes(1, 0)})},
    };
}

TEST(Lznt1Test, DecodesStreamsWrittenFromTheFormatDescription) {
    for (const auto& known : knownStreams()) {
        SCOPED_TRACE(known.name);
        const Expanded back = expand(known.stream, known.data.size());
        EXPECT_TRUE(back.ok);
        EXPECT_EQ(back.data, known.data);
    }
}

TEST(Lznt1Test, WritesTheSameStreamsForTheirData) {
    // Greedy longest matches give exactly these streams; the platform's
    // example, written with shorter matches, comes out no longer.
    for (const auto& known : knownStreams()) {
        SCOPED_TRACE(known.name);
        const std::string name = known.name;
        if (name == "abc repeated" || name == "stored tail") {
            EXPECT_EQ(compressAll(known.data), known.stream);
        } else if (name == "platform example") {
            const Bytes ours = compressAll(known.data);
            EXPECT_LE(ours.size(), known.stream.size());
            EXPECT_EQ(expand(ours, known.data.size()).data, known.data);
        }
    }
}

// Builds one compressed chunk token by token, the way the format lays it out.
class ChunkWriter {
public:
    void literal(uint8_t value) {
        startToken();
        body_.push_back(value);
        expected_.push_back(value);
    }
    void reference(size_t displacement, size_t length) {
        startToken();
        const size_t position = expected_.size();
        // The split of the 16 bits: displacement field just wide enough to
        // reach the chunk's start, at least 4 bits.
        unsigned displacementBits = 4;
        while ((size_t{1} << displacementBits) < position) {
            ++displacementBits;
        }
        const unsigned token = static_cast<unsigned>(((displacement - 1) << (16 - displacementBits)) | (length - 3));
        body_.push_back(static_cast<uint8_t>(token));
        body_.push_back(static_cast<uint8_t>(token >> 8));
        body_[flagAt_] = static_cast<uint8_t>(body_[flagAt_] | (1u << (tokens_ - 1)));
        for (size_t i = 0; i < length; ++i) {
            expected_.push_back(expected_[expected_.size() - displacement]);
        }
    }
    // A reference given by its raw token, which means what the length
    // field's width at the current position makes of it.
    void referenceToken(uint16_t token) {
        const size_t position = expected_.size();
        unsigned displacementBits = 4;
        while ((size_t{1} << displacementBits) < position) {
            ++displacementBits;
        }
        reference((token >> (16 - displacementBits)) + 1, (token & ((1u << (16 - displacementBits)) - 1)) + 3);
    }
    bool groupStartsNext() const { return tokens_ == 8; }
    Bytes stream() const {
        Bytes out{static_cast<uint8_t>(body_.size() - 1), static_cast<uint8_t>(0xB0 | ((body_.size() - 1) >> 8))};
        out.insert(out.end(), body_.begin(), body_.end());
        return out;
    }
    const Bytes& expected() const { return expected_; }

private:
    void startToken() {
        if (tokens_ == 8) {
            flagAt_ = body_.size();
            body_.push_back(0);
            tokens_ = 0;
        }
        ++tokens_;
    }
    Bytes body_;
    Bytes expected_;
    size_t flagAt_ = 0;
    unsigned tokens_ = 8;
};

TEST(Lznt1Test, ExpandsEveryShortDisplacementAndLengthAnywhereInTheChunk) {
    for (size_t displacement = 1; displacement <= 40; ++displacement) {
        for (size_t length = 3; length <= 80; ++length) {
            // Early in the chunk, in its second half, and ending (with the
            // literal after it) at or just before its end, where no copy may
            // run past it.
            for (size_t start : {size_t{0}, size_t{2100}, 4096 - displacement - length - 1,
                                 4096 - displacement - length - 8}) {
                if (length > 18 && start + displacement > 2048) {
                    continue; // too long for the 4-bit length field there
                }
                ChunkWriter chunk;
                if (start > 0) {
                    chunk.literal(0xEE);
                    if (start > 1) {
                        chunk.reference(1, start - 1);
                    }
                }
                for (size_t i = 0; i < displacement; ++i) {
                    chunk.literal(static_cast<uint8_t>(i * 37 + 1));
                }
                chunk.reference(displacement, length);
                chunk.literal(0x5A);
                const Bytes stream = chunk.stream();
                for (size_t capacity : {chunk.expected().size(), size_t{4096}}) {
                    const Expanded back = expand(stream, capacity);
                    ASSERT_TRUE(back.ok) << displacement << " " << length << " " << start;
                    ASSERT_EQ(back.data, chunk.expected()) << displacement << " " << length << " " << start;
                }
            }
        }
    }
}

// A stretch of one colour packs into references of one displacement back to
// back; the decoder carries their pattern from one to the next, in every phase
// the lengths leave it in, until a literal or another displacement comes.
TEST(Lznt1Test, ExpandsRunsOfReferencesToOnePattern) {
    for (size_t displacement : {1, 2, 3, 4, 8}) {
        for (size_t first = 3; first <= 12; ++first) {
            for (size_t start : {size_t{0}, size_t{2100}}) {
                ChunkWriter chunk;
                if (start > 0) {
                    chunk.literal(0xEE);
                    chunk.reference(1, start - 1);
                }
                for (size_t i = 0; i < displacement; ++i) {
                    chunk.literal(static_cast<uint8_t>(i * 37 + 1));
                }
                std::vector<size_t> lengths{first, 18, 5, 3, 17, 4, 18, 11, 6, 7};
                if (start == 0) {
                    lengths.insert(lengths.end(), {40, 70, 9, 65, 33});
                }
                for (size_t length : lengths) {
                    chunk.reference(displacement, length);
                }
                chunk.reference(displacement + 1, 9);
                chunk.reference(displacement, 10);
                chunk.literal(0x5A);
                chunk.reference(displacement, 13);
                chunk.reference(displacement, 14);
                const Expanded back = expand(chunk.stream(), 4096);
                ASSERT_TRUE(back.ok) << displacement << " " << first << " " << start;
                ASSERT_EQ(back.data, chunk.expected()) << displacement << " " << first << " " << start;
            }
        }
    }
}

// A whole group of one token repeated: its eight references mean the same
// only while the length field keeps its width. Token 63 is 4 bytes back and
// 18 long past position 2048, 2 back and 34 long before it; token 0x0F at
// displacement 1 keeps its meaning anywhere past position 16.
TEST(Lznt1Test, ExpandsAGroupOfOneTokenRepeatedAcrossTheLengthWidthEdges) {
    for (uint16_t token : {uint16_t{63}, uint16_t{0x0F}, uint16_t{0x2F}}) {
        for (size_t start = 1700; start <= 2100; start += 7) {
            ChunkWriter chunk;
            chunk.literal(0xEE);
            chunk.reference(1, start - 5);
            for (uint8_t b : {0x11, 0x22, 0x33, 0x44}) {
                chunk.literal(b);
            }
            while (!chunk.groupStartsNext()) {
                chunk.literal(0x55);
            }
            for (int i = 0; i < 16; ++i) {
                chunk.referenceToken(token);
            }
            chunk.literal(0x5A);
            if (chunk.expected().size() > 4096) {
                continue;
            }
            const Expanded back = expand(chunk.stream(), 4096);
            ASSERT_TRUE(back.ok) << token << " " << start;
            ASSERT_EQ(back.data, chunk.expected()) << token << " " << start;
        }
    }
}

TEST(Lznt1Test, ReadsNothingPastAStreamThatEndsInAGroupOfReferences) {
    // A group of eight references followed by a few bytes at the very end of
    // the source: the decoder's wide literal copies must stay inside it.
    for (size_t tail = 0; tail <= 12; ++tail) {
        ChunkWriter chunk;
        for (int i = 0; i < 16; ++i) {
            chunk.literal(static_cast<uint8_t>('a' + i));
        }
        for (int i = 0; i < 8; ++i) {
            chunk.reference(3 + static_cast<size_t>(i), 3);
        }
        for (size_t i = 0; i < tail; ++i) {
            chunk.literal(static_cast<uint8_t>('A' + i));
        }
        const Bytes grown = chunk.stream();
        const Bytes exact(grown.begin(), grown.end()); // no spare capacity to read into
        const Expanded back = expand(exact, 4096);
        ASSERT_TRUE(back.ok) << tail;
        EXPECT_EQ(back.data, chunk.expected()) << tail;
    }
}

TEST(Lznt1Test, RefusesMalformedStreams) {
    const struct {
        const char* name;
        Bytes stream;
    } cases[] = {
        {"torn header", {0x05}},
        {"torn header after a chunk", {0x00, 0x30, 'a', 0x05}},
        {"chunk past the end", {0x05, 0xB0, 0x08, 'a', 'b', 'c', 0x06}},
        {"stored chunk past the end", {0x03, 0x30, 'a', 'b', 'c'}},
        {"reference at the chunk start", {0x01, 0xB0, 0x01, 0x00}},
        {"reference before the chunk start", {0x03, 0xB0, 0x02, 'a', 0x00, 0x10}},
        {"reference before the second chunk", {0x00, 0x30, 'a', 0x03, 0xB0, 0x02, 'b', 0x00, 0x10}},
        {"torn reference", {0x02, 0xB0, 0x02, 'a', 0x00}},
        // 'a', 4,095 more, then one byte too many for the chunk.
        {"chunk longer than 4096", {0x04, 0xB0, 0x02, 'a', 0xFC, 0x0F, 'b'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (size_t capacity : {size_t{0}, size_t{4096}, size_t{10000}}) {
            Bytes out(capacity);
            size_t produced = 99999;
            const bool ok = decompress(c.stream.data(), c.stream.size(), out.data(), out.size(), produced);
            EXPECT_LE(produced, capacity);
            if (capacity == 10000) {
                EXPECT_FALSE(ok);
            }
        }
    }
}

TEST(Lznt1Test, SmallDestinationReceivesThePrefix) {
    const Bytes data = concat({textLike(10000, 3), randomBytes(5000, 4), Bytes(9000, 0)});
    const Bytes packed = compressAll(data);
    for (size_t capacity : {size_t{0}, size_t{1}, size_t{5}, size_t{4095}, size_t{4096}, size_t{4097},
                            size_t{12000}, data.size() - 1}) {
        SCOPED_TRACE(capacity);
        const Expanded back = expand(packed, capacity);
        EXPECT_TRUE(back.ok);
        EXPECT_EQ(back.data, Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(capacity)));
    }
}

TEST(Lznt1Test, EveryTruncationOfAStreamIsBounded) {
    const Bytes data = concat({textLike(6000, 5), screenLike(6000, 6)});
    const Bytes packed = compressAll(data);
    for (size_t cut = 0; cut < packed.size(); ++cut) {
        const Bytes torn(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
        const Expanded back = expand(torn, data.size());
        // Whatever comes out is the data's beginning: the chunks before the tear.
        ASSERT_LE(back.data.size(), data.size());
        EXPECT_TRUE(std::equal(back.data.begin(), back.data.end(), data.begin())) << "cut at " << cut;
    }
}

} // namespace
} // namespace quillon::lznt1

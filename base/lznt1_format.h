// Layout rules of the LZNT1 stream shared by the compressor and the
// decompressor (and by the reference compressor of the benchmarks).
//
// The stream is a run of chunks, each standing for 4,096 bytes of data (the
// last one for the rest). A chunk is a 16-bit little-endian header and its
// body:
//   bit 15      1 = the body is compressed, 0 = it is the data as it stands
//   bits 14-12  signature, always 3 as Windows writes it
//   bits 11-0   body size - 1 (so a body holds 1 to 4,096 bytes)
// A header of 0 ends the stream early.
//
// A compressed body is a run of flag groups: one flag byte, then up to eight
// tokens, the lowest bit first. A clear bit is one literal byte; a set bit is
// a 16-bit little-endian back reference whose top bits hold displacement - 1
// and whose low bits hold length - 3. How the 16 bits are split depends on how
// far into the chunk the reference starts: the displacement field is just wide
// enough to reach the chunk's first byte (at least 4 bits), and the length
// field gets the rest (at most 12 bits).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace quillon::lznt1::format {

inline constexpr size_t kChunkSize = 4096;
inline constexpr size_t kMinMatch = 3;
inline constexpr uint16_t kCompressedFlag = 0x8000;
inline constexpr uint16_t kSignature = 0x3000;
inline constexpr uint16_t kBodySizeMask = 0x0FFF;

// Header of a chunk whose body is `bodySize` bytes (1..4096).
constexpr uint16_t chunkHeader(size_t bodySize, bool compressed) {
    return static_cast<uint16_t>((compressed ? kCompressedFlag : 0) | kSignature | (bodySize - 1));
}

// Width of the length field for a reference starting `position` bytes into
// the chunk (1..4095): 12 bits up to position 16, one bit less each time the
// position passes a power of two, down to 4 bits past position 2048.
constexpr unsigned lengthBits(size_t position) {
    const unsigned displacementBits = static_cast<unsigned>(std::bit_width(position - 1));
    return displacementBits <= 4 ? 12 : 16 - displacementBits;
}

// Longest reference that can start `position` bytes into the chunk.
constexpr size_t maxMatchLength(size_t position) { return (size_t{1} << lengthBits(position)) + kMinMatch - 1; }

// The 16-bit token of a reference starting `position` bytes into the chunk.
constexpr uint16_t matchToken(size_t position, size_t displacement, size_t length) {
    return static_cast<uint16_t>(((displacement - 1) << lengthBits(position)) | (length - kMinMatch));
}

static_assert(lengthBits(1) == 12 && lengthBits(16) == 12 && lengthBits(17) == 11);
static_assert(lengthBits(2048) == 5 && lengthBits(2049) == 4 && lengthBits(4095) == 4);
static_assert(maxMatchLength(1) == 4098 && maxMatchLength(4095) == 18);

} // namespace quillon::lznt1::format

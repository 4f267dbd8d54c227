// Blocks of the analyzer file: a 32-bit little-endian length N and N bytes
// of LZNT1 data. The uncompressed size is never stored; the reader knows it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "analyzer/file_stream.h"

namespace quillon::analyzer {

// The most bytes a block of `compressedSize` bytes can decompress to (every
// LZNT1 chunk of at most 4,096 bytes takes at least three bytes).
uint64_t largestExpansion(uint64_t compressedSize);

// Sizes taken from a file for screenshot and sound blocks stop here.
inline constexpr uint64_t kLargestEmbeddedFile = 512ull << 20;

bool writeBlock(ByteSink& sink, const void* data, size_t size);

// Reads one block that must decompress to exactly `size` bytes. The length is
// checked against the bytes left and against what it could possibly hold
// before anything is allocated.
bool readBlock(ByteSource& source, void* destination, size_t size);

} // namespace quillon::analyzer

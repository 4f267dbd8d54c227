// LZNT1 (compression format 2): 4,096-byte chunks, each with a 16-bit header
// as Windows writes it, compressed or stored.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::lznt1 {

// Largest compressed size of `size` input bytes (every chunk stored).
size_t compressBound(size_t size);

// Compresses `size` bytes into `dst`. Returns the compressed size, or 0 when
// `capacity` is too small (use compressBound) or `size` is 0.
size_t compress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity);

// Decompresses into at most `capacity` bytes. Never reads outside `src` or
// writes outside `dst`. Returns false on malformed input; `produced` holds the
// bytes written. A destination smaller than the data receives its first
// `capacity` bytes and the rest is not looked at (as the platform does): that
// is success, so a reader that needs an exact size compares `produced`.
bool decompress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, size_t& produced);

} // namespace quillon::lznt1

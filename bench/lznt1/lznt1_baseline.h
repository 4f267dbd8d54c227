// The LZNT1 decompressor as it was before its rewrite for speed: the
// benchmark's baseline and the differential fuzz target's reference. Same
// contract as quillon::lznt1::decompress.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon::lznt1::baseline {

bool decompress(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity, size_t& produced);

} // namespace quillon::lznt1::baseline

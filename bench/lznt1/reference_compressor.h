// Slow exhaustive LZNT1 compressor: greedy parsing where every position tries
// every earlier position of its chunk and takes the longest match (the
// nearest of equals). It is the yardstick the fast compressor's output size
// is measured against, not something to ship.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon::lznt1::reference {

std::vector<uint8_t> compress(const uint8_t* src, size_t size);

} // namespace quillon::lznt1::reference

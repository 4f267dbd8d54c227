// Inputs of the LZNT1 benchmark, as the programs meet them: the empty
// analyzer record, a screenshot of a dialog-style screen, a smooth gradient,
// a noisy fractal image, and recognition-image blocks cut from the screenshot.
#pragma once

#include <string>
#include <vector>

namespace quillon::lznt1::bench {

struct Sample {
    std::string name;
    // Each part is compressed as its own stream (one block of the file).
    std::vector<std::vector<uint8_t>> parts;
    size_t totalSize() const;
};

// Loads the drawn screens from `folder` and builds the rest; empty when a
// screen is missing.
std::vector<Sample> loadSamples(const std::string& folder);

} // namespace quillon::lznt1::bench

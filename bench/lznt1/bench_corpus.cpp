#include "bench/lznt1/bench_corpus.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"
#include "base/file.h"

namespace quillon::lznt1::bench {

namespace {

constexpr size_t kScreenWidth = 1280;
constexpr size_t kScreenHeight = 800;
constexpr size_t kScreenBytes = kScreenWidth * kScreenHeight * 4;
constexpr size_t kRecordSize = 75'258'260;

// Recognition-image block: a small header, then 201 rows of 201 pixels.
constexpr size_t kBlockSize = 161'832;
constexpr size_t kBlockPixels = 228;
constexpr size_t kBlockStride = 804;
constexpr size_t kCropSide = 31;
constexpr size_t kBlockCount = 200;

std::vector<uint8_t> recognitionBlock(const std::vector<uint8_t>& screen, size_t index) {
    std::vector<uint8_t> block(kBlockSize, 0);
    // Crops spread over the screen, where a user would cut them.
    const size_t left = (index * 97 + 13) % (kScreenWidth - kCropSide);
    const size_t top = (index * 61 + 7) % (kScreenHeight - kCropSide);
    storeLe32(&block[0], 1);
    storeLe32(&block[16], static_cast<uint32_t>(left + kCropSide / 2));
    storeLe32(&block[20], static_cast<uint32_t>(top + kCropSide / 2));
    storeLe32(&block[24], kCropSide);
    storeLe32(&block[28], kCropSide);
    storeLe32(&block[32], static_cast<uint32_t>(left));
    storeLe32(&block[36], static_cast<uint32_t>(top));
    storeLe32(&block[40], static_cast<uint32_t>(left + kCropSide - 1));
    storeLe32(&block[44], static_cast<uint32_t>(top + kCropSide - 1));
    char name[32];
    std::snprintf(name, sizeof name, "image-%.4zu", index + 1);
    std::memcpy(&block[88], name, std::strlen(name));
    for (size_t row = 0; row < kCropSide; ++row) {
        const uint8_t* from = &screen[((top + row) * kScreenWidth + left) * 4];
        uint8_t* to = &block[kBlockPixels + row * kBlockStride];
        for (size_t x = 0; x < kCropSide; ++x) {
            std::memcpy(to + 4 * x, from + 4 * x, 3); // blue, green, red; mask 0
        }
    }
    return block;
}

} // namespace

size_t Sample::totalSize() const {
    size_t total = 0;
    for (const auto& p : parts) {
        total += p.size();
    }
    return total;
}

std::vector<Sample> loadSamples(const std::string& folder) {
    std::vector<Sample> samples;
    samples.push_back({"record", {std::vector<uint8_t>(kRecordSize, 0)}});
    std::vector<uint8_t> ui;
    for (const char* name : {"ui", "gradient", "noisy"}) {
        const auto screen = readFile(folder + "/" + name + ".bgra");
        if (!screen || screen->size() != kScreenBytes) {
            std::fprintf(stderr, "missing or wrong-sized screen %s/%s.bgra\n", folder.c_str(), name);
            return {};
        }
        if (!std::strcmp(name, "ui")) {
            ui = *screen;
        }
        samples.push_back({name, {*screen}});
    }
    Sample blocks{"blocks", {}};
    for (size_t i = 0; i < kBlockCount; ++i) {
        blocks.parts.push_back(recognitionBlock(ui, i));
    }
    samples.push_back(std::move(blocks));
    return samples;
}

} // namespace quillon::lznt1::bench

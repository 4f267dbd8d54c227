// Reading blocks chunk by chunk (skipping zero chunks) must agree with the
// plain decompressor on every stream, good or damaged.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "analyzer/blocks.h"
#include "base/byte_order.h"
#include "base/lznt1.h"
#include "reference_writer.h"

namespace quillon::analyzer {
namespace {

std::vector<uint8_t> withLength(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out(4 + data.size());
    storeLe32(out.data(), static_cast<uint32_t>(data.size()));
    std::copy(data.begin(), data.end(), out.begin() + 4);
    return out;
}

// What the plain decompressor makes of the stream, or nothing when a block
// reader must refuse it.
std::optional<std::vector<uint8_t>> expected(const std::vector<uint8_t>& stream, size_t size) {
    std::vector<uint8_t> out(size);
    size_t produced = 0;
    if (stream.empty() || !lznt1::decompress(stream.data(), stream.size(), out.data(), size, produced) ||
        produced != size) {
        return std::nullopt;
    }
    return out;
}

void expectAgreement(const std::vector<uint8_t>& stream, size_t size, const char* what) {
    auto bytes = withLength(stream);
    MemorySource source(bytes.data(), bytes.size());
    std::vector<uint8_t> got(size, 0);
    bool ok = readBlock(source, got.data(), got.size());
    auto want = expected(stream, size);
    ASSERT_EQ(ok, want.has_value()) << what;
    if (ok) {
        EXPECT_TRUE(got == *want) << what;
    }
}

TEST(Blocks, ChunkwiseReadingAgreesWithTheDecompressor) {
    std::mt19937 random(42);
    std::vector<std::vector<uint8_t>> inputs;
    inputs.push_back(std::vector<uint8_t>(3 * 4096 + 77, 0));
    std::vector<uint8_t> sparse(10 * 4096 + 5, 0);
    for (int i = 0; i < 40; ++i) {
        sparse[random() % sparse.size()] = static_cast<uint8_t>(random());
    }
    inputs.push_back(sparse);
    std::vector<uint8_t> noisy(5000);
    for (auto& b : noisy) {
        b = static_cast<uint8_t>(random() % 4);
    }
    inputs.push_back(noisy);
    for (const auto& input : inputs) {
        std::vector<uint8_t> stream(lznt1::compressBound(input.size()));
        stream.resize(lznt1::compress(input.data(), input.size(), stream.data(), stream.size()));
        ASSERT_FALSE(stream.empty());
        expectAgreement(stream, input.size(), "intact");
        {
            auto bytes = withLength(stream);
            MemorySource source(bytes.data(), bytes.size());
            std::vector<uint8_t> got(input.size(), 0);
            ASSERT_TRUE(readBlock(source, got.data(), got.size()));
            EXPECT_TRUE(got == input);
        }
        expectAgreement(stream, input.size() + 1, "one byte more wanted");
        expectAgreement(stream, input.size() - 1, "one byte less wanted");
        for (int k = 0; k < 200; ++k) {
            std::vector<uint8_t> damaged = stream;
            damaged[random() % damaged.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
            if (k % 3 == 0) {
                damaged.resize(random() % damaged.size() + 1);
            }
            expectAgreement(damaged, input.size(), "damaged");
        }
    }
    // The independent writer's zero chunks and zero runs.
    reference::SparseBytes data(9000);
    data.put32(5000, 0x01020304);
    expectAgreement(reference::lznt1Encode(data), 9000, "reference writer");
}

TEST(Blocks, LengthsAreCheckedBeforeUse) {
    std::vector<uint8_t> past = {0xFF, 0xFF, 0x00, 0x00, 1, 2, 3};
    MemorySource a(past.data(), past.size());
    uint8_t out[16] = {};
    EXPECT_FALSE(readBlock(a, out, sizeof out));
    // Four bytes cannot stand for a gigabyte.
    EXPECT_LT(largestExpansion(4), 1u << 20);
}

} // namespace
} // namespace quillon::analyzer

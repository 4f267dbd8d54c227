// quillon lznt1 compress|decompress IN OUT: the LZNT1 codec on whole files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/lznt1.h"
#include "tools/quillon/commands.h"

namespace quillon::cli {

namespace {

// A compressed stream does not record its size; without a given size the
// output grows until the stream fits, up to this bound.
constexpr size_t kLargestExpansion = size_t{1} << 31;

int usage() {
    std::fprintf(stderr, "usage: quillon lznt1 compress IN OUT\n"
                         "       quillon lznt1 decompress IN OUT [SIZE]\n");
    return 2;
}

bool parseSize(const std::string& text, size_t& size) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value > kLargestExpansion) {
        return false;
    }
    size = static_cast<size_t>(value);
    return true;
}

} // namespace

int lznt1Command(const Args& args) {
    if (args.size() < 3 || args.size() > 4) {
        return usage();
    }
    const std::string& verb = args[0];
    const bool compressing = verb == "compress";
    if (!compressing && verb != "decompress") {
        return usage();
    }
    if (compressing && args.size() != 3) {
        return usage();
    }
    const std::optional<std::vector<uint8_t>> read = readFile(args[1]);
    if (!read) {
        std::fprintf(stderr, "quillon lznt1: cannot read %s\n", args[1].c_str());
        return 1;
    }
    const std::vector<uint8_t>& input = *read;
    std::vector<uint8_t> output;
    if (compressing) {
        output.resize(lznt1::compressBound(input.size()));
        output.resize(lznt1::compress(input.data(), input.size(), output.data(), output.size()));
    } else {
        size_t expected = 0;
        if (args.size() == 4 && !parseSize(args[3], expected)) {
            std::fprintf(stderr, "quillon lznt1: bad size %s\n", args[3].c_str());
            return 2;
        }
        // Each chunk stands for at most 4,096 bytes and takes at least 3. With
        // a size given, one byte more shows a stream that holds too much.
        const size_t capacity =
            expected ? expected + 1 : std::min(kLargestExpansion, (input.size() / 3 + 1) * 4096);
        output.resize(capacity);
        size_t produced = 0;
        if (!lznt1::decompress(input.data(), input.size(), output.data(), output.size(), produced)) {
            std::fprintf(stderr, "quillon lznt1: %s is not a valid LZNT1 stream (%zu bytes decoded)\n",
                         args[1].c_str(), produced);
            return 1;
        }
        if (expected && produced != expected) {
            std::fprintf(stderr, "quillon lznt1: %s holds %s%zu bytes, not %zu\n", args[1].c_str(),
                         produced > expected ? "more than " : "", produced - (produced > expected), expected);
            return 1;
        }
        output.resize(produced);
    }
    if (!writeFileAtomic(args[2], output.data(), output.size())) {
        std::fprintf(stderr, "quillon lznt1: cannot write %s\n", args[2].c_str());
        return 1;
    }
    std::printf("%zu -> %zu bytes\n", input.size(), output.size());
    return 0;
}

const char* lznt1Help() {
    return "  lznt1 compress IN OUT            LZNT1-compress a file (format 2, 4,096-byte chunks)\n"
           "  lznt1 decompress IN OUT [SIZE]   expand an LZNT1 stream (SIZE: the expected size)\n";
}

} // namespace quillon::cli

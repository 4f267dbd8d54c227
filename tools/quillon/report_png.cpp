#include "tools/quillon/report_png.h"

#include <algorithm>
#include <cstdlib>

namespace quillon::cli {
namespace {

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const auto table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < data.size();) {
        size_t end = std::min(data.size(), i + 5552);
        for (; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return b << 16 | a;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void bits(uint32_t value, int count) { // least significant bit first
        acc_ |= static_cast<uint64_t>(value) << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            filled_ -= 8;
        }
    }
    void code(uint32_t code, int length) { // a Huffman code: most significant bit first
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
        bits(reversed, length);
    }
    void flush() {
        if (filled_ > 0) out_.push_back(static_cast<uint8_t>(acc_));
        acc_ = 0;
        filled_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t acc_ = 0;
    int filled_ = 0;
};

void literal(BitWriter& w, int v) { // the fixed literal/length code
    if (v < 144) w.code(0x30 + v, 8);
    else if (v < 256) w.code(0x190 + (v - 144), 9);
    else if (v < 280) w.code(v - 256, 7);
    else w.code(0xC0 + (v - 280), 8);
}

constexpr int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                 193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void match(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    literal(w, 257 + l);
    w.bits(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    w.code(static_cast<uint32_t>(d), 5);
    w.bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// One final block with the fixed codes; matches found through hash chains.
std::vector<uint8_t> deflate(const std::vector<uint8_t>& data) {
    constexpr int kWindow = 32768, kHashBits = 15, kChain = 48, kLongest = 258;
    std::vector<uint8_t> out;
    BitWriter w(out);
    w.bits(1, 1); // final
    w.bits(1, 2); // fixed codes
    std::vector<int32_t> head(1 << kHashBits, -1), previous(kWindow, -1);
    const size_t n = data.size();
    auto hash = [&](size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & ((1 << kHashBits) - 1);
    };
    auto insert = [&](size_t i) {
        if (i + 2 < n) {
            int h = hash(i);
            previous[i % kWindow] = head[h];
            head[h] = static_cast<int32_t>(i);
        }
    };
    size_t i = 0;
    while (i < n) {
        int bestLength = 0, bestDistance = 0;
        if (i + 2 < n) {
            int candidate = head[hash(i)];
            int limit = static_cast<int>(std::min<size_t>(kLongest, n - i));
            for (int chain = 0; candidate >= 0 && chain < kChain; ++chain) {
                int distance = static_cast<int>(i) - candidate;
                if (distance > kWindow - 1) break;
                int length = 0;
                while (length < limit && data[candidate + length] == data[i + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit) break;
                }
                int before = previous[candidate % kWindow];
                if (before >= candidate) break; // the slot was taken by a newer position
                candidate = before;
            }
        }
        if (bestLength >= 3) {
            match(w, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            literal(w, data[i]);
            insert(i);
            ++i;
        }
    }
    literal(w, 256);
    w.flush();
    return out;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, crc32(png.data() + start, png.size() - start));
}

} // namespace

std::vector<uint8_t> encodePng(const RgbImage& image) {
    // Each row with the filter that leaves the smallest differences.
    const size_t stride = static_cast<size_t>(image.width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((stride + 1) * image.height);
    std::vector<uint8_t> candidate[3];
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = &image.rgb[y * stride];
        const uint8_t* above = y > 0 ? row - stride : nullptr;
        int best = 0;
        uint64_t bestCost = UINT64_MAX;
        for (int f = 0; f < 3; ++f) {
            candidate[f].resize(stride);
            uint64_t cost = 0;
            for (size_t i = 0; i < stride; ++i) {
                uint8_t left = i >= 3 ? row[i - 3] : 0, up = above ? above[i] : 0;
                uint8_t v = static_cast<uint8_t>(row[i] - (f == 1 ? left : f == 2 ? up : 0));
                candidate[f][i] = v;
                cost += v < 128 ? v : 256 - v;
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = f;
            }
        }
        raw.push_back(static_cast<uint8_t>(best));
        raw.insert(raw.end(), candidate[best].begin(), candidate[best].end());
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    std::vector<uint8_t> packed = deflate(raw);
    zlib.insert(zlib.end(), packed.begin(), packed.end());
    put32(zlib, adler32(raw));

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(image.width));
    put32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive filters, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlib);
    chunk(png, "IEND", {});
    return png;
}

std::string base64(const std::vector<uint8_t>& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int s = 18; s >= 0; s -= 6) out += digits[v >> s & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0);
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

} // namespace quillon::cli

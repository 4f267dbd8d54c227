// Our LZNT1 streams against the platform's codec in ntdll (format 2, the
// standard engine, 4,096-byte chunks), bound at run time by name as the
// programs do: what one side writes the other must read back exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/lznt1.h"

namespace quillon::lznt1 {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr USHORT kFormatLznt1 = 2;        // COMPRESSION_FORMAT_LZNT1
constexpr USHORT kEngineStandard = 0;     // COMPRESSION_ENGINE_STANDARD
constexpr LONG kStatusSuccess = 0;

using RtlGetCompressionWorkSpaceSizeFn = LONG(WINAPI*)(USHORT, PULONG, PULONG);
using RtlCompressBufferFn = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, ULONG, PULONG, PVOID);
using RtlDecompressBufferFn = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, PULONG);

struct PlatformCodec {
    RtlGetCompressionWorkSpaceSizeFn workSpaceSize = nullptr;
    RtlCompressBufferFn compress = nullptr;
    RtlDecompressBufferFn decompress = nullptr;
    Bytes workSpace;

    bool bind() {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (!ntdll) {
            return false;
        }
        workSpaceSize = reinterpret_cast<RtlGetCompressionWorkSpaceSizeFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetCompressionWorkSpaceSize")));
        compress = reinterpret_cast<RtlCompressBufferFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlCompressBuffer")));
        decompress = reinterpret_cast<RtlDecompressBufferFn>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlDecompressBuffer")));
        if (!workSpaceSize || !compress || !decompress) {
            return false;
        }
        ULONG bufferWorkSpace = 0, fragmentWorkSpace = 0;
        if (workSpaceSize(kFormatLznt1 | kEngineStandard, &bufferWorkSpace, &fragmentWorkSpace) != kStatusSuccess) {
            return false;
        }
        workSpace.assign(bufferWorkSpace, 0);
        return true;
    }

    // The platform's stream for `data`, or empty with `status` on failure.
    Bytes pack(const Bytes& data, LONG& status) {
        Bytes out(data.size() + data.size() / 8 + 4096);
        ULONG finalSize = 0;
        status = compress(kFormatLznt1 | kEngineStandard, const_cast<PUCHAR>(data.data()),
                          static_cast<ULONG>(data.size()), out.data(), static_cast<ULONG>(out.size()), 4096,
                          &finalSize, workSpace.data());
        out.resize(status == kStatusSuccess ? finalSize : 0);
        return out;
    }

    Bytes unpack(const Bytes& stream, size_t capacity, LONG& status) {
        Bytes out(capacity);
        ULONG finalSize = 0;
        status = decompress(kFormatLznt1, out.data(), static_cast<ULONG>(out.size()),
                            const_cast<PUCHAR>(stream.data()), static_cast<ULONG>(stream.size()), &finalSize);
        out.resize(status == kStatusSuccess ? finalSize : 0);
        return out;
    }
};

PlatformCodec& platform() {
    static PlatformCodec codec;
    static const bool bound = codec.bind();
    EXPECT_TRUE(bound) << "ntdll does not export the LZNT1 functions";
    return codec;
}

Bytes ourPack(const Bytes& data) {
    Bytes out(compressBound(data.size()));
    out.resize(compress(data.data(), data.size(), out.data(), out.size()));
    return out;
}

Bytes ourUnpack(const Bytes& stream, size_t capacity, bool& ok) {
    Bytes out(capacity);
    size_t produced = 0;
    ok = decompress(stream.data(), stream.size(), out.data(), out.size(), produced);
    out.resize(produced);
    return out;
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out) {
        b = static_cast<uint8_t>(rng());
    }
    return out;
}

Bytes textLike(size_t size, uint32_t seed) {
    static const char* words[] = {"매크로 ", "machine ", "분석기 ", "인식 ", "이미지 ", "item ", "0x3377 ", "\r\n"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[rng() % 8];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(size);
    return out;
}

// 32-bit pixels: a window background with bars, rectangles and noisy glyphs.
Bytes screenLike(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    uint32_t colour = 0xFFF0F0F0;
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const unsigned roll = rng() % 1000;
        if (roll < 3) {
            colour = 0xFF000000 | (rng() & 0xFFFFFF);
        }
        const uint32_t pixel = roll > 990 ? 0xFF000000 | (rng() & 0x3F3F3F) : colour;
        std::memcpy(&out[i], &pixel, 4);
    }
    return out;
}

Bytes gradient(size_t size, uint32_t) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) {
        const size_t row = i / 5120;
        out[i] = static_cast<uint8_t>(i % 4 == 3 ? 0xFF : (row * (i % 4 + 1)) / 4);
    }
    return out;
}

struct Kind {
    const char* name;
    Bytes (*make)(size_t, uint32_t);
};

const Kind kKinds[] = {
    {"zeros", [](size_t n, uint32_t) { return Bytes(n, 0); }},
    {"random", randomBytes},
    {"text", textLike},
    {"screen", screenLike},
    {"gradient", gradient},
};

const size_t kSizes[] = {1, 3, 4095, 4096, 4097, 161832, 1 << 20};

TEST(Lznt1InteropTest, PlatformReadsOurStreams) {
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.decompress);
    for (const auto& kind : kKinds) {
        for (size_t size : kSizes) {
            SCOPED_TRACE(std::string(kind.name) + " size " + std::to_string(size));
            const Bytes data = kind.make(size, static_cast<uint32_t>(size));
            LONG status = -1;
            const Bytes back = codec.unpack(ourPack(data), size, status);
            EXPECT_EQ(status, kStatusSuccess);
            EXPECT_TRUE(back == data);
        }
    }
}

TEST(Lznt1InteropTest, WeReadThePlatformsStreams) {
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.compress);
    for (const auto& kind : kKinds) {
        for (size_t size : kSizes) {
            SCOPED_TRACE(std::string(kind.name) + " size " + std::to_string(size));
            const Bytes data = kind.make(size, static_cast<uint32_t>(size) + 1);
            LONG status = -1;
            const Bytes stream = codec.pack(data, status);
            ASSERT_EQ(status, kStatusSuccess);
            bool ok = false;
            const Bytes back = ourUnpack(stream, size, ok);
            EXPECT_TRUE(ok);
            EXPECT_TRUE(back == data);
        }
    }
}

TEST(Lznt1InteropTest, SizesAreCloseToThePlatforms) {
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.compress);
    // Wine's RtlCompressBuffer writes every chunk stored: its streams are
    // valid but nothing to measure against.
    LONG status = -1;
    const Bytes zeros(1 << 16, 0);
    if (codec.pack(zeros, status).size() >= zeros.size()) {
        GTEST_SKIP() << "the platform's LZNT1 compressor stores every chunk; sizes not compared";
    }
    for (const auto& kind : kKinds) {
        const size_t size = 1 << 20;
        const Bytes data = kind.make(size, 99);
        const size_t theirs = codec.pack(data, status).size();
        ASSERT_EQ(status, kStatusSuccess);
        const size_t ours = ourPack(data).size();
        std::printf("%-9s %8zu bytes: ours %8zu, platform %8zu\n", kind.name, size, ours, theirs);
        EXPECT_LE(ours, theirs + theirs / 20 + 16) << kind.name;
    }
}

TEST(Lznt1InteropTest, BothReadOddStreamsAlike) {
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.decompress);
    const struct {
        const char* name;
        Bytes stream;
        size_t capacity;
    } cases[] = {
        {"short chunk before another", {0x01, 0x30, 'a', 'b', 0x00, 0x30, 'c'}, 8192},
        {"end marker", {0x00, 0x30, 'q', 0x00, 0x00, 0x77, 0x77, 0x77}, 100},
        {"destination smaller than the data", ourPack(textLike(20000, 5)), 5000},
        {"destination inside a reference", {0x05, 0xB0, 0x08, 'a', 'b', 'c', 0x06, 0x20}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LONG status = -1;
        const Bytes theirs = codec.unpack(c.stream, c.capacity, status);
        bool ok = false;
        const Bytes ours = ourUnpack(c.stream, c.capacity, ok);
        EXPECT_EQ(ok, status == kStatusSuccess) << std::hex << status;
        EXPECT_TRUE(ours == theirs) << "ours " << ours.size() << " bytes, platform " << theirs.size();
    }
}

TEST(Lznt1InteropTest, BothRefuseBrokenStreams) {
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.decompress);
    const struct {
        const char* name;
        Bytes stream;
    } cases[] = {
        {"chunk past the end", {0x05, 0xB0, 0x08, 'a', 'b', 'c', 0x06}},
        {"reference before the chunk start", {0x03, 0xB0, 0x02, 'a', 0x00, 0x10}},
        {"torn reference", {0x02, 0xB0, 0x02, 'a', 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LONG status = 0;
        codec.unpack(c.stream, 10000, status);
        bool ok = true;
        ourUnpack(c.stream, 10000, ok);
        EXPECT_NE(status, kStatusSuccess);
        EXPECT_FALSE(ok);
    }
}

TEST(Lznt1InteropTest, WeRefuseWhatThePlatformCutsShort) {
    // Wine's decompressor cuts a chunk that expands past 4,096 bytes and
    // ignores a stray last byte; no compressor writes either, and we refuse
    // both. What comes before the fault is the same.
    PlatformCodec& codec = platform();
    ASSERT_TRUE(codec.decompress);
    const struct {
        const char* name;
        Bytes stream;
    } cases[] = {
        {"chunk longer than 4096", {0x00, 0x30, 'z', 0x04, 0xB0, 0x02, 'a', 0xFC, 0x0F, 'b'}},
        {"torn header", {0x00, 0x30, 'a', 0x05}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LONG status = -1;
        const Bytes theirs = codec.unpack(c.stream, 10000, status);
        bool ok = true;
        const Bytes ours = ourUnpack(c.stream, 10000, ok);
        EXPECT_FALSE(ok);
        ASSERT_LE(ours.size(), theirs.size());
        EXPECT_TRUE(std::equal(ours.begin(), ours.end(), theirs.begin()));
    }
}

} // namespace
} // namespace quillon::lznt1

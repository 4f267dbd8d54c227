// iconv conversions. CP949 is the Unified Hangul Code of Windows; JOHAB is
// code page 1361.
#include <cerrno>
#include <cstring>
#include <iconv.h>

#include "base/text_codec.h"

namespace quillon::text::detail {
namespace {

const char* iconvName(CodePage page) { return page == CodePage::Cp949 ? "CP949" : "JOHAB"; }

// An open conversion for each direction, kept by each thread: opening one
// loads the converter's module, far dearer than converting a line of text.
iconv_t converter(const char* to, const char* from) {
    struct Open {
        const char* to;
        const char* from;
        iconv_t cd;
    };
    struct Cache {
        Open open[8] = {};
        int count = 0;
        ~Cache() {
            for (int i = 0; i < count; ++i) iconv_close(open[i].cd);
        }
    };
    thread_local Cache cache;
    for (int i = 0; i < cache.count; ++i) {
        if (std::strcmp(cache.open[i].to, to) == 0 && std::strcmp(cache.open[i].from, from) == 0) {
            iconv(cache.open[i].cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
            return cache.open[i].cd;
        }
    }
    // Only the few fixed directions of this file come here.
    if (cache.count == 8) return reinterpret_cast<iconv_t>(-1);
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) cache.open[cache.count++] = {to, from, cd};
    return cd;
}

// Runs one strict iconv conversion; nullopt on any error.
std::optional<std::string> convert(const char* to, const char* from, const char* in, size_t inBytes) {
    iconv_t cd = converter(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(inBytes * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &inPtr, &inBytes, &outPtr, &outLeft);
    bool ok = rc != static_cast<size_t>(-1) && inBytes == 0;
    // Non-reversible conversions count as failures: the text would change.
    ok = ok && rc == 0;
    if (ok) {
        ok = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    }
    if (!ok) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::optional<std::u16string> decodeStrict(CodePage page, std::string_view bytes) {
    auto raw = convert("UTF-16LE", iconvName(page), bytes.data(), bytes.size());
    if (!raw) {
        return std::nullopt;
    }
    std::u16string out(raw->size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>((*raw)[2 * i]) |
                                       (static_cast<unsigned char>((*raw)[2 * i + 1]) << 8));
    }
    return out;
}

std::optional<std::string> encodeStrict(CodePage page, std::u16string_view utf16) {
    std::string raw(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        raw[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        raw[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    return convert(iconvName(page), "UTF-16LE", raw.data(), raw.size());
}

} // namespace quillon::text::detail

// iconv conversions. CP949 is the Unified Hangul Code of Windows; JOHAB is
// code page 1361.
#include <cerrno>
#include <iconv.h>

#include "base/text_codec.h"

namespace quillon::text::detail {
namespace {

const char* iconvName(CodePage page) { return page == CodePage::Cp949 ? "CP949" : "JOHAB"; }

// Runs one strict iconv conversion; nullopt on any error.
std::optional<std::string> convert(const char* to, const char* from, const char* in, size_t inBytes) {
    iconv_t cd = iconv_open(to, from);
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
    iconv_close(cd);
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

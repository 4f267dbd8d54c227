#include "device/startup_data_writer.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>

#include "base/byte_order.h"
#include "base/text.h"

namespace quillon {
namespace {

bool parseNumber(const std::string& token, int64_t& value) {
    if (token.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(token.c_str(), &end, 0);
    if (errno != 0 || *end != '\0') {
        return false;
    }
    value = v;
    return true;
}

// Reads a quoted text starting at `pos`; fills `text` (UTF-8, escapes applied).
bool parseQuoted(const std::string& line, size_t pos, std::string& text, std::string& problem) {
    if (pos >= line.size() || line[pos] != '"') {
        problem = "expected a quoted text";
        return false;
    }
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            size_t rest = line.find_first_not_of(" \t", i + 1);
            if (rest != std::string::npos && line[rest] != '#') {
                problem = "unexpected text after the closing quote";
                return false;
            }
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            char e = line[++i];
            switch (e) {
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case '\\':
            case '"':
                text += e;
                break;
            default:
                problem = std::string("unknown escape \\") + e;
                return false;
            }
        } else {
            text += c;
        }
    }
    problem = "missing closing quote";
    return false;
}

} // namespace

bool buildStartupBlock(StartupBlock block, const std::string& source, std::vector<uint8_t>& out,
                       StartupSourceError& error) {
    const StartupBlockLayout& layout = layoutOf(block);
    const bool textual = block != StartupBlock::Settings;
    std::vector<uint8_t> plain(layout.size, 0);
    std::vector<bool> used(layout.size, false);
    for (size_t i = 0; i < 4; ++i) {
        used[layout.keyOffset + i] = true;
    }
    bool haveKey = false;
    uint32_t key = 0;

    std::istringstream lines(source);
    std::string line;
    int lineNumber = 0;
    auto fail = [&](const std::string& message) {
        error = {lineNumber, message};
        return false;
    };
    auto claim = [&](size_t offset, size_t length) {
        if (offset > layout.size || length > layout.size - offset) {
            return fail("offset " + std::to_string(offset) + " leaves the block");
        }
        for (size_t i = offset; i < offset + length; ++i) {
            if (used[i]) {
                return fail("offset " + std::to_string(offset) + " overlaps another entry or the key");
            }
            used[i] = true;
        }
        return true;
    };

    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') {
            continue;
        }
        size_t end = line.find_first_of(" \t", start);
        std::string first = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t next = end == std::string::npos ? line.size() : line.find_first_not_of(" \t", end);
        if (next == std::string::npos) {
            next = line.size();
        }

        if (first == "key") {
            std::string token = line.substr(next, line.find_first_of(" \t#", next) - next);
            int64_t value = 0;
            if (!parseNumber(token, value) || value < 0 || value > 0xFFFFFFFFLL) {
                return fail("bad key value");
            }
            key = static_cast<uint32_t>(value);
            haveKey = true;
            continue;
        }
        int64_t offset = 0;
        if (!parseNumber(first, offset) || offset < 0) {
            return fail("expected an offset, 'key' or a comment");
        }
        if (textual) {
            std::string utf8, problem;
            if (!parseQuoted(line, next, utf8, problem)) {
                return fail(problem);
            }
            std::string cp949 = text::utf8ToCp949(utf8);
            if (cp949.find('\0') != std::string::npos) {
                return fail("a text cannot hold a NUL character");
            }
            if (!claim(static_cast<size_t>(offset), cp949.size() + 1)) {
                return false;
            }
            std::copy(cp949.begin(), cp949.end(), plain.begin() + offset);
        } else {
            std::string token = line.substr(next, line.find_first_of(" \t#", next) - next);
            int64_t value = 0;
            if (!parseNumber(token, value) || value < INT32_MIN || value > 0xFFFFFFFFLL) {
                return fail("bad field value");
            }
            if (offset % 4 != 0) {
                return fail("settings fields sit on 4-byte boundaries");
            }
            if (!claim(static_cast<size_t>(offset), 4)) {
                return false;
            }
            storeLe32(&plain[offset], static_cast<uint32_t>(value));
        }
    }
    lineNumber = 0;
    if (!haveKey) {
        return fail("the source has no key line");
    }

    // Every byte is stored plus the key byte; a text's terminator (its 0 byte)
    // therefore becomes the key byte. The key itself is stored as it is.
    uint8_t keyByte = static_cast<uint8_t>(key & 0xFF);
    out.assign(layout.size, 0);
    for (size_t i = 0; i < layout.size; ++i) {
        out[i] = static_cast<uint8_t>(plain[i] + keyByte);
    }
    storeLe32(&out[layout.keyOffset], key);
    return true;
}

} // namespace quillon

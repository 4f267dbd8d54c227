#include "runner/trace_writer.h"

#include "analyzer/records.h"

#include <cstdio>

namespace quillon::runner {
namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not valid
// (overlong forms, surrogates and values past U+10FFFF included).
size_t utf8SequenceLength(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    size_t n = 0;
    uint32_t min = 0, value = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) n = 2, min = 0x80, value = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) n = 3, min = 0x800, value = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) n = 4, min = 0x10000, value = c & 0x07;
    else return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return n;
}

void appendInt(std::string& out, long long value) { out += std::to_string(value); }

void appendRect(std::string& out, const Rect& r) {
    out += '[';
    appendInt(out, r.left);
    out += ',';
    appendInt(out, r.top);
    out += ',';
    appendInt(out, r.width());
    out += ',';
    appendInt(out, r.height());
    out += ']';
}

void appendCondition(std::string& out, const ConditionSeen& c) {
    out += "{\"kind\":";
    out += jsonString(traceConditionKind(c.kind));
    out += c.held ? ",\"held\":true" : ",\"held\":false";
    out += ",\"code\":";
    appendInt(out, c.code);
    if (c.located) {
        out += ",\"x\":";
        appendInt(out, c.x);
        out += ",\"y\":";
        appendInt(out, c.y);
        out += ",\"box\":";
        appendRect(out, c.box);
    }
    if (c.hasArea) {
        out += ",\"area\":";
        appendRect(out, c.area);
    }
    if (c.similarity >= 0) {
        out += ",\"similarity\":";
        appendInt(out, c.similarity);
    }
    out += '}';
}

} // namespace

std::string jsonString(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = utf8SequenceLength(s, i);
        if (n == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(s.substr(i, n));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            out += b;
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    out += '"';
    return out;
}

const char* traceConditionKind(int kind) {
    switch (kind) {
    case analyzer::CondVariable: return "variable";
    case analyzer::CondTimer: return "timer";
    case analyzer::CondDateTime: return "date-time";
    case analyzer::CondState: return "state";
    case analyzer::CondImage: return "image";
    case analyzer::CondRangeSearch: return "range-search";
    case analyzer::CondCursor: return "cursor";
    case analyzer::CondKey: return "key";
    case analyzer::CondRemote: return "remote";
    case analyzer::CondNoItemDelay: return "no-item-delay";
    default: return "unknown";
    }
}

std::string traceHeaderLine(const TraceHeader& header) {
    std::string out = "{\"trace\":\"quillon-run\",\"version\":";
    appendInt(out, kTraceVersion);
    out += ",\"analyzer\":";
    out += jsonString(header.analyzer);
    out += ",\"screens\":";
    out += header.screens ? jsonString(*header.screens) : "null";
    out += ",\"screen_width\":";
    appendInt(out, header.screen.width);
    out += ",\"screen_height\":";
    appendInt(out, header.screen.height);
    out += '}';
    return out;
}

std::string traceItemLine(const ItemSeen& item, const std::string* screen) {
    std::string out = "{\"t_ms\":";
    appendInt(out, item.tMs);
    out += ",\"screen\":";
    out += screen ? jsonString(*screen) : "null";
    out += ",\"item\":";
    out += jsonString(item.name);
    out += ",\"position\":";
    appendInt(out, item.position);
    out += item.held ? ",\"held\":true" : ",\"held\":false";
    out += ",\"conditions\":[";
    for (size_t i = 0; i < item.conditions.size(); ++i) {
        if (i) out += ',';
        appendCondition(out, item.conditions[i]);
    }
    out += "],\"actions\":[";
    const std::vector<std::string> actions = actionTexts(item);
    for (size_t i = 0; i < actions.size(); ++i) {
        if (i) out += ',';
        out += jsonString(actions[i]);
    }
    out += "],\"next\":";
    out += item.next >= 0 ? jsonString(item.nextName) : "null";
    out += '}';
    return out;
}

std::string traceTruncatedLine(uint32_t tMs) {
    std::string out = "{\"truncated\":true,\"t_ms\":";
    appendInt(out, tMs);
    out += '}';
    return out;
}

TraceWriter::TraceWriter(std::FILE* out, uint64_t cap) : out_(out), cap_(cap) {}

bool TraceWriter::writeLine(const std::string& line) {
    if (failed_.load()) return false;
    const size_t written = std::fwrite(line.data(), 1, line.size(), out_);
    const bool ok = written == line.size() && std::fputc('\n', out_) != EOF &&
                    (!flushEachLine_ || std::fflush(out_) == 0);
    bytes_ += written + (ok ? 1 : 0);
    if (!ok) {
        failed_.store(true);
        return false;
    }
    ++lines_;
    return true;
}

bool TraceWriter::begin(const TraceHeader& header) { return writeLine(traceHeaderLine(header)); }

void TraceWriter::itemSeen(const ItemSeen& item) {
    if (capped_.load() || failed_.load()) return;
    std::string screen;
    if (screenAt_) screen = screenAt_(item.tMs);
    const std::string line = traceItemLine(item, screenAt_ ? &screen : nullptr);
    if (cap_ != 0) {
        // Room is always kept for the truncated line, so the file never
        // passes its bound.
        const uint64_t reserve = traceTruncatedLine(UINT32_MAX).size() + 1;
        if (bytes_ + line.size() + 1 + reserve > cap_) {
            capped_.store(true);
            writeLine(traceTruncatedLine(item.tMs));
            std::fflush(out_);
            if (onCapped_) onCapped_();
            return;
        }
    }
    writeLine(line);
}

bool TraceWriter::finish() {
    if (std::fflush(out_) != 0 || std::ferror(out_)) failed_.store(true);
    return !failed_.load();
}

} // namespace quillon::runner

#include "tools/quillon/report_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillon::cli {
namespace {

constexpr int kDeepest = 32;

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool value(JsonValue& out, int depth) {
        if (depth > kDeepest) return false;
        space();
        if (at_ >= s_.size()) return false;
        char c = s_[at_];
        if (c == '{') return object(out, depth);
        if (c == '[') return array(out, depth);
        if (c == '"') {
            out.type = JsonValue::Type::String;
            return string(out.text);
        }
        if (word("true")) {
            out.type = JsonValue::Type::Bool;
            out.boolean = true;
            return true;
        }
        if (word("false")) {
            out.type = JsonValue::Type::Bool;
            return true;
        }
        if (word("null")) return true;
        return number(out);
    }

    bool finished() {
        space();
        return at_ == s_.size();
    }

private:
    void space() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n')) ++at_;
    }
    bool word(std::string_view w) {
        if (s_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }
    bool object(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Object;
        ++at_;
        space();
        if (at_ < s_.size() && s_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            space();
            std::string name;
            if (at_ >= s_.size() || s_[at_] != '"' || !string(name)) return false;
            space();
            if (at_ >= s_.size() || s_[at_++] != ':') return false;
            JsonValue v;
            if (!value(v, depth + 1)) return false;
            out.fields[name] = std::move(v);
            space();
            if (at_ >= s_.size()) return false;
            char c = s_[at_++];
            if (c == '}') return true;
            if (c != ',') return false;
        }
    }
    bool array(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Array;
        ++at_;
        space();
        if (at_ < s_.size() && s_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            JsonValue v;
            if (!value(v, depth + 1)) return false;
            out.items.push_back(std::move(v));
            space();
            if (at_ >= s_.size()) return false;
            char c = s_[at_++];
            if (c == ']') return true;
            if (c != ',') return false;
        }
    }
    bool hex4(uint32_t& v) {
        if (at_ + 4 > s_.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[at_++];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) return false;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        return true;
    }
    static void append(std::string& out, uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    bool string(std::string& out) {
        ++at_;
        while (at_ < s_.size()) {
            unsigned char c = static_cast<unsigned char>(s_[at_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= s_.size()) return false;
            char e = s_[at_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                uint32_t cp;
                if (!hex4(cp)) return false;
                if (cp >= 0xD800 && cp < 0xDC00) {
                    uint32_t low;
                    if (!word("\\u") || !hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xDC00 && cp < 0xE000) {
                    return false;
                }
                append(out, cp);
                break;
            }
            default: return false;
            }
        }
        return false;
    }
    bool number(JsonValue& out) {
        size_t start = at_;
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        auto digits = [&] {
            size_t from = at_;
            while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
            return at_ > from;
        };
        if (!digits()) return false;
        if (at_ < s_.size() && s_[at_] == '.') {
            ++at_;
            if (!digits()) return false;
        }
        if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
            ++at_;
            if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
            if (!digits()) return false;
        }
        out.type = JsonValue::Type::Number;
        out.number = std::strtod(std::string(s_.substr(start, at_ - start)).c_str(), nullptr);
        return std::isfinite(out.number);
    }

    std::string_view s_;
    size_t at_ = 0;
};

} // namespace

const JsonValue* JsonValue::field(const std::string& name) const {
    auto it = fields.find(name);
    return it == fields.end() ? nullptr : &it->second;
}

std::optional<JsonValue> parseJson(std::string_view text) {
    Reader reader(text);
    JsonValue v;
    if (!reader.value(v, 0) || !reader.finished()) return std::nullopt;
    return v;
}

std::optional<int64_t> intField(const JsonValue& object, const std::string& name, int64_t lo, int64_t hi) {
    const JsonValue* v = object.field(name);
    if (!v || !v->isNumber() || v->number != std::floor(v->number) || v->number < static_cast<double>(lo) ||
        v->number > static_cast<double>(hi)) {
        return std::nullopt;
    }
    return static_cast<int64_t>(v->number);
}

std::string textField(const JsonValue& object, const std::string& name) {
    const JsonValue* v = object.field(name);
    if (!v) return "";
    switch (v->type) {
    case JsonValue::Type::String: return v->text;
    case JsonValue::Type::Bool: return v->boolean ? "true" : "false";
    case JsonValue::Type::Number: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", v->number);
        return buffer;
    }
    default: return "";
    }
}

} // namespace quillon::cli

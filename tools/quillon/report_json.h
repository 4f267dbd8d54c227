// A small JSON reader for one line of a run trace: objects, arrays, strings,
// numbers, true, false and null. Nesting is bounded and every malformed input
// is refused, so a trace cut short or damaged cannot take the reader down.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;

    const JsonValue* field(const std::string& name) const;
    bool isNumber() const { return type == Type::Number; }
    bool isString() const { return type == Type::String; }
    bool isArray() const { return type == Type::Array; }
    bool isObject() const { return type == Type::Object; }
    bool isTrue() const { return type == Type::Bool && boolean; }
};

// The value of a whole text (white space around it allowed), or nothing when
// the text is not exactly one JSON value.
std::optional<JsonValue> parseJson(std::string_view text);

// A field of an object as a whole number within [lo, hi], or nothing.
std::optional<int64_t> intField(const JsonValue& object, const std::string& name, int64_t lo, int64_t hi);
// A field as text: a string, a number or a boolean written as JSON writes it; "" when absent or null.
std::string textField(const JsonValue& object, const std::string& name);

} // namespace quillon::cli

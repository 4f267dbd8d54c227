#include "editor/forms/form_values.h"

#include <cctype>
#include <limits>
#include <tuple>

#include "base/format_text.h"

namespace quillon::editor {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::vector<int> listed(const int32_t* order, int32_t count, int capacity) {
    std::vector<int> slots;
    if (count < 0 || count > capacity) return slots;
    for (int i = 0; i < count; ++i) slots.push_back(order[i]);
    return slots;
}

} // namespace

std::pair<int32_t, int32_t> boundOf(const NumberOrSlot& bound) {
    if (bound.slot >= 0) return {1, bound.slot};
    return {0, parseWholeNumber(bound.typed).value_or(0)};
}

NumberOrSlot formBound(int32_t isVariable, int32_t value) {
    if (isVariable == 1) return NumberOrSlot{"", value};
    return NumberOrSlot{std::to_string(value), -1};
}

analyzer::VariableTest storedTest(const NumberOrSlot& low, int lowOperator, int variable, int highOperator,
                                  const NumberOrSlot& high) {
    analyzer::VariableTest t{0, 0, lowOperator, variable, highOperator, 0, 0};
    if (lowOperator != 0) std::tie(t.lowIsVariable, t.low) = boundOf(low);
    if (highOperator != 0) std::tie(t.highIsVariable, t.high) = boundOf(high);
    return t;
}

std::optional<int32_t> parseWholeNumber(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

std::optional<int32_t> parseSeconds(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t whole = 0;
    int fractionDigits = 0;
    int64_t fraction = 0;
    bool digits = false, point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digits = true;
        if (!point) {
            whole = whole * 10 + (c - '0');
            if (whole > std::numeric_limits<int32_t>::max() / 1000) return std::nullopt;
        } else if (fractionDigits < 3) {
            fraction = fraction * 10 + (c - '0');
            ++fractionDigits;
        }
    }
    if (!digits) return std::nullopt;
    while (fractionDigits < 3) {
        fraction *= 10;
        ++fractionDigits;
    }
    return static_cast<int32_t>(whole * 1000 + fraction);
}

std::string secondsText(int32_t milliseconds) { return formatText("%.3f", milliseconds / 1000.0); }

std::optional<int32_t> parseSimilarity(std::string_view text) {
    std::optional<int32_t> value = parseWholeNumber(text);
    if (!value || !analyzer::checkSimilarity(*value, true).ok) return std::nullopt;
    return value;
}

std::vector<int> listedRecognitionImages(const analyzer::AnalyzerModel& model) {
    const auto& a = model.image();
    return listed(a.recognitionImageOrder, a.recognitionImageCount, analyzer::kRecognitionImageCapacity);
}
std::vector<int> listedAreas(const analyzer::AnalyzerModel& model) {
    const auto& a = model.image();
    return listed(a.areaOrder, a.areaCount, analyzer::kAreaCapacity);
}
std::vector<int> listedCursors(const analyzer::AnalyzerModel& model) {
    const auto& a = model.image();
    return listed(a.cursorOrder, a.cursorCount, analyzer::kCursorCapacity);
}
std::vector<int> listedNumberPacks(const analyzer::AnalyzerModel& model) {
    const auto& a = model.image();
    return listed(a.numberPackOrder, a.numberPackCount, analyzer::kNumberPackCapacity);
}

bool isRecognitionImage(const analyzer::AnalyzerModel& model, int slot) {
    return slot >= 0 && slot < analyzer::kRecognitionImageCapacity && model.recognitionImage(slot) != nullptr;
}
bool isArea(const analyzer::AnalyzerModel& model, int slot) {
    return slot >= 0 && slot < analyzer::kAreaCapacity && model.image().areas[slot].used;
}
bool isCursor(const analyzer::AnalyzerModel& model, int slot) {
    return slot >= 0 && slot < analyzer::kCursorCapacity && model.image().cursors[slot].used;
}
bool isNumberPack(const analyzer::AnalyzerModel& model, int slot) {
    return slot >= 0 && slot < analyzer::kNumberPackCapacity && model.numberPack(slot) != nullptr;
}
bool isVariable(const analyzer::AnalyzerModel& model, int index) {
    return index >= 0 && index < model.image().activeVariableCount && index < analyzer::kVariableCapacity;
}

std::optional<int> quickFindImage(const analyzer::AnalyzerModel& model, std::string_view typed) {
    std::optional<int32_t> n = parseWholeNumber(typed);
    const std::vector<int> slots = listedRecognitionImages(model);
    if (!n || *n < 1 || static_cast<size_t>(*n) > slots.size()) return std::nullopt;
    return slots[static_cast<size_t>(*n - 1)];
}

} // namespace quillon::editor

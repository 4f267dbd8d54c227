// The values typed into the condition and command dialogs and the lists they
// choose from: whole numbers, seconds, similarity, and the "바로찾기" boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyzer/model.h"

namespace quillon::editor {

// A whole number as typed (blanks around it allowed); nullopt for an empty
// box, any other text, or a number outside 32 bits.
std::optional<int32_t> parseWholeNumber(std::string_view text);

// Seconds typed with decimals, as whole milliseconds truncated toward zero
// ("0.0005" is 0 ms, "4.35" is 4350 ms: the digits are read as written, not
// through a binary fraction). Nullopt for an empty box, a negative value or
// anything that is not a decimal number.
std::optional<int32_t> parseSeconds(std::string_view text);
// Milliseconds shown again in a time box ("%.3f" of seconds).
std::string secondsText(int32_t milliseconds);

// Similarity in percent: a whole number from 50 to 100.
std::optional<int32_t> parseSimilarity(std::string_view text);

// The refusals of a variable test's two bounds, in the variable condition and
// in the variable command's guard.
inline constexpr const char* kLowBoundMissing = "낮은쪽 변수값을 입력하거나 변수를 선택해주세요.";
inline constexpr const char* kHighBoundMissing = "높은쪽 변수값을 입력하거나 변수를 선택해주세요.";

// A box that takes a typed number or a chosen variable (or timer). A chosen
// entry wins over typed text.
struct NumberOrSlot {
    std::string typed;
    int slot = -1; // -1: nothing chosen
    bool operator==(const NumberOrSlot&) const = default;
    bool empty() const { return slot < 0 && !parseWholeNumber(typed); }
};

// The comparison operators of a variable test: 0 "비교x", 1 "<", 2 "≤", 3 "=", 4 "≠".
inline bool validOperator(int op) { return op >= 0 && op <= 4; }
// A box's bound as stored: (is a variable, the variable or the number), and
// the box filled again from it.
std::pair<int32_t, int32_t> boundOf(const NumberOrSlot& bound);
NumberOrSlot formBound(int32_t isVariable, int32_t value);
// A variable test from its dialog boxes; a bound is stored only when its side
// has an operator.
analyzer::VariableTest storedTest(const NumberOrSlot& low, int lowOperator, int variable, int highOperator,
                                  const NumberOrSlot& high);

// Listed objects by slot number, in list order.
std::vector<int> listedRecognitionImages(const analyzer::AnalyzerModel& model);
std::vector<int> listedAreas(const analyzer::AnalyzerModel& model);
std::vector<int> listedCursors(const analyzer::AnalyzerModel& model);
std::vector<int> listedNumberPacks(const analyzer::AnalyzerModel& model);

bool isRecognitionImage(const analyzer::AnalyzerModel& model, int slot);
bool isArea(const analyzer::AnalyzerModel& model, int slot);
bool isCursor(const analyzer::AnalyzerModel& model, int slot);
bool isNumberPack(const analyzer::AnalyzerModel& model, int slot);
bool isVariable(const analyzer::AnalyzerModel& model, int index);

// "바로찾기": the typed number n picks the n-th entry (from 1) of the image
// list beside it; its slot, or nullopt when there is no such entry.
std::optional<int> quickFindImage(const analyzer::AnalyzerModel& model, std::string_view typed);

} // namespace quillon::editor

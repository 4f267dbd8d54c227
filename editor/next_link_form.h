// Dialog 162 ("다음 순서로 분석할 항목") as a form: where the item goes next
// (an item, or back to the previous item) and on what: a variable test
// (no test: always), the item's conditions being false, or any other case.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analyzer/model.h"
#include "base/status.h"
#include "editor/forms/form_values.h"

namespace quillon::editor {

namespace next_link_message {
inline constexpr const char* kNoTarget = "다음에 분석할 항목을 선택해주세요.";
inline constexpr const char* kLowMissing = kLowBoundMissing;
inline constexpr const char* kHighMissing = kHighBoundMissing;
inline constexpr const char* kReturnText = "이전 항목으로 돌아가기";
} // namespace next_link_message

enum class NextLinkKind { VariableTest, FalseBranch, Otherwise };

// One side of the variable test as typed or chosen: a variable's name or a
// whole number.
struct BoundText {
    std::string text;
};

struct NextLinkForm {
    NextLinkKind kind = NextLinkKind::VariableTest;
    // The chosen line of the target list: items in analyzer order, then
    // "이전 항목으로 돌아가기"; nothing when none is chosen.
    std::optional<int> targetLine;
    int lowOperator = 0; // 0 none, 1 "<", 2 "≤", 3 "=", 4 "≠"
    std::string low;
    int variable = 0;
    int highOperator = 0;
    std::string high;
};

enum class NextLinkField { None, Target, Low, High };

// The target list's lines: every item's list line, then the return line.
std::vector<std::string> nextLinkTargets(const analyzer::AnalyzerModel& model);
// The names of the active variables, for the bound and variable lists.
std::vector<std::string> variableNames(const analyzer::AnalyzerModel& model);

struct NextLinkRefusal {
    std::string message;
    NextLinkField focus = NextLinkField::None;
};

// Adds the link to the item (a variable test), or sets its false or
// otherwise branch. A refusal leaves the item as it was.
std::optional<NextLinkRefusal> applyNextLink(analyzer::Item& item, const analyzer::AnalyzerModel& model,
                                             const NextLinkForm& form);

} // namespace quillon::editor

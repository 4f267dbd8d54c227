#include "editor/next_link_form.h"

#include <algorithm>
#include <cstdlib>

#include "analyzer/limits.h"
#include "base/text.h"

namespace quillon::editor {

using namespace analyzer;
namespace msg = next_link_message;

namespace {

struct Bound {
    bool isVariable = false;
    int value = 0;
};

// A variable's name, else a whole number; nothing for anything else.
std::optional<Bound> parseBound(const std::string& text, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == text && !text.empty()) return Bound{true, static_cast<int>(i)};
    }
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return Bound{false, static_cast<int>(value)};
}

} // namespace

std::vector<std::string> nextLinkTargets(const AnalyzerModel& model) {
    std::vector<std::string> lines;
    for (int position = 0; position < model.itemCount(); ++position) {
        lines.push_back(itemListLine(model.item(position), position));
    }
    lines.push_back(msg::kReturnText);
    return lines;
}

std::vector<std::string> variableNames(const AnalyzerModel& model) {
    const AnalyzerImage& a = model.image();
    std::vector<std::string> names;
    const int count = std::clamp(static_cast<int>(a.activeVariableCount), 0, kVariableCapacity);
    for (int i = 0; i < count; ++i) {
        names.push_back(text::cp949ToUtf8(fixedText(a.variables[i].name)));
    }
    return names;
}

std::optional<NextLinkRefusal> applyNextLink(Item& item, const AnalyzerModel& model, const NextLinkForm& form) {
    const int items = model.itemCount();
    if (!form.targetLine || *form.targetLine < 0 || *form.targetLine > items) {
        return NextLinkRefusal{msg::kNoTarget, NextLinkField::Target};
    }
    const int32_t target = *form.targetLine == items ? kReturnToPrevious : model.item(*form.targetLine).id;
    if (form.kind == NextLinkKind::FalseBranch) {
        item.falseBranch = 1;
        item.falseBranchTarget = target;
        return std::nullopt;
    }
    if (form.kind == NextLinkKind::Otherwise) {
        item.otherwiseBranch = 1;
        item.otherwiseBranchTarget = target;
        return std::nullopt;
    }
    const std::vector<std::string> names = variableNames(model);
    NextLink link{};
    link.targetId = target;
    link.variable = std::clamp(form.variable, 0, std::max(0, static_cast<int>(names.size()) - 1));
    if (form.lowOperator >= 1 && form.lowOperator <= 4) {
        std::optional<Bound> low = parseBound(form.low, names);
        if (!low) return NextLinkRefusal{msg::kLowMissing, NextLinkField::Low};
        link.lowOperator = form.lowOperator;
        link.lowIsVariable = low->isVariable ? 1 : 0;
        link.low = low->value;
    }
    if (form.highOperator >= 1 && form.highOperator <= 4) {
        std::optional<Bound> high = parseBound(form.high, names);
        if (!high) return NextLinkRefusal{msg::kHighMissing, NextLinkField::High};
        link.highOperator = form.highOperator;
        link.highIsVariable = high->isVariable ? 1 : 0;
        link.high = high->value;
    }
    Status added = addNextLink(item, link);
    if (!added.ok) return NextLinkRefusal{added.message, NextLinkField::None};
    return std::nullopt;
}

} // namespace quillon::editor

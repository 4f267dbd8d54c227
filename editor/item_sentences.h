// The sentences that stand for conditions, commands and next links in the
// item being edited, and the lines of the item list. Every sentence is built
// from one record plus the names of the open analyzer; nothing here changes
// the analyzer. Sentences are UTF-8; the window converts them.
#pragma once

#include <string>

#include "analyzer/model.h"
#include "device/key_table.h"

namespace quillon::editor {

// Names of the open analyzer's objects by slot number (UTF-8). A slot outside
// its table, or an empty slot, gives an empty name: a damaged record shows a
// blank in a sentence instead of reading past a table. Keys are named from a
// KeyTable made with KeyNames::AnalyzerEditor (its "- " row).
class AnalyzerNames {
public:
    AnalyzerNames(const analyzer::AnalyzerModel& model, const KeyTable& keys) : model_(model), keys_(keys) {}

    std::string variable(int slot) const;
    // With "[패턴]" before the name of a pattern image.
    std::string recognitionImage(int slot) const;
    std::string recognitionImagePlain(int slot) const;
    bool isPatternImage(int slot) const;
    std::string area(int slot) const;
    std::string numberPack(int slot) const;
    std::string cursor(int slot) const;
    std::string sentence(int index) const;
    int sentenceSpeed(int index) const;
    std::string key(int row) const;
    // The name of the item with this id; empty when there is none.
    std::string itemById(int32_t id) const;

    const analyzer::AnalyzerModel& model() const { return model_; }

private:
    const analyzer::AnalyzerModel& model_;
    const KeyTable& keys_;
};

// The branch texts of an item's two branch lines.
inline constexpr const char* kFalseBranchText = "분석항목의 조건이 거짓이면";
inline constexpr const char* kOtherwiseBranchText = "그 이외의 조건인 경우";

enum class BranchKind { False, Otherwise };

std::string conditionSentence(const analyzer::Condition& condition, const AnalyzerNames& names);
std::string commandSentence(const analyzer::Command& command, const AnalyzerNames& names);
std::string nextLinkSentence(const analyzer::NextLink& link, const AnalyzerNames& names);
// The line of an item's false or otherwise branch; empty when that branch
// has no target.
std::string branchLine(const analyzer::Item& item, BranchKind branch, const AnalyzerNames& names);
// The item list line ("%s%.4d %s": mark, list position, name) is
// analyzer::itemListLine, shared with the command-line tool.

} // namespace quillon::editor

// Plain descriptions of conditions and commands: the kind's name and its
// fields by name, for the command-line tool and for diagnostics (the editor's
// own item sentences are made elsewhere).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/records.h"

namespace quillon::analyzer {

enum class FieldType { Int32, Byte, Word, Text };

struct FieldInfo {
    size_t offset;
    const char* name;
    FieldType type = FieldType::Int32;
    size_t bytes = 4; // text length for Text
};

const char* conditionKindName(int32_t kind); // "CondImage"; nullptr when unknown
const char* commandKindName(int32_t kind);   // "CmdMouse"; nullptr when unknown
const std::vector<FieldInfo>& conditionFields(int32_t kind);
const std::vector<FieldInfo>& commandFields(int32_t kind);

struct FieldValue {
    const FieldInfo* info = nullptr;
    int64_t number = 0;
    std::string text; // UTF-8 for Text fields
};
std::vector<FieldValue> fieldValues(const std::vector<FieldInfo>& fields, const uint8_t* body, size_t bodySize);

// "CondImage compareWith=5 where=2 x=4 ..." (fields that are not 0).
std::string describeCondition(const Condition& condition);
std::string describeCommand(const Command& command);
std::string describeNextLink(const NextLink& link);

} // namespace quillon::analyzer

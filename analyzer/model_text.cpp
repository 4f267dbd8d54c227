#include "analyzer/model_text.h"

#include <string_view>

#include "analyzer/model.h"
#include "base/byte_order.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

using T = FieldType;

const std::vector<FieldInfo> kNoFields;

const std::vector<FieldInfo>& variableTestFields() {
    static const std::vector<FieldInfo> f = {{4, "axis"},     {8, "lowIsVariable"},  {12, "low"},
                                             {20, "lowOperator"}, {24, "variable"}, {28, "highOperator"},
                                             {32, "highIsVariable"}, {36, "high"}};
    return f;
}

} // namespace

const char* conditionKindName(int32_t kind) {
    switch (kind) {
    case CondVariable: return "CondVariable";
    case CondTimer: return "CondTimer";
    case CondDateTime: return "CondDateTime";
    case CondState: return "CondState";
    case CondImage: return "CondImage";
    case CondRangeSearch: return "CondRangeSearch";
    case CondCursor: return "CondCursor";
    case CondKey: return "CondKey";
    case CondRemote: return "CondRemote";
    case CondNoItemDelay: return "CondNoItemDelay";
    default: return nullptr;
    }
}

const char* commandKindName(int32_t kind) {
    switch (kind) {
    case CmdKey: return "CmdKey";
    case CmdMouse: return "CmdMouse";
    case CmdMacro: return "CmdMacro";
    case CmdVariable: return "CmdVariable";
    case CmdTimer: return "CmdTimer";
    case CmdDelay: return "CmdDelay";
    case CmdDevice: return "CmdDevice";
    case CmdReplaceImage: return "CmdReplaceImage";
    case CmdRunAnalyzer: return "CmdRunAnalyzer";
    case CmdTypeSentence: return "CmdTypeSentence";
    case CmdReadNumber: return "CmdReadNumber";
    default: return nullptr;
    }
}

const std::vector<FieldInfo>& conditionFields(int32_t kind) {
    static const std::vector<FieldInfo> timer = {
        {4, "rightIsTimer"}, {8, "operator"}, {12, "timer"}, {16, "otherTimer"}, {20, "seconds"}};
    static const std::vector<FieldInfo> dateTime = {
        {4, "operator"}, {8, "parts", T::Byte, 1}, {12, "year", T::Word, 2}, {14, "month", T::Word, 2},
        {16, "weekday", T::Word, 2}, {18, "day", T::Word, 2}, {20, "hour", T::Word, 2}, {22, "minute", T::Word, 2},
        {24, "second", T::Word, 2}, {26, "milliseconds", T::Word, 2}};
    static const std::vector<FieldInfo> state = {{4, "state"}};
    static const std::vector<FieldInfo> image = {
        {4, "compareWith"}, {8, "where"}, {12, "reference"}, {16, "positionSource"}, {20, "x"},
        {24, "y"},          {28, "wantDifferent"}, {32, "similarity"}, {40, "colour"}};
    static const std::vector<FieldInfo> range = {
        {4, "what"},       {8, "area"},       {16, "image"},          {20, "wantMissing"},
        {24, "whichMatch"}, {28, "whichMatchIsVariable"}, {32, "similarity"}, {56, "colour"}};
    static const std::vector<FieldInfo> cursor = {{8, "cursor"}, {12, "wantDifferent"}};
    static const std::vector<FieldInfo> key = {{4, "mode"}, {8, "key"}};
    static const std::vector<FieldInfo> remote = {{4, "number"}};
    static const std::vector<FieldInfo> noDelay = {{4, "noItemDelay"}};
    switch (kind) {
    case CondVariable: return variableTestFields();
    case CondTimer: return timer;
    case CondDateTime: return dateTime;
    case CondState: return state;
    case CondImage: return image;
    case CondRangeSearch: return range;
    case CondCursor: return cursor;
    case CondKey: return key;
    case CondRemote: return remote;
    case CondNoItemDelay: return noDelay;
    default: return kNoFields;
    }
}

const std::vector<FieldInfo>& commandFields(int32_t kind) {
    static const std::vector<FieldInfo> key = {{4, "action"}, {8, "key"}, {16, "variable"}};
    static const std::vector<FieldInfo> mouse = {
        {4, "action"}, {8, "random"},  {12, "monitorCoordinates"}, {16, "button"},   {20, "wheel"},
        {24, "image"}, {28, "area"},   {32, "x"},                  {36, "y"},        {40, "dx"},
        {44, "dy"},    {48, "direction"}, {52, "holdMs"},          {56, "variable"}, {60, "randomRange"}};
    static const std::vector<FieldInfo> macro = {{4, "action"}, {8, "repeat"}, {12, "macro"}};
    static const std::vector<FieldInfo> variable = {
        {4, "operator"},   {8, "source"},     {12, "rightIsVariable"}, {16, "target"},
        {20, "value"},     {24, "right"},     {28, "guarded"},         {32, "monitorCoordinates"},
        {40, "object"},    {44, "x"},         {48, "y"},               {52, "spreadX"},
        {56, "spreadY"},   {60, "blue", T::Byte, 1}, {61, "green", T::Byte, 1}, {62, "red", T::Byte, 1},
        {64, "guardLowIsVariable"}, {68, "guardLow"}, {76, "guardLowOperator"}, {80, "guardVariable"},
        {84, "guardHighOperator"}, {88, "guardHighIsVariable"}, {92, "guardHigh"}};
    static const std::vector<FieldInfo> timer = {{4, "action"}, {8, "timer"}, {12, "value"}};
    static const std::vector<FieldInfo> delay = {{4, "random"}, {8, "ms"}, {12, "highMs"}};
    static const std::vector<FieldInfo> device = {
        {4, "action"}, {8, "on"}, {12, "carried"}, {16, "remote"}, {24, "sound", T::Text, 120}};
    static const std::vector<FieldInfo> replace = {{16, "image"}};
    static const std::vector<FieldInfo> run = {{4, "analyzer", T::Text, 160}};
    static const std::vector<FieldInfo> sentence = {{4, "sentence"}};
    static const std::vector<FieldInfo> readNumber = {
        {8, "area"}, {16, "pack"}, {20, "variable"}, {24, "similarity"}, {28, "arithmetic"}};
    switch (kind) {
    case CmdKey: return key;
    case CmdMouse: return mouse;
    case CmdMacro: return macro;
    case CmdVariable: return variable;
    case CmdTimer: return timer;
    case CmdDelay: return delay;
    case CmdDevice: return device;
    case CmdReplaceImage: return replace;
    case CmdRunAnalyzer: return run;
    case CmdTypeSentence: return sentence;
    case CmdReadNumber: return readNumber;
    default: return kNoFields;
    }
}

std::vector<FieldValue> fieldValues(const std::vector<FieldInfo>& fields, const uint8_t* body, size_t bodySize) {
    std::vector<FieldValue> out;
    for (const FieldInfo& f : fields) {
        if (f.offset + f.bytes > bodySize) {
            continue;
        }
        FieldValue v;
        v.info = &f;
        const uint8_t* p = body + f.offset;
        switch (f.type) {
        case T::Int32: v.number = static_cast<int32_t>(loadLe32(p)); break;
        case T::Byte: v.number = p[0]; break;
        case T::Word: v.number = loadLe16(p); break;
        case T::Text: v.text = text::cp949ToUtf8(fixedText(reinterpret_cast<const char*>(p), f.bytes)); break;
        }
        out.push_back(std::move(v));
    }
    return out;
}

namespace {

std::string describe(const char* kindName, int32_t kind, const std::vector<FieldInfo>& fields, const uint8_t* body,
                     size_t size) {
    std::string out = kindName ? kindName : "kind" + std::to_string(kind);
    for (const FieldValue& v : fieldValues(fields, body, size)) {
        if (v.info->type == T::Text) {
            if (!v.text.empty()) {
                out += std::string(" ") + v.info->name + "=\"" + v.text + "\"";
            }
        } else if (v.number != 0 || std::string_view(v.info->name) == "action") {
            out += std::string(" ") + v.info->name + "=" + std::to_string(v.number);
        }
    }
    return out;
}

} // namespace

std::string describeCondition(const Condition& c) {
    return describe(conditionKindName(c.kind()), c.kind(), conditionFields(c.kind()), c.body, sizeof c.body);
}

std::string describeCommand(const Command& c) {
    return describe(commandKindName(c.kind()), c.kind(), commandFields(c.kind()), c.body, sizeof c.body);
}

std::string describeNextLink(const NextLink& l) {
    std::string out = "-> " + (l.targetId == kReturnToPrevious ? std::string("previous") : "id " + std::to_string(l.targetId));
    if (l.kind == 100) {
        out += " when false";
    } else if (l.lowOperator || l.highOperator) {
        out += " when " + (l.lowOperator ? (l.lowIsVariable ? "var" : "") + std::to_string(l.low) + " op" +
                                               std::to_string(l.lowOperator) + " "
                                         : std::string()) +
               "var" + std::to_string(l.variable) +
               (l.highOperator ? " op" + std::to_string(l.highOperator) + " " + (l.highIsVariable ? "var" : "") +
                                     std::to_string(l.high)
                               : std::string());
    }
    return out;
}

} // namespace quillon::analyzer

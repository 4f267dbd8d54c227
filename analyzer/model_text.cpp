#include "analyzer/model_text.h"

#include <string_view>

#include "analyzer/model.h"
#include "base/byte_order.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

using T = FieldType;

const std::vector<FieldInfo> kNoFields;

// A table row from a named field: its offset and type come with it.
template <class F>
FieldInfo info(const F& f, const char* name) {
    if constexpr (std::is_same_v<typename F::Value, std::string_view>) return {f.offset, name, T::Text, F::bytes};
    else if constexpr (sizeof(typename F::Value) == 1) return {f.offset, name, T::Byte, 1};
    else if constexpr (sizeof(typename F::Value) == 2) return {f.offset, name, T::Word, 2};
    else return {f.offset, name};
}

// A kind's name and its fields by name, in body order.
struct KindTable {
    int32_t kind;
    const char* name;
    std::vector<FieldInfo> fields;
};

const std::vector<KindTable>& conditionKinds() {
    using V = cond::Variable;
    using Ti = cond::Timer;
    using D = cond::DateTime;
    using I = cond::Image;
    using R = cond::RangeSearch;
    static const std::vector<KindTable> kinds = {
        {CondVariable, "CondVariable",
         {info(V::axis, "axis"), info(V::lowIsVariable, "lowIsVariable"), info(V::low, "low"),
          info(V::lowOperator, "lowOperator"), info(V::variable, "variable"), info(V::highOperator, "highOperator"),
          info(V::highIsVariable, "highIsVariable"), info(V::high, "high")}},
        {CondTimer, "CondTimer",
         {info(Ti::rightIsTimer, "rightIsTimer"), info(Ti::below, "operator"), info(Ti::timer, "timer"),
          info(Ti::otherTimer, "otherTimer"), info(Ti::seconds, "seconds")}},
        {CondDateTime, "CondDateTime",
         {info(D::below, "operator"), info(D::parts, "parts"), info(D::year, "year"), info(D::month, "month"),
          info(D::weekday, "weekday"), info(D::day, "day"), info(D::hour, "hour"), info(D::minute, "minute"),
          info(D::second, "second"), info(D::milliseconds, "milliseconds")}},
        {CondState, "CondState", {info(cond::State::state, "state")}},
        {CondImage, "CondImage",
         {info(I::compareWith, "compareWith"), info(I::where, "where"), info(I::reference, "reference"),
          info(I::positionSource, "positionSource"), info(I::x, "x"), info(I::y, "y"),
          info(I::wantDifferent, "wantDifferent"), info(I::similarity, "similarity"), info(I::colour, "colour")}},
        {CondRangeSearch, "CondRangeSearch",
         {info(R::what, "what"), info(R::area, "area"), info(R::image, "image"), info(R::wantMissing, "wantMissing"),
          info(R::whichMatch, "whichMatch"), info(R::whichMatchIsVariable, "whichMatchIsVariable"),
          info(R::similarity, "similarity"), info(R::colour, "colour")}},
        {CondCursor, "CondCursor",
         {info(cond::Cursor::cursor, "cursor"), info(cond::Cursor::wantDifferent, "wantDifferent")}},
        {CondKey, "CondKey", {info(cond::Key::mode, "mode"), info(cond::Key::key, "key")}},
        {CondRemote, "CondRemote", {info(cond::Remote::number, "number")}},
        {CondNoItemDelay, "CondNoItemDelay", {info(cond::NoItemDelay::on, "noItemDelay")}},
    };
    return kinds;
}

const std::vector<KindTable>& commandKinds() {
    using M = cmd::Mouse;
    using V = cmd::Variable;
    using G = V::Guard;
    using Dv = cmd::Device;
    using N = cmd::ReadNumber;
    static const std::vector<KindTable> kinds = {
        {CmdKey, "CmdKey", {info(cmd::Key::action, "action"), info(cmd::Key::key, "key"),
                            info(cmd::Key::variable, "variable")}},
        {CmdMouse, "CmdMouse",
         {info(M::action, "action"), info(M::random, "random"), info(M::monitor, "monitorCoordinates"),
          info(M::button, "button"), info(M::wheel, "wheel"), info(M::image, "image"), info(M::area, "area"),
          info(M::x, "x"), info(M::y, "y"), info(M::dx, "dx"), info(M::dy, "dy"), info(M::direction, "direction"),
          info(M::holdMs, "holdMs"), info(M::variable, "variable"), info(M::randomRange, "randomRange")}},
        {CmdMacro, "CmdMacro", {info(cmd::Macro::action, "action"), info(cmd::Macro::repeat, "repeat"),
                                info(cmd::Macro::number, "macro")}},
        {CmdVariable, "CmdVariable",
         {info(V::arithmetic, "operator"), info(V::source, "source"), info(V::rightIsVariable, "rightIsVariable"),
          info(V::target, "target"), info(V::value, "value"), info(V::right, "right"), info(V::guarded, "guarded"),
          info(V::monitor, "monitorCoordinates"), info(V::object, "object"), info(V::x, "x"), info(V::y, "y"),
          info(V::spreadX, "spreadX"), info(V::spreadY, "spreadY"), info(V::blue, "blue"), info(V::green, "green"),
          info(V::red, "red"), info(G::lowIsVariable, "guardLowIsVariable"), info(G::low, "guardLow"),
          info(G::lowOperator, "guardLowOperator"), info(G::variable, "guardVariable"),
          info(G::highOperator, "guardHighOperator"), info(G::highIsVariable, "guardHighIsVariable"),
          info(G::high, "guardHigh")}},
        {CmdTimer, "CmdTimer", {info(cmd::Timer::action, "action"), info(cmd::Timer::timer, "timer"),
                                info(cmd::Timer::value, "value")}},
        {CmdDelay, "CmdDelay", {info(cmd::Delay::random, "random"), info(cmd::Delay::ms, "ms"),
                                info(cmd::Delay::highMs, "highMs")}},
        {CmdDevice, "CmdDevice", {info(Dv::action, "action"), info(Dv::on, "on"), info(Dv::carried, "carried"),
                                  info(Dv::remote, "remote"), info(Dv::sound, "sound")}},
        {CmdReplaceImage, "CmdReplaceImage", {info(cmd::ReplaceImage::image, "image")}},
        {CmdRunAnalyzer, "CmdRunAnalyzer", {info(cmd::RunAnalyzer::name, "analyzer")}},
        {CmdTypeSentence, "CmdTypeSentence", {info(cmd::TypeSentence::sentence, "sentence")}},
        {CmdReadNumber, "CmdReadNumber", {info(N::area, "area"), info(N::pack, "pack"), info(N::variable, "variable"),
                                          info(N::similarity, "similarity"), info(N::arithmetic, "arithmetic")}},
    };
    return kinds;
}

const KindTable* find(const std::vector<KindTable>& kinds, int32_t kind) {
    for (const KindTable& k : kinds) {
        if (k.kind == kind) return &k;
    }
    return nullptr;
}

} // namespace

const char* conditionKindName(int32_t kind) {
    const KindTable* k = find(conditionKinds(), kind);
    return k ? k->name : nullptr;
}

const char* commandKindName(int32_t kind) {
    const KindTable* k = find(commandKinds(), kind);
    return k ? k->name : nullptr;
}

const std::vector<FieldInfo>& conditionFields(int32_t kind) {
    const KindTable* k = find(conditionKinds(), kind);
    return k ? k->fields : kNoFields;
}

const std::vector<FieldInfo>& commandFields(int32_t kind) {
    const KindTable* k = find(commandKinds(), kind);
    return k ? k->fields : kNoFields;
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

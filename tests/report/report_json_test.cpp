// The trace reader's JSON: what a line may hold, and what a damaged line is
// refused for (the report shows it as unreadable and goes on).
#include <gtest/gtest.h>

#include "tools/quillon/report_json.h"

namespace quillon::cli {
namespace {

TEST(ReportJson, ReadsATraceLine) {
    auto v = parseJson(R"( {"t_ms":1050,"screen":null,"item":"\ucc3e\uae30 \"a\"\\\/\n","held":true,)"
                       R"("conditions":[{"kind":"image","x":-3,"box":[1,2,3,4],"similarity":9.5e1}],"actions":[]} )");
    ASSERT_TRUE(v);
    EXPECT_EQ(textField(*v, "item"), "찾기 \"a\"\\/\n");
    EXPECT_EQ(textField(*v, "t_ms"), "1050");
    EXPECT_EQ(textField(*v, "screen"), "");
    EXPECT_EQ(textField(*v, "missing"), "");
    EXPECT_TRUE(v->field("held")->isTrue());
    const JsonValue& c = v->field("conditions")->items.at(0);
    EXPECT_EQ(intField(c, "x", -10, 10), -3);
    EXPECT_EQ(intField(c, "x", 0, 10), std::nullopt); // out of the range asked for
    EXPECT_EQ(intField(c, "similarity", 0, 100), 95);
    EXPECT_EQ(intField(c, "kind", 0, 100), std::nullopt); // not a number
    EXPECT_EQ(c.field("box")->items.size(), 4u);
    EXPECT_TRUE(v->field("actions")->isArray());
}

TEST(ReportJson, CharactersBeyondTheBasicPlaneAndRawUtf8) {
    EXPECT_EQ(parseJson(R"("\ud83d\ude00")")->text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(parseJson("\"대기\"")->text, "대기");
    EXPECT_EQ(intField(*parseJson(R"({"n":2.5})"), "n", 0, 9), std::nullopt); // not whole
}

TEST(ReportJson, RefusesDamagedLines) {
    const char* damaged[] = {
        "",
        R"({"t_ms":)",                      // cut short
        R"({"item":"abc)",                  // an unterminated string
        R"({"a":1,})",                      // a trailing comma
        R"({"a":1} x)",                     // something after the value
        R"({"a":01x})",                     // not a number
        R"({"a":-})",
        R"({"a":1e999})",                   // no finite number
        R"({"a":"\ud83d"})",                // a lone high surrogate
        R"({"a":"\ude00"})",                // a lone low surrogate
        R"({"a":"\x"})",                    // an unknown escape
        "{\"a\":\"tab\there\"}",            // a control character inside a string
        R"({a:1})",                         // a name without quotes
        R"([1 2])",
        R"(tru)",
    };
    for (const char* line : damaged) {
        EXPECT_FALSE(parseJson(line)) << line;
    }
    // Nesting is bounded: a line of brackets cannot exhaust the stack.
    std::string deep(100000, '[');
    EXPECT_FALSE(parseJson(deep + std::string(100000, ']')));
    EXPECT_TRUE(parseJson(std::string(20, '[') + std::string(20, ']')));
}

} // namespace
} // namespace quillon::cli

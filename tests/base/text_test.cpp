// The same expectations run in the native build (iconv) and in the Windows
// build under Wine (Win32 code pages), so passing in both shows that both
// platforms give the same bytes.
#include <gtest/gtest.h>

#include "base/text.h"

namespace quillon::text {
namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) {
        s += static_cast<char>(b);
    }
    return s;
}

struct Sample {
    const char* what;
    std::string utf8;
    std::string cp949;
};

class KnownText : public ::testing::TestWithParam<Sample> {};

TEST_P(KnownText, ConvertsBothWaysToTheSameBytes) {
    const Sample& s = GetParam();
    EXPECT_EQ(utf8ToCp949(s.utf8), s.cp949) << s.what;
    EXPECT_EQ(cp949ToUtf8(s.cp949), s.utf8) << s.what;
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(s.utf8)), s.utf8) << s.what;
    EXPECT_EQ(utf16ToCp949(cp949ToUtf16(s.cp949)), s.cp949) << s.what;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, KnownText,
    ::testing::Values(Sample{"ascii", "Quillon 1.0 (*.dat)", "Quillon 1.0 (*.dat)"},
                      Sample{"empty", "", ""},
                      Sample{"hangul", "가힣", bytes({0xB0, 0xA1, 0xC6, 0x52})},
                      // A syllable outside KS X 1001, from the extended area of CP949.
                      Sample{"extended hangul", "똠", bytes({0x8C, 0x63})},
                      Sample{"hanja", "漢字", bytes({0xF9, 0xD3, 0xED, 0xAE})},
                      Sample{"symbols", "※→①", bytes({0xA1, 0xD8, 0xA1, 0xE6, 0xA8, 0xE7})},
                      Sample{"mixed", "비어 있슴", bytes({0xBA, 0xF1, 0xBE, 0xEE, 0x20, 0xC0, 0xD6, 0xBD, 0xBF})}));

TEST(Johab, HangulAndAsciiConvertToCodePage1361) {
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("가")), bytes({0x88, 0x61}));
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("닭")), bytes({0x94, 0x6A}));
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("힣")), bytes({0xD3, 0xBD}));
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("aA1 ")), "aA1 ");
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("가a")), bytes({0x88, 0x61, 'a'}));
}

TEST(Utf16, SurrogatePairsRoundTrip) {
    std::string emoji = "\xF0\x9F\x98\x80";
    std::u16string u = utf8ToUtf16(emoji);
    ASSERT_EQ(u.size(), 2u);
    EXPECT_EQ(u[0], 0xD83D);
    EXPECT_EQ(u[1], 0xDE00);
    EXPECT_EQ(utf16ToUtf8(u), emoji);
}

// Bad input gives a defined result: each unconvertible byte becomes one '?'.
TEST(BadInput, BecomesQuestionMarksWithoutLosingTheRest) {
    EXPECT_EQ(utf8ToUtf16("a\xFF" "b"), u"a?b");
    EXPECT_EQ(utf8ToUtf16("\xC0\x80"), u"??");          // overlong NUL
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"???");     // encoded surrogate
    EXPECT_EQ(utf8ToUtf16("\xE0\xA4"), u"??");          // truncated
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "?");

    EXPECT_EQ(cp949ToUtf8(bytes({'a', 0xB0})), "a?");                // lead byte at the end
    EXPECT_EQ(cp949ToUtf8(bytes({0x80, 'z'})), "?z");                // not a lead byte
    EXPECT_EQ(cp949ToUtf8(bytes({0xB0, 0xA1, 0xFF, 'x'})), "가?x");
    // A character CP949 cannot hold.
    EXPECT_EQ(utf8ToCp949("a\xF0\x9F\x98\x80" "b"), "a?b"); // one character, one '?'
    EXPECT_EQ(utf8ToCp949("กx"), "?x");
    EXPECT_EQ(cp949ToJohab(bytes({0xB0})), "?");
    EXPECT_EQ(cp949ToJohab(utf8ToCp949("漢字※")), bytes({0xF7, 0xD3, 0xF1, 0xAE, 0xD9, 0x68}));
}

TEST(BadInput, EveryTwoByteSequenceConvertsWithoutCrashing) {
    // A sweep over all lead/trail pairs: the result is defined and bounded.
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x00; trail <= 0xFF; trail += 3) {
            std::string in = bytes({lead, trail});
            std::string out = cp949ToUtf8(in);
            EXPECT_LE(out.size(), 6u);
            EXPECT_FALSE(out.empty());
        }
    }
}

TEST(Cp949Length, MeasuresFieldLimitsInCodePageBytes) {
    EXPECT_EQ(cp949Length("새로 만든 매크로"), 16u);
    EXPECT_EQ(cp949Length("abc"), 3u);
}

} // namespace
} // namespace quillon::text

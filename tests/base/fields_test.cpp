#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/fixed_text.h"
#include "base/format_text.h"
#include "base/path.h"

namespace quillon {
namespace {

// "가" in CP949 is B0 A1; a field of N bytes holds at most N - 1 and a NUL.
TEST(FixedText, StoresWholeCharactersAndAlwaysANul) {
    struct Case {
        const char* name;
        std::string cp949;
        size_t capacity;
        std::string kept;
    };
    const Case cases[] = {
        {"fits", "abc", 8, "abc"},
        {"cut at the last byte", "abcdefgh", 8, "abcdefg"},
        {"double-byte character not split", "abcde\xB0\xA1", 7, "abcde"},
        {"double-byte character fits", "abcd\xB0\xA1", 7, "abcd\xB0\xA1"},
        {"a lone lead byte at the end is one byte", "ab\xB0", 8, "ab\xB0"},
        {"0x80 is no lead byte", "\x80" "a", 3, "\x80" "a"},
        {"stops at a NUL in the text", std::string("ab\0cd", 5), 8, "ab"},
        {"room for the NUL only", "abc", 1, ""},
    };
    for (const Case& c : cases) {
        char field[16];
        std::memset(field, 'x', sizeof field);
        const size_t kept = storeFixedText(field, c.capacity, c.cp949);
        EXPECT_EQ(kept, c.kept.size()) << c.name;
        EXPECT_EQ(fixedText(field, c.capacity), c.kept) << c.name;
        for (size_t i = c.kept.size(); i < c.capacity; ++i) EXPECT_EQ(field[i], 0) << c.name << " byte " << i;
        EXPECT_EQ(field[c.capacity], 'x') << c.name << ": wrote past the field";
    }
    char full[3] = {'a', 'b', 'c'};
    EXPECT_EQ(fixedText(full), "abc"); // a field without a NUL is read to its end
}

TEST(JoinPath, KeepsTheFoldersOwnSeparator) {
    EXPECT_EQ(joinPath("C:\\Data", "a.dat"), "C:\\Data\\a.dat");
    EXPECT_EQ(joinPath("C:\\Data\\", "a.dat"), "C:\\Data\\a.dat");
    EXPECT_EQ(joinPath("/tmp/x", "a.dat"), "/tmp/x/a.dat");
    EXPECT_EQ(joinPath("/tmp/x/", "a.dat"), "/tmp/x/a.dat");
    EXPECT_EQ(joinPath("", "a.dat"), "a.dat");
    EXPECT_EQ(joinPath("Data", "a.dat"), std::string("Data") + kPathSeparator + "a.dat");
}

TEST(FormatText, FormatsAndAppendsLongTexts) {
    EXPECT_EQ(formatText("%s(MainLine=%d)", "기계와 통신이 되지 않습니다", 1151),
              "기계와 통신이 되지 않습니다(MainLine=1151)");
    const std::string longText(3000, 'k');
    std::string out = "<";
    appendFormat(out, "%s>%.3f", longText.c_str(), 0.1);
    EXPECT_EQ(out, "<" + longText + ">0.100");
    EXPECT_EQ(formatText("%s", ""), "");
}

} // namespace
} // namespace quillon

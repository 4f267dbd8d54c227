#include <gtest/gtest.h>

#include "control/key_stream.h"
#include "control/macro_compiler.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::hex;
using testing::labelLine;
using testing::makeLine;
using testing::Page;
using testing::rowOf;

TEST(CompileEditMacro, KeyALine) {
    Page page;
    page.add(makeLine(1, {{8, rowOf(0x04)}}));
    auto result = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(hex(result->code), "01 04 EE");
}

TEST(CompileEditMacro, RepeatEndAddressPointsAfterTheEnd) {
    Page page;
    page.add(makeLine(88, {{8, 0}, {16, 3}}));
    page.add(makeLine(103));
    auto result = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(hex(result->code), "58 00 00 03 00 07 67 EE");
}

struct CodeCase {
    const char* name;
    std::vector<EditLine> lines;
    const char* code;
};

class CompileCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CompileCodes, EmitsTheKindTableBytes) {
    Page page;
    for (const EditLine& line : GetParam().lines) page.add(line);
    auto result = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(hex(result->code), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CompileCodes,
    ::testing::Values(
        CodeCase{"KeyDownUpPress", {makeLine(1, {{8, rowOf(0xE4)}}), makeLine(2, {{8, rowOf(0xE4)}}), makeLine(3, {{8, rowOf(0x28)}})},
                 "01 E4 02 E4 03 28 EE"},
        CodeCase{"KeyIfBlock", {makeLine(67, {{8, rowOf(0x05)}}), makeLine(22, {{8, 0}}), makeLine(96)},
                 "43 05 00 06 16 60 EE"},
        CodeCase{"ButtonIfBlock", {makeLine(77, {{8, 1}}), makeLine(97)}, "4D 00 04 61 EE"},
        CodeCase{"RemoteIf", {makeLine(81, {{20, 7}}), makeLine(120, {{20, 250}}), makeLine(99)},
                 "51 07 00 07 78 FA 63 EE"},
        CodeCase{"RepeatCompareBoth", {makeLine(89, {{8, 1}, {20, 2}, {24, 1}, {28, 2}, {32, 9}}), makeLine(98)},
                 "59 01 21 00 02 00 09 00 0A 62 EE"},
        CodeCase{"RepeatCompareRightOnly", {makeLine(89, {{8, 0}, {20, 0}, {24, -1}, {28, 0}, {32, 5}}), makeLine(98)},
                 "59 00 03 00 00 00 05 00 0A 62 EE"},
        CodeCase{"AbsoluteMove", {makeLine(28, {{16, 960}, {20, 540}, {32, 1920}, {36, 1080}})},
                 "1C 25 81 17 71 07 80 04 38 EE"},
        CodeCase{"RelativeMoveNegative", {makeLine(31, {{16, -5}, {20, 300}, {32, 800}, {36, 600}})},
                 "1F FF FB 01 2C 03 20 02 58 EE"},
        CodeCase{"FpsLeftUp", {makeLine(32, {{12, 10}, {20, 1}, {16, 3}, {24, 1}})}, "20 F6 FD EE"},
        CodeCase{"FpsRightDown", {makeLine(32, {{12, 10}, {20, 0}, {16, 3}, {24, 0}})}, "20 0A 03 EE"},
        CodeCase{"Remembered", {makeLine(37, {{24, 2}}), makeLine(38, {{24, 2}, {16, -1}, {20, 1}, {32, 10}, {36, 20}}), makeLine(39, {{24, 7}})},
                 "25 02 26 02 FF FF 00 01 00 0A 00 14 27 07 EE"},
        CodeCase{"RandomMoveToRememberedMovesThere", {makeLine(40, {{24, 3}})}, "27 03 EE"},
        CodeCase{"Scroll", {makeLine(41, {{20, 255}}), makeLine(42, {{20, 1}})}, "29 FF 2A 01 EE"},
        CodeCase{"Delays", {makeLine(112, {{16, 1500}}), makeLine(113, {{20, 1}, {24, 65000}})}, "70 05 DC 71 00 01 FD E8 EE"},
        CodeCase{"OneByteKinds", {makeLine(48), makeLine(50), makeLine(52, {{8, 1}}), makeLine(56), makeLine(105), makeLine(136), makeLine(141), makeLine(224), makeLine(225)},
                 "30 32 34 38 69 88 8D E0 E1 EE"},
        CodeCase{"JumpBeforeLabelResolvesForward", {labelLine(153, "loop"), makeLine(224), labelLine(152, "loop")},
                 "99 00 23 6C 6F 6F 70 00 00 00 00 00 00 00 00 00 00 00 E0 98 6C 6F 6F 70 00 00 00 00 00 00 00 00 00 00 00 EE"},
        CodeCase{"KeyIfInsideButtonIf", {makeLine(70), makeLine(64), makeLine(96), makeLine(97)},
                 "46 00 08 40 00 07 60 61 EE"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompileEditMacro, DuplicateLabelsResolveToTheFirst) {
    Page page;
    page.add(labelLine(152, "a"));
    page.add(labelLine(152, "a"));
    page.add(labelLine(153, "a"));
    auto result = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->code[33], 0x00);
    EXPECT_EQ(result->code[34], 0x10); // address after the first label
}

TEST(CompileEditMacro, TypingLineCarriesSlotAndTexts) {
    Page page;
    auto placed = placeTypingText(*page.store, *page.document, -1, "가a", 1000);
    ASSERT_TRUE(placed.ok());
    page.add(makeLine(8, {{8, *placed}}));
    auto result = compileEditMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok()) << result.message;
    // [8][slot][interval 61][4 keys][keys][speed 1000][text length 4]["가a\0" in CP949]
    EXPECT_EQ(hex(result->code), "08 00 00 3D 00 04 15 0E FE 04 03 E8 00 04 B0 A1 61 00 EE");
}

struct ErrorCase {
    const char* name;
    std::vector<EditLine> lines;
    const char* message;
};

std::vector<EditLine> repeats(int n) { return std::vector<EditLine>(n, makeLine(88, {{16, 1}})); }

class CompileErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CompileErrors, StopWithTheMessage) {
    Page page;
    for (const EditLine& line : GetParam().lines) page.add(line);
    auto result = compileEditMacro(*page.document, *page.store);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Edit, CompileErrors,
    ::testing::Values(
        ErrorCase{"AnyKeyIfInsideKeyIf", {makeLine(67, {{8, 0}}), makeLine(64)},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=2--MakLine=32751)"},
        ErrorCase{"KeyIfInsideKeyIf", {makeLine(64), makeLine(69, {{8, 0}})},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=2--MakLine=32766)"},
        ErrorCase{"KeyIfEndWithoutStart", {makeLine(224), makeLine(96)},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=2--MakLine32778)"},
        ErrorCase{"ButtonIfInsideButtonIf", {makeLine(92, {{8, 0}}), makeLine(71)},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=2--MakLine=32859)"},
        ErrorCase{"ButtonIfEndWithoutStart", {makeLine(97)},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=1--MakLine=32871)"},
        ErrorCase{"RemoteIfInsideRemoteIf", {makeLine(80), makeLine(48), makeLine(81)},
                  "시작<-->끝의 짝이 맞지 않습니다.(3줄--33006)"},
        ErrorCase{"RemoteIfEndWithoutStart", {makeLine(99)},
                  "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=1--MakLine=33019)"},
        ErrorCase{"CompareInsideCompare", {makeLine(89, {{24, 0}, {28, -1}}), makeLine(89, {{24, 0}, {28, -1}})},
                  "반복횟수 비교문장 안에 또 다른 반복횟수 비교문장이 들어갈 수 없습니다."},
        ErrorCase{"CompareEndWithoutStart", {makeLine(224), makeLine(224), makeLine(98)},
                  "3줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다."},
        ErrorCase{"SixNestedRepeats", repeats(6), "반복문은 5단계까지만 중첩이 가능합니다."},
        ErrorCase{"RepeatEndWithoutStart", {makeLine(103)}, "1줄에서 반복시작과 반복끝의 짝이 맞지 않습니다."},
        ErrorCase{"MissingLabel", {labelLine(152, "가나"), labelLine(153, "다라")}, "인식표 [다라]가 없습니다."},
        ErrorCase{"OpenButtonIfAtEnd", {makeLine(70), makeLine(64)},
                  "버튼클릭 비교문의 시작<-->끝의 짝이 맞지 않습니다.(MakLine=33093)"},
        ErrorCase{"OpenKeyIfAtEnd", {makeLine(88, {{16, 1}}), makeLine(64)},
                  "키입력 비교문의 시작<-->끝의 짝이 맞지 않습니다.(MakLine=33099)"},
        ErrorCase{"OpenRepeatAtEnd", {makeLine(89, {{24, 0}, {28, -1}}), makeLine(88, {{16, 1}})},
                  "줄에서 반복시작과 반복끝의 짝이 맞지 않습니다.(MakLine=33105)"},
        ErrorCase{"OpenCompareAtEnd", {makeLine(80), makeLine(89, {{24, 0}, {28, -1}})},
                  "줄에서 반복횟수 비교의 시작과 끝이 맞지 않습니다.(MakLine=33111)"},
        ErrorCase{"OpenRemoteIfAtEnd", {makeLine(80)},
                  "원격명령 비교문의 시작<-->끝의 짝이 맞지 않습니다.(MakLine=33117)"},
        ErrorCase{"PlayMemoryIsNotAnEditKind", {makeLine(208, {{12, 1}})}, "1줄의 내용이 올바르지 않습니다."},
        ErrorCase{"TypingLineWithoutText", {makeLine(8, {{8, 5}})}, "1줄의 내용이 올바르지 않습니다."},
        ErrorCase{"AbsoluteMoveWithoutReference", {makeLine(28, {{16, 1}})}, "1줄의 내용이 올바르지 않습니다."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompileEditMacro, CodeOfExactly32768BytesIsAcceptedOneMoreIsRefused) {
    for (int extra : {0, 1}) {
        Page page;
        // 3,640 nine-byte moves + 7 one-byte lines + the end byte = 32,768.
        for (int i = 0; i < 3640; ++i) page.add(makeLine(30));
        for (int i = 0; i < 7; ++i) page.add(makeLine(224));
        for (int i = 0; i < extra; ++i) page.add(makeLine(224));
        auto result = compileEditMacro(*page.document, *page.store);
        if (extra == 0) {
            ASSERT_TRUE(result.ok()) << result.message;
            EXPECT_EQ(result->code.size(), 32768u);
        } else {
            EXPECT_FALSE(result.ok());
            EXPECT_EQ(result.message, "매크로 길이가 너무 깁니다.");
        }
    }
}

TEST(CompileCombinationMacro, PlaysMemoriesAndSetsTheirBits) {
    Page page;
    page.add(makeLine(208, {{12, 8}}));
    page.add(makeLine(209, {{12, 31}}));
    auto result = compileCombinationMacro(*page.document, *page.store);
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(hex(result->code), "D0 08 D1 1F EE");
    EXPECT_EQ(result->recordedSet, 0x00000100u);
    EXPECT_EQ(result->editSet, 0x80000000u);
}

TEST(CompileCombinationMacro, MessagesCarryComLine) {
    Page page;
    page.add(makeLine(96));
    auto result = compileCombinationMacro(*page.document, *page.store);
    EXPECT_EQ(result.message, "시작<-->끝의 짝이 맞지 않습니다.(CodeLine=1--ComLine42778)");
    Page open;
    open.add(makeLine(70));
    EXPECT_EQ(compileCombinationMacro(*open.document, *open.store).message,
              "버튼클릭 비교문의 시작<-->끝의 짝이 맞지 않습니다.(ComLine=43093)");
}

} // namespace
} // namespace quillon::control

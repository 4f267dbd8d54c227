#include <gtest/gtest.h>

#include <cstring>

#include "base/text.h"
#include "control/key_stream.h"
#include "control/line_kinds.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::makeLine;
using testing::rowOf;

TEST(FormatSeconds, DropsTrailingZerosDownToOneDigit) {
    const std::pair<int, const char*> cases[] = {{1500, "1.5"},   {1250, "1.25"}, {2000, "2.0"},  {1, "0.001"},
                                                 {65000, "65.0"}, {1010, "1.01"}, {1001, "1.001"}, {0, "0.0"}};
    for (auto [ms, shown] : cases) EXPECT_EQ(formatSeconds(ms), shown) << ms;
}

struct SentenceCase {
    EditLine line;
    const char* sentence;
    uint32_t colour;
};

TEST(Sentences, EveryFamilyWithItsColour) {
    const SentenceCase cases[] = {
        {makeLine(1, {{8, rowOf(0x04)}}), "[ A  ]키를 누른다.", 0},
        {makeLine(2, {{8, rowOf(0x28)}}), "눌린 [ 엔터 ]키를 뗀다.", 0},
        {makeLine(49, {{8, rowOf(0xE4)}}), "[ 오른쪽Ctrl  ]키를 누를때까지 대기...", 0xF20079},
        {makeLine(68, {{8, rowOf(0x29)}}), "만약 [ Esc ]키를 누르면(1회 통과) {", 0xFF8080},
        {makeLine(96), "} 만약 [아무키/키] 끝", 0xFF8080},
        {makeLine(25, {{8, 0}}), "[왼쪽]버튼을 더블클릭한다.", 0},
        {makeLine(20, {{8, 1}}), "[가운데]버튼을 뗀다.", 0},
        {makeLine(53, {{8, 2}}), "[오른쪽]버튼을 누를때까지 대기.....", 0xFF00},
        {makeLine(94, {{8, 2}}), "만약 [오른쪽]버튼을 누르면(1회 실행) {", 0xCA00},
        {makeLine(70), "만약 [아무]버튼이나 누르면(계속 실행) {", 0xCA00},
        {makeLine(41, {{20, 3}}), "위로 3칸 스크롤", 0},
        {makeLine(28, {{16, 10}, {20, 20}}), "마우스를 [X=10, Y=20]로 이동", 0},
        {makeLine(31, {{16, -3}, {20, 4}}), "이전위치에서 [X=-3, Y=4]만큼 랜덤이동", 0},
        {makeLine(32, {{12, 5}, {20, 1}, {16, 7}, {24, 0}}), "<FPS 마우스이동> 좌로 5, 아래로 7 이동한다.", 0},
        {makeLine(37, {{24, 0}}), "현재좌표를 [기억좌표1]에 기억시킨다.", 0},
        {makeLine(38, {{24, 7}, {16, 1}, {20, -2}}), "[기억좌표8]를 (X=1,Y=-2)만큼 이동시킨다.", 0},
        {makeLine(88, {{8, 4}, {16, 65000}}), "반복 [E] 시작(65000회) {.", 0x4080FF},
        {makeLine(105), "반복 탈출", 0x3D96D1},
        {makeLine(89, {{8, 0}, {20, 3}, {24, 1}, {28, -1}}), "만약 3<=반복[A] 이면 {", 0x53CF5},
        {makeLine(89, {{8, 1}, {24, -1}, {28, 2}, {32, 9}}), "만약 반복[B]<9 이면 {", 0x53CF5},
        {makeLine(89, {{8, 2}, {20, 1}, {24, 0}, {28, 1}, {32, 4}}), "만약 1=반복[C]<=4 이면 {", 0x53CF5},
        {makeLine(112, {{16, 1500}}), "1.5초 동안 대기한다.", 0},
        {makeLine(113, {{20, 1250}, {24, 2000}}), "1.25 ~ 2.0초 동안 대기한다.", 0},
        {makeLine(120, {{20, 12}}), "연결된 기계로 명령 [ 12 ]를 보낸다.", 0xF00000},
        {makeLine(81, {{20, 0}}), "만약 연결된 기계로부터 명령 [ 0 ]가 오면 {", 0xF00000},
        {makeLine(138), "노랑불을 켠다.", 0x1B00D2},
        {testing::labelLine(153, "처음으로"), "<==이름표 [처음으로]로 동작이동", 0x1B00D2},
        {makeLine(208, {{12, 13}}), "2-6녹화매크로를 재생한다", 0xFF8000},
        {makeLine(209, {{12, 31}}), "4-8편집매크로를 재생한다", 0x8000FF},
    };
    auto store = newTextStore();
    for (const SentenceCase& c : cases) {
        EditLine line = c.line;
        rebuildSentence(line, *store);
        EXPECT_EQ(lineDisplayText(line), c.sentence) << line.kind;
        EXPECT_EQ(line.colour, c.colour) << line.kind;
        EXPECT_EQ(static_cast<size_t>(line.sentenceLength), std::strlen(line.sentence));
    }
}

TEST(Sentences, TypingLineShowsTheStartOfItsTextWithinTheField) {
    auto document = newMacroDocument();
    auto store = newTextStore();
    std::string text = "첫줄\r\n" + std::string(60, 'x');
    auto placed = placeTypingText(*store, *document, -1, text, 300);
    ASSERT_TRUE(placed.ok());
    EditLine line = makeLine(8, {{8, *placed}});
    rebuildSentence(line, *store);
    // 38 CP949 bytes of the text: "첫줄" (4), two blanks, 32 x.
    EXPECT_EQ(lineDisplayText(line), "문장 출력 [첫줄  " + std::string(32, 'x') + " ...]");
    EXPECT_LT(line.sentenceLength, kSentenceSize);
}

TEST(Sentences, MemoAndIndentAreDrawnAroundTheSentence) {
    auto store = newTextStore();
    EditLine line = makeLine(224);
    line.indent = 2;
    setMemo(line, "끝");
    rebuildSentence(line, *store);
    EXPECT_EQ(lineDisplayText(line), "\t\t매크로를 종료한다.\t\t//끝");
}

TEST(Sentences, LongMemoIsCutAtACharacterBoundary) {
    EditLine line{};
    setMemo(line, std::string(126, 'a') + "가");
    EXPECT_EQ(line.memoLength, 126);
    EXPECT_EQ(std::string(line.memo), std::string(126, 'a'));
}

struct StreamCase {
    const char* text;
    const char* keys;
};

TEST(TextToKeyStream, TwoSetLayout) {
    const StreamCase cases[] = {
        {"가a", "15 0E FE 04"},
        {"닭", "08 0E 09 15"},
        {"가A!", "15 0E FE 84 9E"},
        {"A!", "FE 84 9E"},
        {"1 ,", "1E 2C 36"},           // no mode change for digits and signs
        {"까", "95 0E"},               // ㄲ with Shift
        {"얘예", "07 92 07 93"},       // ㅒ and ㅖ with Shift
        {"왜", "07 0B 12"},            // ㅙ = H then O
        {"의", "07 10 0F"},            // ㅢ = M then L
        {"값", "15 0E 14 17"},         // ㅄ = Q then T
        {"있", "07 0F 97"},            // final ㅆ with Shift
        {"a\r\nb", "FE 04 28 05"},     // CR is Enter, LF is dropped
        {"ab가", "FE 04 05 FE 15 0E"},
        {"\t~", "B5"},                  // a tab has no key
    };
    for (const StreamCase& c : cases) {
        EXPECT_EQ(testing::hex(textToKeyStream(text::utf8ToCp949(c.text))), c.keys) << c.text;
    }
}

TEST(TypingSlots, NewLinesTakeTheLowestFreeSlotAndAFullStoreRefuses) {
    auto document = newMacroDocument();
    auto store = newTextStore();
    store->slots[0].inUse = 1;
    auto placed = placeTypingText(*store, *document, -1, "x", 600);
    ASSERT_TRUE(placed.ok());
    EXPECT_EQ(*placed, 1);
    EXPECT_EQ(store->slots[1].interval, 101);
    EXPECT_EQ(store->slots[1].textLength, 2);
    for (auto& slot : store->slots) slot.inUse = 1;
    auto full = placeTypingText(*store, *document, -1, "y", 600);
    EXPECT_FALSE(full.ok());
    EXPECT_EQ(full.message, "문장 저장 공간이 가득 찼습니다.\n필요없는 문장출력 명령을 삭제한 후 다시 시도해주세요.");
    EXPECT_EQ(placeTypingText(*store, *document, -1, "", 600).message, "타이핑할 문장을 입력해주세요");
    EXPECT_EQ(placeTypingText(*store, *document, -1, "x", 0).message, "타자 속도를 입력해주세요");
}

TEST(TypingSlots, AModifiedSharedLineMovesToAFreeSlot) {
    auto document = newMacroDocument();
    auto store = newTextStore();
    auto first = placeTypingText(*store, *document, -1, "same", 600);
    document->lines[0] = makeLine(8, {{8, *first}});
    document->lines[1] = makeLine(8, {{8, *first}});
    document->head.lineCount = 2;
    // Same text: the shared slot is rewritten in place.
    EXPECT_EQ(*placeTypingText(*store, *document, 1, "same", 900), *first);
    // A different text would change the other line too: it goes elsewhere.
    auto moved = placeTypingText(*store, *document, 1, "other", 600);
    ASSERT_TRUE(moved.ok());
    EXPECT_NE(*moved, *first);
    EXPECT_STREQ(store->slots[*first].text, "same");
    // A line alone on its slot rewrites it.
    document->lines[1] = makeLine(8, {{8, *moved}});
    EXPECT_EQ(*placeTypingText(*store, *document, 1, "third", 600), *moved);
}

TEST(TypingSlots, TextLongerThanTheSlotIsRefused) {
    auto document = newMacroDocument();
    auto store = newTextStore();
    std::string longText;
    for (int i = 0; i < 17000; ++i) longText += "가";
    EXPECT_FALSE(placeTypingText(*store, *document, -1, longText, 600).ok());
    EXPECT_EQ(store->slots[0].inUse, 0);
}

} // namespace
} // namespace quillon::control

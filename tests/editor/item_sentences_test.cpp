#include <gtest/gtest.h>

#include "editor/item_sentences.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

// A model with one object of each kind, all in slot 0 (pattern image in 1).
class SentenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(addImage(model, "버튼"), 0);
        ASSERT_EQ(addImage(model, "별", true), 1);
        int slot = -1;
        ASSERT_TRUE(model.addArea(200, 150, 0, "", slot).ok);
        ASSERT_TRUE(model.addCursor(1, "", slot).ok);
        ASSERT_TRUE(model.addNumberPack("", slot).ok);
        ASSERT_TRUE(model.storeSentence(0, "인사", "안녕", 300).ok);
        targetId = appendItem(model, "로그인");
    }
    AnalyzerModel model;
    KeyTable keys{KeyNames::AnalyzerEditor};
    AnalyzerNames names{model, keys};
    int32_t targetId = 0;
};

struct Case {
    const char* what;
    std::string expected;
    std::function<std::string(const AnalyzerNames&)> render;
};

std::function<std::string(const AnalyzerNames&)> cond(Condition c) {
    return [c](const AnalyzerNames& n) { return conditionSentence(c, n); };
}
std::function<std::string(const AnalyzerNames&)> cmd(Command c) {
    return [c](const AnalyzerNames& n) { return commandSentence(c, n); };
}

Condition withByte(Condition c, size_t offset, uint8_t value) {
    c.body[offset] = value;
    return c;
}
Condition with16(Condition c, size_t offset, uint16_t value) {
    storeLe16(c.body + offset, value);
    return c;
}
Command withColour(Command c, uint8_t blue, uint8_t green, uint8_t red) {
    c.body[60] = blue;
    c.body[61] = green;
    c.body[62] = red;
    return c;
}

TEST_F(SentenceTest, Conditions) {
    Condition dateTime = condition(CondDateTime, {{4, 1}});
    dateTime = withByte(dateTime, 8, 0x40 | 0x10 | 0x04 | 0x01);
    dateTime = with16(with16(with16(with16(dateTime, 12, 2026), 16, 2), 20, 9), 24, 30);
    const Case cases[] = {
        {"variable, no operators", "{변수000 } (X,Y 모두 비교)이면", cond(condition(CondVariable))},
        {"variable, both sides",
         "{3 < 변수002 ≤ 변수007 } (Y만 비교)이면",
         cond(condition(CondVariable, {{4, 2}, {12, 3}, {20, 1}, {24, 2}, {28, 2}, {32, 1}, {36, 7}}))},
        {"variable, low variable only", "{변수001 ≠ 변수005 } (X만 비교)이면",
         cond(condition(CondVariable, {{4, 1}, {8, 1}, {12, 1}, {20, 4}, {24, 5}}))},
        {"timer against seconds", "타이머3 ≥ 15 이면", cond(condition(CondTimer, {{12, 3}, {20, 15}}))},
        {"timer against timer", "타이머3 < 타이머4 이면",
         cond(condition(CondTimer, {{4, 1}, {8, 1}, {12, 3}, {16, 4}}))},
        {"date and time", "일시 < [ 2026년 화요일 9시 30초 ]", cond(dateTime)},
        {"state", "매크로가 일시정지 상태이면", cond(condition(CondState, {{4, 2}}))},
        {"image at image, same image", "[버튼] 위치의 이미지가 [[패턴]별] 이미지와 같은 이미지이면",
         cond(condition(CondImage, {{4, 5}, {8, 3}, {12, 1}, {16, 0}}))},
        {"fixed point against colour", "(12,34) 위치의 이미지가 색값[빨강=18,녹색=52,파랑=86]과 다른 이미지이면",
         cond(condition(CondImage, {{4, 4}, {8, 2}, {20, 12}, {24, 34}, {28, 1}, {40, 0x123456}}))},
        {"variable point against variable", "[변수004] 위치의 이미지가 [변수009] 이미지와 같은 이미지이면",
         cond(condition(CondImage, {{4, 1}, {8, 1}, {12, 9}, {16, 4}}))},
        {"range search for image, numbered", "[인식범위-1]범위 안에 [버튼]이미지와 [2]번째로 같은 이미지가 있으면",
         cond(condition(CondRangeSearch, {{4, 5}, {8, 0}, {16, 0}, {24, 2}}))},
        {"range search for colour, variable match",
         "[인식범위-1]범위 안에 색값[빨강=255,녹색=0,파랑=1]과 [변수003]번째로 같은 이미지가 없으면",
         cond(condition(CondRangeSearch, {{4, 4}, {20, 1}, {24, 3}, {28, 1}, {56, 0xFF0001}}))},
        {"cursor differs", "현재의 커서가 [커서-01]와 다르면", cond(condition(CondCursor, {{8, 0}, {12, 1}}))},
        {"any key", "만약 아무키나 눌리면", cond(condition(CondKey))},
        {"given key", "만약 [ A ]키가 눌리면", cond(condition(CondKey, {{4, 1}, {8, 0}}))},
        {"minus key in the editor's names", "만약 [ - ]키가 눌리면", cond(condition(CondKey, {{4, 1}, {8, 41}}))},
        {"all keys up", "만약 모든 키가 떨어져 있으면", cond(condition(CondKey, {{4, 2}}))},
        {"remote", "[17] 원격제어명령이 오면", cond(condition(CondRemote, {{4, 17}}))},
        {"no item delay", "** 항목 지연시간을 적용하지 않는다 **", cond(condition(CondNoItemDelay, {{4, 1}}))},
        {"image slot out of range shows blank", "[] 위치의 이미지가 ",
         cond(condition(CondImage, {{4, 0}, {8, 3}, {16, 999999}}))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.render(names), c.expected) << c.what;
    }
}

TEST_F(SentenceTest, Commands) {
    const Case cases[] = {
        {"key press", "[Esc] 키를 누른다.", cmd(command(CmdKey, {{4, 0}, {8, 37}}))},
        {"key release", "[F1 ] 키를 뗀다.", cmd(command(CmdKey, {{4, 1}, {8, 53}}))},
        {"key tap", "[엔터] 키를 눌렀다 뗀다.", cmd(command(CmdKey, {{4, 2}, {8, 36}}))},
        {"type variable", "[변수010]를 타이핑한다.", cmd(command(CmdKey, {{4, 3}, {16, 10}}))},
        {"press left", "왼쪽버튼을 누른다", cmd(command(CmdMouse, {{4, 0}, {16, 1}}))},
        {"release right", "오른쪽버튼을 뗀다", cmd(command(CmdMouse, {{4, 1}, {16, 2}}))},
        {"click", "가운데버튼을 클릭한다(0.050초)", cmd(command(CmdMouse, {{4, 2}, {16, 4}, {52, 50}}))},
        {"double click", "왼쪽버튼을 더블클릭한다(1.005초)", cmd(command(CmdMouse, {{4, 3}, {16, 1}, {52, 1005}}))},
        {"scroll up", "위로 2만큼 스크롤한다.", cmd(command(CmdMouse, {{4, 4}, {20, 2}}))},
        {"scroll down", "아래로 3만큼 스크롤한다.", cmd(command(CmdMouse, {{4, 4}, {20, -3}}))},
        {"move window", "창모드 좌표(10,20)로 이동한다.", cmd(command(CmdMouse, {{4, 5}, {32, 10}, {36, 20}}))},
        {"move monitor, random", "모니터 좌표(10,20)로 이동한다.(2픽셀 랜덤)",
         cmd(command(CmdMouse, {{4, 5}, {8, 1}, {12, 1}, {32, 10}, {36, 20}, {60, 2}}))},
        {"move to pattern image", "[[패턴]별]이미지 위치로 이동한다.", cmd(command(CmdMouse, {{4, 6}, {24, 1}}))},
        {"move to range match", "[인식범위-1] 범위검색 일치 위치로 이동한다.", cmd(command(CmdMouse, {{4, 7}, {28, 0}}))},
        {"fps right and down", "오른쪽으로 5만큼 아래로 7만큼 FPS모드로 이동한다.",
         cmd(command(CmdMouse, {{4, 8}, {40, 5}, {44, 7}, {48, 1}}))},
        {"fps up only", "위로 4만큼 FPS모드로 이동한다.", cmd(command(CmdMouse, {{4, 8}, {44, 4}, {48, 2}}))},
        {"move to variable, random", "[변수002] 위치로 이동한다.(5픽셀 랜덤)",
         cmd(command(CmdMouse, {{4, 9}, {8, 1}, {56, 2}, {60, 5}}))},
        {"recorded macro", "녹화매크로 [2-2]를 3회 재생한다", cmd(command(CmdMacro, {{4, 0}, {8, 3}, {12, 9}}))},
        {"edit macro", "편집매크로 [4-8]를 1회 재생한다", cmd(command(CmdMacro, {{4, 1}, {8, 1}, {12, 31}}))},
        {"combination macro", "조합매크로 [5]를 2회 재생한다", cmd(command(CmdMacro, {{4, 2}, {8, 2}, {12, 5}}))},
        {"pause macro", "매크로를 일시정지 시킨다.", cmd(command(CmdMacro, {{4, 3}}))},
        {"resume macro", "일시정지 시킨 매크로를 재시작한다.", cmd(command(CmdMacro, {{4, 4}}))},
        {"stop macro", "매크로를 종료한다.", cmd(command(CmdMacro, {{4, 5}}))},
        {"timer seconds", "타이머2 = 30초", cmd(command(CmdTimer, {{8, 2}, {12, 30}}))},
        {"timer copy", "타이머2 = 타이머7", cmd(command(CmdTimer, {{4, 1}, {8, 2}, {12, 7}}))},
        {"delay", "시간지연 1.500초", cmd(command(CmdDelay, {{8, 1500}}))},
        {"random delay", "시간지연 0.200 ~ 1.000초", cmd(command(CmdDelay, {{4, 1}, {8, 200}, {12, 1000}}))},
        {"red on", "빨강불 ON", cmd(command(CmdDevice, {{4, 0}, {8, 1}}))},
        {"yellow off", "노란불 OFF", cmd(command(CmdDevice, {{4, 1}, {8, 0}}))},
        {"green on", "녹색불 ON", cmd(command(CmdDevice, {{4, 2}, {8, 1}}))},
        {"stop sound", "사운드 멈춤", cmd(command(CmdDevice, {{4, 4}}))},
        {"remote", "원격제어명령 = 250", cmd(command(CmdDevice, {{4, 5}, {16, 250}}))},
        {"pause analyzer", "분석기 일시정지", cmd(command(CmdDevice, {{4, 6}}))},
        {"unlock mouse", "마우스 풀기", cmd(command(CmdDevice, {{4, 14}}))},
        {"replace image", "[버튼]의 이미지를 현재 동작화면의 이미지로 교체", cmd(command(CmdReplaceImage, {{16, 0}}))},
        {"replace pattern", "[[패턴]별]의 이미지를 현재 동작화면의 이미지로 교체",
         cmd(command(CmdReplaceImage, {{16, 1}}))},
        {"type sentence", "[인사]를 타자한다.[300타/분]", cmd(command(CmdTypeSentence, {{4, 0}}))},
        {"read number", "[인식범위-1]에서 [숫자샘플팩-1]를 인식하여 [변수004]에 저장한다.(90%,사칙연산)",
         cmd(command(CmdReadNumber, {{8, 0}, {16, 0}, {20, 4}, {24, 90}, {28, 1}}))},
        {"read number plain", "[인식범위-1]에서 [숫자샘플팩-1]를 인식하여 [변수004]에 저장한다.(80%)",
         cmd(command(CmdReadNumber, {{20, 4}, {24, 80}}))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.render(names), c.expected) << c.what;
    }
}

TEST_F(SentenceTest, VariableCommands) {
    const Case cases[] = {
        {"number", "변수001 = 5", cmd(command(CmdVariable, {{16, 1}, {20, 5}}))},
        {"variable plus number", "변수001 = 변수002+ 3",
         cmd(command(CmdVariable, {{4, 1}, {8, 1}, {16, 1}, {20, 2}, {24, 3}}))},
        {"number divided by variable", "변수001 = 8÷ 변수004",
         cmd(command(CmdVariable, {{4, 4}, {8, 0}, {12, 1}, {16, 1}, {20, 8}, {24, 4}}))},
        {"screen point", "변수001 = 모니터 좌표[X=3,Y=4]",
         cmd(command(CmdVariable, {{8, 2}, {16, 1}, {32, 1}, {44, 3}, {48, 4}}))},
        {"recognition point", "변수001 = 인식점[[패턴]별]", cmd(command(CmdVariable, {{8, 3}, {16, 1}, {40, 1}}))},
        {"colour", "변수001 = 색값[빨강=3,녹색=2,파랑=1]", cmd(withColour(command(CmdVariable, {{8, 4}, {16, 1}}), 1, 2, 3))},
        {"range match", "변수001 = 범위검색[인식범위-1] 일치좌표",
         cmd(command(CmdVariable, {{8, 20}, {16, 1}, {40, 0}}))},
        {"previous item", "변수001 = [이전 항목번호]", cmd(command(CmdVariable, {{8, 30}, {16, 1}}))},
        {"set previous item", "[이전 항목번호] = 변수006", cmd(command(CmdVariable, {{8, 40}, {16, 1}, {20, 6}}))},
        {"random number", "변수001 = [1 ~ 6]사이의 랜덤 숫자",
         cmd(command(CmdVariable, {{8, 50}, {16, 1}, {44, 1}, {48, 6}}))},
        {"random point both", "변수001 = 창모드 랜덤좌표[X=90~110, Y=45~55]",
         cmd(command(CmdVariable, {{8, 51}, {16, 1}, {44, 100}, {48, 50}, {52, 10}, {56, 5}}))},
        {"random point x", "변수001 = 모니터 랜덤좌표[X=90~110, Y=50]",
         cmd(command(CmdVariable, {{8, 51}, {16, 1}, {32, 1}, {44, 100}, {48, 50}, {52, 10}}))},
        {"random point y", "변수001 = 창모드 랜덤좌표[X=100, Y=45~55]",
         cmd(command(CmdVariable, {{8, 51}, {16, 1}, {44, 100}, {48, 50}, {56, 5}}))},
        {"date part", "변수001 = [현재 요일]", cmd(command(CmdVariable, {{8, 60}, {16, 1}, {40, 3}}))},
        {"guarded", "{변수003 = 1 } ☞ {변수001 = 5}",
         cmd(command(CmdVariable, {{16, 1}, {20, 5}, {28, 1}, {80, 3}, {84, 3}, {92, 1}}))},
        {"guarded, low side variable", "{변수002 < 변수003 } ☞ {변수001 = 0}",
         cmd(command(CmdVariable, {{16, 1}, {28, 1}, {64, 1}, {68, 2}, {76, 1}, {80, 3}}))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.render(names), c.expected) << c.what;
    }
}

TEST_F(SentenceTest, NextLinksAndBranches) {
    NextLink toItem{};
    toItem.variable = 2;
    toItem.highOperator = 3;
    toItem.high = 10;
    toItem.targetId = targetId;
    EXPECT_EQ(nextLinkSentence(toItem, names), "{변수002 = 10 } ☞ [로그인] 분석");

    NextLink back{};
    back.kind = 100;
    back.targetId = kReturnToPrevious;
    EXPECT_EQ(nextLinkSentence(back, names), "분석항목의 조건이 거짓이면 ☞ 이전 항목으로 돌아간다");

    Item item{};
    EXPECT_EQ(branchLine(item, BranchKind::False, names), "");
    item.falseBranch = 1;
    item.falseBranchTarget = targetId;
    item.otherwiseBranch = 1;
    item.otherwiseBranchTarget = kReturnToPrevious;
    EXPECT_EQ(branchLine(item, BranchKind::False, names), "분석항목의 조건이 거짓이면 ☞ 로그인 분석");
    EXPECT_EQ(branchLine(item, BranchKind::Otherwise, names), "그 이외의 조건인 경우 ☞ 이전 항목으로 돌아간다.");
}

TEST(ItemListLine, MarksByHeadAndAlwaysScan) {
    struct Row {
        int32_t head, alwaysScan;
        const char* expected;
    };
    const Row rows[] = {
        {1, 1, "★0003 검사"}, {1, 0, "☆0003 검사"}, {0, 1, "◈0003 검사"}, {0, 0, "◇0003 검사"}};
    for (const Row& r : rows) {
        Item item{};
        item.head = r.head;
        item.alwaysScan = r.alwaysScan;
        setName(item.name, sizeof item.name, "검사");
        EXPECT_EQ(analyzer::itemListLine(item, 3), r.expected);
    }
}

} // namespace
} // namespace quillon::editor

#include <gtest/gtest.h>

#include "base/text.h"
#include "control/line_builders.h"
#include "control/line_kinds.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

TEST(LineBuilders, DialogLimitsAndMessages) {
    struct Case {
        const char* name;
        LineBuild build;
        bool ok;
        const char* text; // sentence when ok, message when not
    };
    const Case cases[] = {
        {"repeat", makeRepeatLine(0, 3), true, "반복 [A] 시작(3회) {."},
        {"repeat zero", makeRepeatLine(0, 0), false, "반복횟수는 1~65000회까지 설정하세요."},
        {"repeat too many", makeRepeatLine(1, 65001), false, "반복횟수는 1~65000회까지 설정하세요."},
        {"compare equal sides", makeRepeatCompareLine(0, 5, 1, 1, 5), true, "만약 5<=반복[A]<=5 이면 {"},
        {"compare right smaller", makeRepeatCompareLine(0, 6, 1, 1, 5), false, "[큰쪽]횟수는 반드시 [작은쪽]횟수보다 커야 합니다."},
        {"compare value too big", makeRepeatCompareLine(0, 0, -1, 0, 65001), false, "반복횟수는 1~65000회까지 설정하세요."},
        {"delay 1.5", makeDelayLine("1.5"), true, "1.5초 동안 대기한다."},
        {"delay smallest", makeDelayLine("0.001"), true, "0.001초 동안 대기한다."},
        {"delay zero", makeDelayLine("0"), false, "지연시간은 0.001~65초까지 입니다."},
        {"delay too long", makeDelayLine("65.001"), false, "지연시간은 0.001~65초까지 입니다."},
        {"delay four decimals", makeDelayLine("1.0001"), false, "지연시간은 0.001~65초까지 입니다."},
        {"delay text", makeDelayLine("abc"), false, "지연시간은 0.001~65초까지 입니다."},
        {"random delay", makeRandomDelayLine("0.5", "2"), true, "0.5 ~ 2.0초 동안 대기한다."},
        {"scroll", makeScrollLine(42, 255), true, "아래로 255칸 스크롤"},
        {"scroll zero", makeScrollLine(41, 0), false, "1~255 사이의 값을 입력해주세요."},
        {"fps", makeFpsMoveLine(200, false, 3, true), true, "<FPS 마우스이동> 우로 200, 위로 3 이동한다."},
        {"fps horizontal", makeFpsMoveLine(201, false, 0, false), false, "가로값은 200까지입니다."},
        {"fps vertical", makeFpsMoveLine(0, false, 201, false), false, "세로값은 200까지입니다."},
        {"move", makeMoveLine(0, false, 1919, 0, 0, 1920, 1080), true, "마우스를 [X=1919, Y=0]로 이동"},
        {"move outside", makeMoveLine(0, false, 1920, 0, 0, 1920, 1080), false, ""},
        {"move without screenshot", makeMoveLine(1, false, 1, 1, 0, 0, 0), false, "먼저 스크린샷 불러오기를 하셔야 합니다."},
        {"move by", makeMoveLine(1, true, -5, 7, 0, 800, 600), true, "이전위치에서 [X=-5, Y=7]만큼 랜덤이동"},
        {"remember", makeMoveLine(2, false, 0, 0, 3, 800, 600), true, "현재좌표를 [기억좌표4]에 기억시킨다."},
        {"random to remembered", makeMoveLine(4, true, 0, 0, 0, 800, 600), true, "마우스를 [기억좌표1]로 이동한다."},
        {"remote", makeRemoteLine(120, 250), true, "연결된 기계로 명령 [ 250 ]를 보낸다."},
        {"remote too big", makeRemoteLine(57, 251), false, ""},
        {"remote missing", makeRemoteLine(81, std::nullopt), false, ""},
        {"label", makeLabelLine(152, "가나다라마바사"), true, "==>이름표 [가나다라마바사]"},
        {"label of eight syllables", makeLabelLine(153, "가나다라마바사아"), false, ""},
        {"label too long", makeLabelLine(152, "123456789012345"), false, ""},
        {"play", makePlayMemoryLine(208, 8), true, "2-1녹화매크로를 재생한다"},
        {"play outside", makePlayMemoryLine(209, 32), false, ""},
        {"button", makeButtonLine(22, 2), true, "[오른쪽]버튼을 클릭한다."},
        {"key", makeKeyLine(67, testing::rowOf(0x2C)), true, "만약 [ Space ]키를 누르면(계속 반복) {"},
        {"light", makeSimpleLine(140), true, "초록불을 켠다."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.build.ok, c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(lineDisplayText(c.build.line), c.text) << c.name;
            EXPECT_EQ(c.build.line.colour, colourOfKind(c.build.line.kind)) << c.name;
        } else {
            EXPECT_EQ(c.build.message, c.text) << c.name;
        }
    }
    EXPECT_EQ(makeMoveLine(4, true, 0, 0, 0, 800, 600).line.kind, 40);
    EXPECT_EQ(P(makeDelayLine("1.5").line, 16), 1500);
    EXPECT_EQ(P(makeDelayLine("65").line, 16), 65000);
}

TEST(LineBuilders, HeadersOfThePageOptions) {
    EditMemoryHeader edit = makeEditMemoryHeader("", kFlagFps | kFlagMouseLock, 3);
    EXPECT_EQ(+edit.magic, kEditMagic);
    EXPECT_EQ(text::cp949ToUtf8(edit.name), "새로 만든 매크로");
    EXPECT_EQ(+edit.bodyLength, 3);
    CombinationMemoryHeader combination = makeCombinationMemoryHeader(std::string(45, 'c'), kFlagPlayOnce, 5, 0x100, 2);
    EXPECT_EQ(std::string(combination.name), std::string(40, 'c'));
    EXPECT_EQ(+combination.recordedSet, 0x100u);
}

} // namespace
} // namespace quillon::control

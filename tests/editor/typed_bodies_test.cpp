// One row per condition and command kind: the body a dialog's form builds,
// read back as raw words at the offsets the file format gives (independent
// of the named fields), through the named fields the runner reads (the field
// names of the description), as the item list's sentence, and as the form
// "수정 저장" fills again.
#include <gtest/gtest.h>

#include "analyzer/model_text.h"
#include "editor/forms/command_forms.h"
#include "editor/forms/condition_forms.h"
#include "tests/editor/form_test_support.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using Words = std::vector<std::pair<size_t, int32_t>>;

// The dialogs' world with a second object of each kind, so that no slot read
// back is 0 (an untouched field).
struct World : testing::FormWorld {
    World() {
        image = testing::addImage(model, "별");
        EXPECT_TRUE(model.addArea(100, 100, 0, "둘", area).ok);
        EXPECT_TRUE(model.addCursor(3, "손", cursor).ok);
        EXPECT_TRUE(model.addNumberPack("수", pack).ok);
    }
};

template <class Record>
void expectWords(const Record& r, const Words& words) {
    for (auto [offset, value] : words) EXPECT_EQ(r.at(offset), value) << "offset " << offset;
}

TEST(TypedBodies, EveryConditionKindReadsAsItsFormWrote) {
    World w;
    const int area = w.area, image = w.image, cursor = w.cursor;
    struct Row {
        ConditionForm form;
        Words words;
        std::string described, sentence;
    };
    const Row rows[] = {
        {VariableConditionForm{{"5", -1}, 1, 2, 2, {"", 3}, true, false},
         {{4, 1}, {8, 0}, {12, 5}, {20, 1}, {24, 2}, {28, 2}, {32, 1}, {36, 3}},
         "CondVariable axis=1 low=5 lowOperator=1 variable=2 highOperator=2 highIsVariable=1 high=3",
         "{5 < 변수002 ≤ 변수003 } (X만 비교)이면"},
        {TimerConditionForm{3, true, {"20", -1}}, {{4, 0}, {8, 1}, {12, 3}, {20, 20}},
         "CondTimer operator=1 timer=3 seconds=20", "타이머3 < 20 이면"},
        // 2024-03-05 is a Tuesday (weekday 2); the words pair up as 16-bit fields.
        {DateTimeConditionForm{{2024, 3, 5, 13, 45, 30}, false, 0x4A},
         {{4, 0}, {8, 0x4A}, {12, 2024 | 3 << 16}, {16, 2 | 5 << 16}, {20, 13 | 45 << 16}, {24, 30}},
         "CondDateTime parts=74 year=2024 month=3 weekday=2 day=5 hour=13 minute=45 second=30",
         "일시 ≥ [ 2024년 5일 45분 ]"},
        {MacroStateConditionForm{1}, {{4, 1}}, "CondState state=1", "매크로가 꺼져 있으면"},
        {ImageConditionForm{ImagePosition::Coordinates, -1, "10", "20", -1, ImageReference::Colour, -1, 0x112233, -1, 1,
                            "80"},
         {{4, 4}, {8, 2}, {12, 0}, {16, 0}, {20, 10}, {24, 20}, {28, 1}, {32, 80}, {40, 0x112233}},
         "CondImage compareWith=4 where=2 x=10 y=20 wantDifferent=1 similarity=80 colour=1122867",
         "(10,20) 위치의 이미지가 색값[빨강=17,녹색=34,파랑=51]과 다른 이미지이면"},
        {RangeSearchConditionForm{area, ImageReference::Image, image, std::nullopt, -1, 0, "90", 2, {"3", -1}},
         {{4, 5}, {8, area}, {12, 2}, {16, image}, {20, 0}, {24, 3}, {28, 0}, {32, 90}},
         "CondRangeSearch what=5 area=" + std::to_string(area) + " image=" + std::to_string(image) +
             " whichMatch=3 similarity=90",
         "[둘]범위 안에 [별]이미지와 [3]번째로 같은 이미지가 있으면"},
        {CursorConditionForm{cursor, true}, {{8, cursor}, {12, 1}},
         "CondCursor cursor=" + std::to_string(cursor) + " wantDifferent=1", "현재의 커서가 [손]와 다르면"},
        {KeyConditionForm{1, 5}, {{4, 1}, {8, 5}}, "CondKey mode=1 key=5",
         "만약 [ " + w.names.key(5) + "]키가 눌리면"},
        {RemoteConditionForm{"7"}, {{4, 7}}, "CondRemote number=7", "[7] 원격제어명령이 오면"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.described);
        const BuiltCondition built = build(row.form, w.ordinary);
        ASSERT_TRUE(built.ok()) << built.message;
        const Condition& c = *built;
        EXPECT_EQ(c.kind(), kindOf(row.form));
        expectWords(c, row.words);
        EXPECT_EQ(describeCondition(c), row.described);
        EXPECT_EQ(conditionSentence(c, w.names), row.sentence);
        EXPECT_EQ(formOf(c), std::optional<ConditionForm>(row.form));
    }
}

TEST(TypedBodies, EveryCommandKindReadsAsItsFormWrote) {
    World w;
    const int area = w.area, image = w.image, pack = w.pack;
    MouseCommandForm moveTo;
    moveTo.action = mouse_action::kMoveTo;
    moveTo.x = "100", moveTo.y = "200", moveTo.monitor = true, moveTo.random = true, moveTo.randomPixels = "3";
    MouseCommandForm fps;
    fps.action = mouse_action::kFpsMove;
    fps.horizontal = "5", fps.vertical = "6", fps.up = true;
    VariableCommandForm added;
    added.target = 1, added.value = {"", 2}, added.arithmetic = 1, added.right = {"7", -1};
    added.noCondition = false, added.guardLow = {"1", -1}, added.guardLowOperator = 1, added.guardVariable = 3;
    VariableCommandForm colour;
    colour.target = 4, colour.kind = ValueKind::Colour, colour.colour = 0x112233;
    DeviceCommandForm remote;
    remote.choice = device_choice::kRemote, remote.remote = "12";
    DeviceCommandForm sound;
    sound.choice = device_choice::kPlaySound, sound.soundFile = "종.wav";
    struct Row {
        CommandForm form;
        Words words;
        std::string described, sentence;
    };
    const Row rows[] = {
        {KeyCommandForm{2, 5, -1, "0.250"}, {{4, 2}, {8, 5}, {12, 250}, {16, 0}}, "CmdKey action=2 key=5",
         "[" + w.names.key(5) + "] 키를 눌렀다 뗀다."},
        {moveTo, {{4, 5}, {8, 1}, {12, 1}, {32, 100}, {36, 200}, {60, 3}},
         "CmdMouse action=5 random=1 monitorCoordinates=1 x=100 y=200 randomRange=3",
         "모니터 좌표(100,200)로 이동한다.(3픽셀 랜덤)"},
        {fps, {{4, 8}, {40, 5}, {44, 6}, {48, 3}}, "CmdMouse action=8 dx=5 dy=6 direction=3",
         "오른쪽으로 5만큼 위로 6만큼 FPS모드로 이동한다."},
        {MacroCommandForm{0, 9, "3"}, {{4, 0}, {8, 3}, {12, 9}}, "CmdMacro action=0 repeat=3 macro=9",
         "녹화매크로 [2-2]를 3회 재생한다"},
        {added, {{4, 1}, {8, 1}, {12, 0}, {16, 1}, {20, 2}, {24, 7}, {28, 1}, {64, 0}, {68, 1}, {76, 1}, {80, 3}},
         "CmdVariable operator=1 source=1 target=1 value=2 right=7 guarded=1 guardLow=1 guardLowOperator=1 "
         "guardVariable=3",
         "{1 < 변수003 } ☞ {변수001 = 변수002+ 7}"},
        {colour, {{8, 4}, {16, 4}, {60, 0x112233}}, "CmdVariable source=4 target=4 blue=51 green=34 red=17",
         "변수004 = 색값[빨강=17,녹색=34,파랑=51]"},
        {TimerCommandForm{4, {"", 7}}, {{4, 1}, {8, 4}, {12, 7}}, "CmdTimer action=1 timer=4 value=7",
         "타이머4 = 타이머7"},
        {DelayCommandForm{true, "0.100", "0.080", "0.200"}, {{4, 1}, {8, 80}, {12, 200}},
         "CmdDelay random=1 ms=80 highMs=200", "시간지연 0.080 ~ 0.200초"},
        {remote, {{4, 5}, {16, 12}}, "CmdDevice action=5 remote=12", "원격제어명령 = 12"},
        {sound, {{4, 3}, {12, 1}}, "CmdDevice action=3 carried=1 sound=\"종.wav\"", "사운드 연주 - 종.wav"},
        {ReplaceImageCommandForm{image}, {{16, image}}, "CmdReplaceImage image=" + std::to_string(image),
         "[별]의 이미지를 현재 동작화면의 이미지로 교체"},
        // "next" as the first four bytes of the name.
        {RunAnalyzerCommandForm{"next.dat"}, {{4, 0x7478656E}}, "CmdRunAnalyzer analyzer=\"next.dat\"",
         "분석기 실행: next.dat"},
        {TypingCommandForm{"인사", "안녕", "300", 0}, {{4, 0}}, "CmdTypeSentence", "[인사]를 타자한다.[300타/분]"},
        {ReadNumberCommandForm{area, pack, "85", 5, true}, {{8, area}, {16, pack}, {20, 5}, {24, 85}, {28, 1}},
         "CmdReadNumber area=" + std::to_string(area) + " pack=" + std::to_string(pack) +
             " variable=5 similarity=85 arithmetic=1",
         "[둘]에서 [수]를 인식하여 [변수005]에 저장한다.(85%,사칙연산)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.described);
        const BuiltCommand built = build(row.form, w.ordinary);
        ASSERT_TRUE(built.ok()) << built.message;
        const Command& c = *built;
        EXPECT_EQ(c.kind(), kindOf(row.form));
        expectWords(c, row.words);
        EXPECT_EQ(describeCommand(c), row.described);
        EXPECT_EQ(commandSentence(c, w.names), row.sentence);
        EXPECT_EQ(formOf(c, w.model), std::optional<CommandForm>(row.form));
    }
}

} // namespace
} // namespace quillon::editor

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "analyzer/limits.h"
#include "analyzer/sentence_keys.h"
#include "base/text.h"
#include "editor/forms/command_forms.h"
#include "editor/forms/form_kinds.h"
#include "tests/editor/form_test_support.h"

namespace quillon::editor {
namespace {

using testing::FormWorld;
using F = CommandField;
using analyzer::Command;
namespace m = mouse_action;

NumberOrSlot typed(const char* text) { return {text, -1}; }
NumberOrSlot chosen(int slot) { return {"", slot}; }

template <class Form, class Change>
Form with(Form form, Change change) {
    change(form);
    return form;
}
MouseCommandForm mouse(int action) {
    MouseCommandForm f;
    f.action = action;
    return f;
}
VariableCommandForm assign(ValueKind kind) {
    VariableCommandForm f;
    f.kind = kind;
    return f;
}
DelayCommandForm fixedDelay(const char* seconds) { return {false, seconds, "0.080", "0.200"}; }
DeviceCommandForm device(int choice) {
    DeviceCommandForm f;
    f.choice = choice;
    return f;
}
TypingCommandForm typing(std::string text, const char* speed = "300") { return {"인사", std::move(text), speed, -1}; }

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// Every check of every command dialog, with the row's sentence when it is built.
TEST(CommandForms, EveryCheckOfEveryDialog) {
    FormWorld w;
    const FormContext* ctx = &w.ordinary;
    const FormContext* bare = &w.empty;
    // "갃" takes four strokes (ㄱ ㅏ and the two keys of ㄳ) in two bytes.
    const std::string strokes512 = repeated("갃", 128);
    ASSERT_EQ(analyzer::sentenceKeyCodes(text::utf8ToCp949(strokes512)).size(), 512u);
    const VariableCommandForm number = with(assign(ValueKind::NumberOrVariable), [](auto& f) { f.value = typed("5"); });
    const VariableCommandForm randomPoint = with(assign(ValueKind::RandomPoint), [](auto& f) {
        f.x = "200";
        f.y = "150";
        f.spreadX = "199";
        f.spreadY = "149";
    });
    struct Case {
        const char* name;
        CommandForm form;
        const FormContext* context;
        const char* text;
        const char* check = nullptr;
        F field = F::None;
    };
    const Case cases[] = {
        // "키보드 설정"
        {"press and release", KeyCommandForm{2, 0, -1, "0.100"}, ctx, "[A ] 키를 눌렀다 뗀다."},
        {"type a variable", KeyCommandForm{3, -1, 2, "0.100"}, ctx, "[변수002]를 타이핑한다."},
        {"no key", KeyCommandForm{0, -1, -1, "0.100"}, ctx, "키를 눌러 입력해주세요.", "key", F::Key},
        {"no variable", KeyCommandForm{3, 0, -1, "0.100"}, ctx, "", "variable", F::Variable},
        {"action 4", KeyCommandForm{4, 0, -1, "0.100"}, ctx, "", "action", F::Action},
        {"interval text", KeyCommandForm{2, 0, -1, "빠르게"}, ctx, "시간을 초 단위의 숫자로 입력해주세요.", "interval",
         F::Interval},
        // "마우스 설정"
        {"right click", with(mouse(m::kClick), [](auto& f) { f.button = MouseButton::Right; f.interval = "0.25"; }),
         ctx, "오른쪽버튼을 클릭한다(0.250초)"},
        {"middle press", with(mouse(m::kPress), [](auto& f) { f.button = MouseButton::Middle; }), ctx,
         "가운데버튼을 누른다"},
        {"scroll down", with(mouse(m::kScroll), [](auto& f) { f.scrollUp = false; f.scrollSteps = "3"; }), ctx,
         "아래로 3만큼 스크롤한다."},
        {"scroll 128", with(mouse(m::kScroll), [](auto& f) { f.scrollSteps = "128"; }), ctx,
         "스크롤할 칸수를 입력해주세요.(1~127)", "scroll steps", F::ScrollSteps},
        {"move to", with(mouse(m::kMoveTo), [](auto& f) { f.x = "10"; f.y = "20"; f.monitor = true; f.random = true; f.randomPixels = "5"; }),
         ctx, "모니터 좌표(10,20)로 이동한다.(5픽셀 랜덤)"},
        {"move no x", with(mouse(m::kMoveTo), [](auto& f) { f.y = "20"; }), ctx, "이동할 좌표를 입력해주세요.", "x", F::X},
        {"move no y", with(mouse(m::kMoveTo), [](auto& f) { f.x = "20"; }), ctx, "이동할 좌표를 입력해주세요.", "y", F::Y},
        {"random without pixels", with(mouse(m::kMoveTo), [](auto& f) { f.x = f.y = "1"; f.random = true; f.randomPixels = ""; }),
         ctx, "랜덤픽셀수를 입력해주세요.(기본값은 2)", "random pixels", F::RandomPixels},
        {"to image", with(mouse(m::kMoveToImage), [&](auto& f) { f.image = w.image; }), ctx, "[버튼]이미지 위치로 이동한다."},
        {"to image none chosen", mouse(m::kMoveToImage), ctx, "이동할 이미지를 선택하세요.", "image", F::Image},
        {"to image none made", mouse(m::kMoveToImage), bare, "인식이미지를 선택하세요.", "no images", F::Image},
        {"to match", with(mouse(m::kMoveToRangeMatch), [&](auto& f) { f.area = w.area; }), ctx,
         "[영역] 범위검색 일치 위치로 이동한다."},
        {"to match none chosen", mouse(m::kMoveToRangeMatch), ctx, "일치 검색 시 이동할 범위를 선택하세요.", "area", F::Area},
        {"to match none made", mouse(m::kMoveToRangeMatch), bare, "인식범위를 선택하세요.", "no areas", F::Area},
        {"fps", with(mouse(m::kFpsMove), [](auto& f) { f.horizontal = "10"; f.vertical = "5"; f.up = true; }), ctx,
         "오른쪽으로 10만큼 위로 5만큼 FPS모드로 이동한다."},
        {"fps horizontal", with(mouse(m::kFpsMove), [](auto& f) { f.horizontal = ""; }), ctx,
         "가로 이동거리를 입력하세요.", "horizontal", F::Horizontal},
        {"fps vertical 128", with(mouse(m::kFpsMove), [](auto& f) { f.vertical = "128"; }), ctx,
         "세로 이동거리는 0에서 127까지 입력할 수 있습니다.", "vertical", F::Vertical},
        {"fps horizontal -1", with(mouse(m::kFpsMove), [](auto& f) { f.horizontal = "-1"; }), ctx,
         "가로 이동거리는 0에서 127까지 입력할 수 있습니다.", "horizontal", F::Horizontal},
        {"to variable", with(mouse(m::kMoveToVariable), [](auto& f) { f.variable = 1; }), ctx, "[변수001] 위치로 이동한다."},
        {"to no variable", mouse(m::kMoveToVariable), ctx, "", "variable", F::Variable},
        {"click interval", with(mouse(m::kDoubleClick), [](auto& f) { f.interval = "-1"; }), ctx,
         "시간을 초 단위의 숫자로 입력해주세요.", "interval", F::Interval},
        {"mouse action 10", mouse(10), ctx, "", "action", F::Action},
        // "매크로 설정"
        {"recorded 2-2", MacroCommandForm{0, 9, "3"}, ctx, "녹화매크로 [2-2]를 3회 재생한다"},
        {"repeat 65000", MacroCommandForm{1, 4, "65000"}, ctx, "편집매크로 [1-5]를 65000회 재생한다"},
        {"combination", MacroCommandForm{2, 0, "0"}, ctx, "조합매크로 [0]를 0회 재생한다"},
        {"stop", MacroCommandForm{5, 0, ""}, ctx, "매크로를 종료한다."},
        {"repeat 65001", MacroCommandForm{0, 9, "65001"}, ctx, analyzer::message::kBadRepeatCount, "repeat", F::Repeat},
        {"repeat empty", MacroCommandForm{0, 9, ""}, ctx, analyzer::message::kBadRepeatCount, "repeat", F::Repeat},
        {"empty recorded", MacroCommandForm{0, 0, "1"}, ctx, "녹화매크로 [1-1]는 녹화된 내용이 없습니다.",
         "empty recorded", F::Macro},
        {"empty edit", MacroCommandForm{1, 31, "1"}, ctx, "편집매크로 [4-8]는 저장된 내용이 없습니다.", "empty edit",
         F::Macro},
        {"empty combination", MacroCommandForm{2, 2, "1"}, ctx, "조합매크로 [3]는 저장된 내용이 없습니다.",
         "empty combination", F::Macro},
        {"combination 8", MacroCommandForm{2, 8, "1"}, ctx, "", "macro", F::Macro},
        {"macro action 6", MacroCommandForm{6, 0, "1"}, ctx, "", "action", F::Action},
        // "변수"
        {"number", number, ctx, "변수000 = 5"},
        {"plus a variable", with(number, [](auto& f) { f.arithmetic = 1; f.right = chosen(1); }), ctx,
         "변수000 = 5+ 변수001"},
        {"guarded",
         with(number, [](auto& f) { f.noCondition = false; f.guardLow = typed("3"); f.guardLowOperator = 1; f.guardVariable = 1; }),
         ctx, "{3 < 변수001 } ☞ {변수000 = 5}"},
        {"image point", with(assign(ValueKind::ImagePoint), [&](auto& f) { f.image = w.image; }), ctx, "변수000 = 인식점[버튼]"},
        {"colour", with(assign(ValueKind::Colour), [](auto& f) { f.colour = 0x102030; }), ctx,
         "변수000 = 색값[빨강=16,녹색=32,파랑=48]"},
        {"screen point", with(assign(ValueKind::ScreenPoint), [](auto& f) { f.x = "7"; f.y = "8"; }), ctx,
         "변수000 = 창모드 좌표[X=7,Y=8]"},
        {"range match", with(assign(ValueKind::RangeMatch), [&](auto& f) { f.area = w.area; }), ctx,
         "변수000 = 범위검색[영역] 일치좌표"},
        {"save previous", assign(ValueKind::SavePreviousItem), ctx, "변수000 = [이전 항목번호]"},
        {"load previous", with(assign(ValueKind::LoadPreviousItem), [](auto& f) { f.loadFrom = 4; }), ctx,
         "[이전 항목번호] = 변수004"},
        {"random number", with(assign(ValueKind::RandomNumber), [](auto& f) { f.low = "1"; f.high = "6"; }), ctx,
         "변수000 = [1 ~ 6]사이의 랜덤 숫자"},
        {"random point", randomPoint, ctx, "변수000 = 창모드 랜덤좌표[X=1~399, Y=1~299]"},
        {"date part", with(assign(ValueKind::DateTime), [](auto& f) { f.datePart = 3; }), ctx, "변수000 = [현재 요일]"},
        {"no target", with(number, [](auto& f) { f.target = 50; }), ctx, "", "target", F::Target},
        {"kind 10", assign(static_cast<ValueKind>(10)), ctx, "", "kind", F::ValueKind},
        {"guard bad operator", with(number, [](auto& f) { f.noCondition = false; f.guardLowOperator = 7; }), ctx, "",
         "guard operator"},
        {"guard low", with(number, [](auto& f) { f.noCondition = false; f.guardLowOperator = 1; }), ctx,
         "낮은쪽 변수값을 입력하거나 변수를 선택해주세요.", "guard low"},
        {"guard high", with(number, [](auto& f) { f.noCondition = false; f.guardHighOperator = 2; }), ctx,
         "높은쪽 변수값을 입력하거나 변수를 선택해주세요.", "guard high"},
        {"no value", with(number, [](auto& f) { f.target = 2; f.value = typed(""); }), ctx,
         "변수002에 대입할 변수값을 입력하거나 변수를 선택해주세요.", "value", F::Value},
        {"arithmetic 5", with(number, [](auto& f) { f.arithmetic = 5; }), ctx, "", "arithmetic"},
        {"no right", with(number, [](auto& f) { f.arithmetic = 4; }), ctx,
         "계산에 사용할 오른쪽 변수값을 입력하거나 변수를 선택해주세요.", "right", F::RightValue},
        {"no image", assign(ValueKind::ImagePoint), ctx, "변수에 대입할 이미지(인식점)을 선택해주세요.", "image", F::Image},
        {"colour not picked", assign(ValueKind::Colour), ctx, "이미지를 벗어나지 않는 위치의 좌표를 선택해주세요.",
         "colour", F::Colour},
        {"no x", with(assign(ValueKind::ScreenPoint), [](auto& f) { f.y = "1"; }), ctx, "X좌표에 값을 입력해주세요.", "x", F::X},
        {"no y", with(assign(ValueKind::ScreenPoint), [](auto& f) { f.x = "1"; }), ctx, "Y좌표에 값을 입력해주세요.", "y", F::Y},
        {"no area", assign(ValueKind::RangeMatch), ctx, "변수에 대입할 검색범위를 선택해주세요.", "area", F::Area},
        {"no load variable", assign(ValueKind::LoadPreviousItem), ctx, "이전항목 불러오기의 변수를 선택해주세요.",
         "load from", F::Variable},
        {"no low", with(assign(ValueKind::RandomNumber), [](auto& f) { f.high = "6"; }), ctx, "낮은쪽 수를 입력해주세요.",
         "low", F::LowValue},
        {"high not above low", with(assign(ValueKind::RandomNumber), [](auto& f) { f.low = f.high = "6"; }), ctx,
         "높은쪽 수를 입력해주세요.\n낮은쪽 수보다 반드시 커야 합니다.", "high", F::HighValue},
        {"no spread", with(randomPoint, [](auto& f) { f.spreadY = ""; }), ctx, "가로(X),세로(Y) 편차를 넣어주세요.",
         "spread", F::SpreadX},
        {"centre outside", with(randomPoint, [](auto& f) { f.x = "400"; }), ctx,
         "이미지를 벗어나지 않는 위치의 좌표를 선택해주세요.", "point outside", F::X},
        {"spread y outside", with(randomPoint, [](auto& f) { f.spreadY = "150"; }), ctx,
         "이미지를 벗어나지 않는 크기의 세로(Y) 편차를 넣어주세요.", "spread y outside", F::SpreadY},
        {"spread x outside", with(randomPoint, [](auto& f) { f.spreadX = "200"; }), ctx,
         "이미지를 벗어나지 않는 크기의 가로(X) 편차를 넣어주세요.", "spread x outside", F::SpreadX},
        {"monitor point not bounded", with(randomPoint, [](auto& f) { f.monitor = true; f.spreadX = "500"; }), ctx,
         "변수000 = 모니터 랜덤좌표[X=-300~700, Y=1~299]"},
        {"date part 7", with(assign(ValueKind::DateTime), [](auto& f) { f.datePart = 7; }), ctx, "", "date part",
         F::DatePart},
        // "타이머"
        {"timer seconds", TimerCommandForm{2, typed("30")}, ctx, "타이머2 = 30초"},
        {"timer timer", TimerCommandForm{2, chosen(3)}, ctx, "타이머2 = 타이머3"},
        {"timer value", TimerCommandForm{2, typed("")}, ctx, "타이머2에 대입할 타이머값을 입력하거나 타이머를 선택해주세요.",
         "value", F::TimerValue},
        {"timer 50", TimerCommandForm{50, typed("1")}, ctx, "", "timer", F::Timer},
        // "시간 지연"
        {"half a millisecond", fixedDelay("0.0005"), ctx, "시간지연 0.000초"},
        {"1.5 seconds", fixedDelay("1.5"), ctx, "시간지연 1.500초"},
        {"random defaults", DelayCommandForm{true, "0.100", "0.080", "0.200"}, ctx, "시간지연 0.080 ~ 0.200초"},
        {"delay text", fixedDelay("abc"), ctx, "시간을 초 단위의 숫자로 입력해주세요.", "seconds", F::Seconds},
        {"delay low", DelayCommandForm{true, "", "", "1"}, ctx, "시간을 초 단위의 숫자로 입력해주세요.", "low",
         F::LowSeconds},
        {"delay high", DelayCommandForm{true, "", "1", "1..2"}, ctx, "시간을 초 단위의 숫자로 입력해주세요.", "high",
         F::HighSeconds},
        // "기계 제어"
        {"red off", with(device(device_choice::kRed), [](auto& f) { f.lightOn[0] = false; }), ctx, "빨강불 OFF"},
        {"green on", device(device_choice::kGreen), ctx, "녹색불 ON"},
        {"remote 250", with(device(device_choice::kRemote), [](auto& f) { f.remote = "250"; }), ctx, "원격제어명령 = 250"},
        {"sound", with(device(device_choice::kPlaySound), [](auto& f) { f.soundFile = "딩동.wav"; }), ctx,
         "사운드 연주 - 딩동.wav"},
        {"computer off", device(9), ctx, "컴퓨터 OFF"},
        {"restart is disabled", device(device_choice::kResumeAnalyzer), ctx, "", "choice", F::Action},
        {"remote 251", with(device(device_choice::kRemote), [](auto& f) { f.remote = "251"; }), ctx,
         "반대쪽 기계에 보낼 명령(숫자)을 입력해주세요.", "remote", F::RemoteNumber},
        {"remote text", with(device(device_choice::kRemote), [](auto& f) { f.remote = "a"; }), ctx,
         "반대쪽 기계에 보낼 명령(숫자)을 입력해주세요.", "remote", F::RemoteNumber},
        {"no sound", device(device_choice::kPlaySound), ctx, "올바른 사운드(.wav)파일을 선택해주세요.", "sound", F::Sound},
        {"sound outside its folder", with(device(device_choice::kPlaySound), [](auto& f) { f.soundFile = "..\\a.wav"; }),
         ctx, "올바른 사운드(.wav)파일을 선택해주세요.", "sound", F::Sound},
        // "인식이미지 교체"
        {"replace", ReplaceImageCommandForm{w.image}, ctx, "[버튼]의 이미지를 현재 동작화면의 이미지로 교체"},
        {"replace nothing", ReplaceImageCommandForm{-1}, ctx, "인식이미지를 선택하세요.", "image", F::Image},
        // "분석기 교체"
        {"run", RunAnalyzerCommandForm{"다음.dat"}, ctx, "분석기 실행: 다음.dat"},
        {"run a path", RunAnalyzerCommandForm{"C:\\x\\다음.dat"}, ctx, "", "file name", F::FileName},
        {"run nothing", RunAnalyzerCommandForm{""}, ctx, "", "file name", F::FileName},
        // "자동 타자"
        {"typing", typing("안녕 Hi"), ctx, "[인사]를 타자한다.[300타/분]"},
        {"512 strokes", typing(strokes512), ctx, "[인사]를 타자한다.[300타/분]"},
        {"513 strokes", typing(strokes512 + "1"), ctx, analyzer::message::kSentenceTooLong, "too long", F::Sentence},
        {"speed 0", typing("a", "0"), ctx, "분당 타자 속도를 입력해주세요", "speed", F::Speed},
        {"no name", TypingCommandForm{"", "a", "300", -1}, ctx, "문장의 이름을 입력해주세요", "name", F::Name},
        {"no text", typing(""), ctx, "타이핑할 문장을 입력해주세요", "text", F::Sentence},
        // "숫자인식 설정"
        {"read number", ReadNumberCommandForm{w.area, w.pack, "90", 3, true}, ctx,
         "[영역]에서 [숫자]를 인식하여 [변수003]에 저장한다.(90%,사칙연산)"},
        {"read no area", ReadNumberCommandForm{-1, w.pack, "90", 3, false}, ctx, "범위를 먼저 설정해주세요.", "area",
         F::Area},
        {"read no pack", ReadNumberCommandForm{w.area, -1, "90", 3, false}, ctx, "넘버팩을 선택해주세요.", "pack",
         F::NumberPack},
        {"read no variable", ReadNumberCommandForm{w.area, w.pack, "90", -1, false}, ctx,
         "결과를 저장할 변수를 선택해주세요.", "variable", F::Variable},
        {"read similarity 101", ReadNumberCommandForm{w.area, w.pack, "101", 3, false}, ctx,
         analyzer::message::kBadSameness, "similarity", F::Similarity},
    };
    std::map<int32_t, std::set<std::string>> met;
    for (const Case& t : cases) {
        const BuiltCommand built = build(t.form, *t.context);
        EXPECT_EQ(built.ok(), t.check == nullptr) << t.name << ": " << built.message;
        if (built.ok()) {
            EXPECT_EQ(commandSentence(*built, w.names), t.text) << t.name;
            EXPECT_EQ(built->kind(), kindOf(t.form)) << t.name;
        } else {
            EXPECT_EQ(built.message, t.text) << t.name;
            EXPECT_STREQ(built.check, t.check) << t.name;
            EXPECT_EQ(built.field, t.field) << t.name;
            met[kindOf(t.form)].insert(built.check);
        }
    }
    // The sentence table full: the 100 entries taken.
    for (int i = 0; i < analyzer::kSentenceCapacity; ++i) {
        if (w.model.firstFreeSentence() >= 0) {
            ASSERT_TRUE(build(typing("a"), w.ordinary).ok());
        }
    }
    const BuiltCommand full = build(typing("a"), w.ordinary);
    EXPECT_EQ(full.message, analyzer::message::kSentenceTableFull);
    met[analyzer::CmdTypeSentence].insert(full.check);
    // A 51st command is refused first, with the dialog's own text.
    for (const CommandDialogKind& k : commandDialogKinds()) {
        const BuiltCommand built = k.build(k.blank(), w.full);
        EXPECT_EQ(built.message, commandLimitMessage(k.kind)) << k.title;
        met[k.kind].insert(built.check);
    }
    for (const CommandDialogKind& k : commandDialogKinds()) {
        for (const CommandCheck& check : commandChecks(k.kind)) {
            EXPECT_TRUE(met[k.kind].count(check.id)) << k.title << ": " << check.id;
        }
    }
}

// The "변수" dialog disables the boxes its value kind does not use: whatever
// they hold, the row is the same, and a used box left empty is refused.
TEST(CommandForms, VariableKindsReadOnlyTheFieldsTheDialogOffers) {
    FormWorld w;
    VariableCommandForm filled;
    filled.target = 1;
    filled.value = typed("7");
    filled.arithmetic = 1;
    filled.right = typed("2");
    filled.image = w.image;
    filled.colour = 0x102030;
    filled.x = "10";
    filled.y = "20";
    filled.area = w.area;
    filled.loadFrom = 3;
    filled.low = "1";
    filled.high = "9";
    filled.spreadX = "2";
    filled.spreadY = "3";
    filled.datePart = 2;
    for (int k = 0; k < kValueKindCount; ++k) {
        const ValueKind kind = static_cast<ValueKind>(k);
        SCOPED_TRACE(valueKindLabel(kind));
        const auto uses = [kind](CommandField field) { return valueKindUses(kind, field); };
        VariableCommandForm used = filled, other = filled, emptied = filled;
        used.kind = other.kind = emptied.kind = kind;
        if (!uses(F::Target)) other.target = -1;
        if (!uses(F::Value)) other.value = typed("");
        if (!uses(F::RightValue)) other.right = chosen(999);
        if (!uses(F::RightValue)) other.arithmetic = 9;
        if (!uses(F::Image)) other.image = -1;
        if (!uses(F::Colour)) other.colour.reset();
        if (!uses(F::X)) other.x = "x", other.monitor = true;
        if (!uses(F::Y)) other.y = "";
        if (!uses(F::Area)) other.area = -1;
        if (!uses(F::Variable)) other.loadFrom = -1;
        if (!uses(F::LowValue)) other.low = "";
        if (!uses(F::HighValue)) other.high = "";
        if (!uses(F::SpreadX)) other.spreadX = "";
        if (!uses(F::SpreadY)) other.spreadY = "";
        if (!uses(F::DatePart)) other.datePart = 9;
        const BuiltCommand a = build(used, w.ordinary), b = build(other, w.ordinary);
        ASSERT_TRUE(a.ok()) << a.message;
        ASSERT_TRUE(b.ok()) << b.message;
        EXPECT_EQ(std::memcmp(&*a.value, &*b.value, sizeof(Command)), 0);
        // The other way round: the kind's own boxes matter.
        emptied.target = -1;
        emptied.value = typed("");
        emptied.image = emptied.area = emptied.loadFrom = -1;
        emptied.colour.reset();
        emptied.x = emptied.y = emptied.low = emptied.high = emptied.spreadX = emptied.spreadY = "";
        emptied.datePart = 9;
        EXPECT_FALSE(build(emptied, w.ordinary).ok());
    }
}

TEST(CommandForms, TimesAreTruncatedMillisecondsShownWithThreeDecimals) {
    struct Case {
        const char* typed;
        std::optional<int32_t> ms;
    } cases[] = {{"0.0005", 0}, {"0.001", 1}, {"4.35", 4350}, {"1.9999", 1999}, {" 2 ", 2000}, {".5", 500},
                 {"", std::nullopt}, {"-0.1", std::nullopt}, {"1e3", std::nullopt}, {"3000000", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(parseSeconds(c.typed), c.ms) << c.typed;
    EXPECT_EQ(secondsText(100), "0.100");
    EXPECT_EQ(secondsText(4350), "4.350");
    EXPECT_EQ(formOf(*build(fixedDelay("0.0005"), FormContext{}).value, FormWorld().model),
              CommandForm(fixedDelay("0.000")));
}

TEST(CommandForms, FieldsTheRunnerReads) {
    FormWorld w;
    const Command key = *build(KeyCommandForm{2, 0, -1, "0.100"}, w.ordinary);
    EXPECT_EQ(key.at(12), 100); // hold between press and release
    const Command click = *build(with(mouse(m::kDoubleClick), [](auto& f) { f.button = MouseButton::Right; }), w.ordinary);
    EXPECT_EQ(click.at(16), 2);
    EXPECT_EQ(click.at(52), 100);
    const Command toImage = *build(with(mouse(m::kMoveToImage), [&](auto& f) { f.image = w.image; }), w.ordinary);
    EXPECT_EQ(toImage.at(24), w.image);
    EXPECT_EQ(toImage.at(32), 50); // the image's centre
    EXPECT_EQ(toImage.at(36), 50);
    const Command fps = *build(with(mouse(m::kFpsMove), [](auto& f) { f.right = false; f.up = true; }), w.ordinary);
    EXPECT_EQ(fps.at(48), 2);
    const Command sound = *build(with(device(device_choice::kPlaySound), [](auto& f) { f.soundFile = "a.wav"; }), w.ordinary);
    EXPECT_EQ(sound.at(12), 1); // carried in the analyzer file
    const Command delay = *build(DelayCommandForm{true, "", "0.080", "0.200"}, w.ordinary);
    EXPECT_EQ(delay.at(4), 1);
    EXPECT_EQ(delay.at(8), 80);
    EXPECT_EQ(delay.at(12), 200);
    const Command colour = *build(with(assign(ValueKind::Colour), [](auto& f) { f.colour = 0x102030; }), w.ordinary);
    EXPECT_EQ(colour.body[60], 0x30); // blue, green, red
    EXPECT_EQ(colour.body[62], 0x10);
}

// Speed v gives t = 60000 / v split into t / 2 pressed and the rest released.
TEST(CommandForms, TypingSpeedSplitsEachStroke) {
    FormWorld w;
    struct Case {
        const char* speed;
        int down, up;
    } cases[] = {{"300", 100, 100}, {"7", 4285, 4286}, {"60000", 0, 1}};
    for (const Case& c : cases) {
        const Command command = *build(typing("가A", c.speed), w.ordinary);
        const analyzer::TypingSentence& s = w.model.sentenceTable().sentences[command.at(4)];
        EXPECT_EQ(s.keyDownMs, c.down) << c.speed;
        EXPECT_EQ(s.keyUpMs, c.up) << c.speed;
        EXPECT_EQ(s.keyCount, 4) << c.speed; // ㄱ ㅏ, the toggle, Shift+A
    }
    // Changing the row rewrites its own sentence, not a new one.
    const Command first = *build(typing("하나"), w.ordinary);
    auto form = std::get<TypingCommandForm>(*formOf(first, w.model));
    EXPECT_EQ(form.text, "하나");
    form.text = "둘";
    const Command changed = *build(form, w.ordinary);
    EXPECT_EQ(changed.at(4), first.at(4));
    EXPECT_EQ(text::cp949ToUtf8(analyzer::fixedText(w.model.sentenceTable().sentences[first.at(4)].text)), "둘");
}

TEST(CommandForms, OpeningRefusalsThatCloseTheDialog) {
    FormWorld w;
    EXPECT_EQ(commandOpeningRefusal(analyzer::CmdReadNumber, w.bare, 0, false), "범위를 먼저 설정해주세요.");
    int area = -1;
    ASSERT_TRUE(w.bare.addArea(10, 10, 0, "", area).ok);
    EXPECT_EQ(commandOpeningRefusal(analyzer::CmdReadNumber, w.bare, 0, false), "숫자팩을 만들어 주세요.");
    EXPECT_EQ(commandOpeningRefusal(analyzer::CmdRunAnalyzer, w.bare, 50, false), "최대 명령수를 초과하였습니다.");
    EXPECT_EQ(commandOpeningRefusal(analyzer::CmdReadNumber, w.model, 50, false), "최대 실행명령 수를 초과하였습니다.");
    EXPECT_EQ(commandOpeningRefusal(analyzer::CmdReadNumber, w.model, 50, true), std::nullopt);
}

} // namespace
} // namespace quillon::editor

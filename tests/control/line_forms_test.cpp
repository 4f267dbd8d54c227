#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/text.h"
#include "control/forms/line_forms.h"
#include "control/key_stream.h"
#include "control/line_kinds.h"
#include "control/memory_headers.h"
#include "tests/control/control_test_support.h"

namespace quillon::control {
namespace {

using testing::Page;
using testing::rowOf;

struct Contexts {
    Page page;
    ZeroedPtr<TextStore> fullStore = newTextStore();
    LineFormContext ordinary;
    LineFormContext noScreenshot;
    LineFormContext editPage; // not a combination page
    LineFormContext full;     // every text slot taken
    LineFormContext noStore;

    Contexts() {
        ordinary = {true, 1920, 1080, page.store.get(), page.document.get()};
        noScreenshot = ordinary;
        noScreenshot.screenWidth = noScreenshot.screenHeight = 0;
        editPage = ordinary;
        editPage.combination = false;
        for (TextSlot& slot : fullStore->slots) slot.inUse = 1;
        full = ordinary;
        full.store = fullStore.get();
        noStore = ordinary;
        noStore.store = nullptr;
    }
};

MoveLineForm move(MoveChoice choice, bool random, int x, int y, int slot = 0) {
    return MoveLineForm{choice, random, x, y, slot, {}};
}
RepeatLineForm compare(int left, int leftOp, int rightOp, int right) {
    return RepeatLineForm{kind::kRepeatCompare, 0, 1, left, leftOp, rightOp, right, {}};
}
DelayLineForm delay(const char* seconds) { return DelayLineForm{false, seconds, {}, {}, {}}; }
DelayLineForm randomDelay(const char* lower, const char* upper) { return DelayLineForm{true, {}, lower, upper, {}}; }

// Every check of every dialog, with what the dialog shows when it passes.
TEST(LineForms, EveryCheckOfEveryDialog) {
    Contexts c;
    struct Case {
        const char* name;
        LineForm form;
        const LineFormContext* context;
        const char* text; // sentence when built, message when refused
        const char* check = nullptr; // the refusing check; null when built
        LineField field = LineField::None;
    };
    const LineFormContext* ctx = &c.ordinary;
    const std::string longText(kMaxTypingCharacters + 1, 'a');
    const Case cases[] = {
        // "키보드 동작"
        {"key", KeyLineForm{67, rowOf(0x2C), {}}, ctx, "만약 [ Space ]키를 누르면(계속 반복) {"},
        {"any key", KeyLineForm{48, -1, {}}, ctx, "[아무]키나 누를때까지 대기..."},
        {"unknown key", KeyLineForm{1, 100000, {}}, ctx, "", "key", LineField::Key},
        {"not a key kind", KeyLineForm{22, 0, {}}, ctx, "", "kind", LineField::Kind},
        // "마우스 버튼 동작"
        {"button", ButtonLineForm{22, 2, 1, {}}, ctx, "[오른쪽]버튼을 클릭한다."},
        {"once", ButtonLineForm{92, 1, 1, {}}, ctx, "만약 [가운데]버튼을 누르면(1회 실행) {"},
        {"any button", ButtonLineForm{50, 7, 1, {}}, ctx, "[아무]버튼이나 누를때까지 대기....."},
        {"no such button", ButtonLineForm{16, 3, 1, {}}, ctx, "", "button", LineField::Button},
        {"middle of a family", ButtonLineForm{17, 0, 1, {}}, ctx, "", "kind", LineField::Kind},
        {"scroll", ButtonLineForm{42, 0, 255, {}}, ctx, "아래로 255칸 스크롤"},
        {"scroll zero", ButtonLineForm{41, 0, 0, {}}, ctx, "1~255 사이의 값을 입력해주세요.", "scroll count",
         LineField::ScrollCount},
        {"scroll 256", ButtonLineForm{42, 0, 256, {}}, ctx, "1~255 사이의 값을 입력해주세요.", "scroll count",
         LineField::ScrollCount},
        // "마우스 이동"
        {"move", move(MoveChoice::ToPoint, false, 1919, 1079), ctx, "마우스를 [X=1919, Y=1079]로 이동"},
        {"x outside", move(MoveChoice::ToPoint, false, 1920, 0), ctx, "", "x outside", LineField::X},
        {"y outside", move(MoveChoice::ToPoint, true, 0, 1080), ctx, "", "y outside", LineField::Y},
        {"negative point", move(MoveChoice::ToPoint, false, -1, 0), ctx, "", "x outside", LineField::X},
        {"without screenshot", move(MoveChoice::ByDistance, false, 1, 1), &c.noScreenshot,
         "먼저 스크린샷 불러오기를 하셔야 합니다.", "screenshot"},
        {"move by", move(MoveChoice::ByDistance, true, -5, 7), ctx, "이전위치에서 [X=-5, Y=7]만큼 랜덤이동"},
        {"distance beyond 16 bits", move(MoveChoice::ShiftRemembered, false, 0, 32768, 1), ctx, "", "y outside",
         LineField::Y},
        {"remember", move(MoveChoice::Remember, false, 0, 0, 3), ctx, "현재좌표를 [기억좌표4]에 기억시킨다."},
        {"no such slot", move(MoveChoice::ToRemembered, false, 0, 0, 8), ctx, "", "slot", LineField::Slot},
        {"no such choice", move(static_cast<MoveChoice>(5), false, 0, 0), ctx, "", "choice", LineField::Kind},
        // "FPS 마우스이동"
        {"fps", FpsMoveLineForm{200, false, 3, true, {}}, ctx, "<FPS 마우스이동> 우로 200, 위로 3 이동한다."},
        {"fps horizontal", FpsMoveLineForm{201, false, 0, false, {}}, ctx, "가로값은 200까지입니다.", "horizontal",
         LineField::Horizontal},
        {"fps vertical", FpsMoveLineForm{0, false, 201, false, {}}, ctx, "세로값은 200까지입니다.", "vertical",
         LineField::Vertical},
        // "시간지연"
        {"delay 1.5", delay("1.5"), ctx, "1.5초 동안 대기한다."},
        {"delay smallest", delay("0.001"), ctx, "0.001초 동안 대기한다."},
        {"delay longest", delay("65"), ctx, "65.0초 동안 대기한다."},
        {"delay zero", delay("0"), ctx, "지연시간은 0.001~65초까지 입니다.", "seconds", LineField::Seconds},
        {"delay too long", delay("65.001"), ctx, "지연시간은 0.001~65초까지 입니다.", "seconds", LineField::Seconds},
        {"delay four decimals", delay("1.0001"), ctx, "지연시간은 0.001~65초까지 입니다.", "seconds",
         LineField::Seconds},
        {"delay text", delay("abc"), ctx, "지연시간은 0.001~65초까지 입니다.", "seconds", LineField::Seconds},
        {"random delay", randomDelay("0.5", "2"), ctx, "0.5 ~ 2.0초 동안 대기한다."},
        {"random delay upside down", randomDelay("2", "0.5"), ctx, "2.0 ~ 0.5초 동안 대기한다."},
        {"random lower", randomDelay("", "2"), ctx, "지연시간은 0.001~65초까지 입니다.", "lower",
         LineField::LowerSeconds},
        {"random upper", randomDelay("1", "66"), ctx, "지연시간은 0.001~65초까지 입니다.", "upper",
         LineField::UpperSeconds},
        // "구간 반복"
        {"repeat", RepeatLineForm{88, 0, 3, 0, 0, 0, 0, {}}, ctx, "반복 [A] 시작(3회) {."},
        {"repeat once", RepeatLineForm{88, 0, 1, 0, 0, 0, 0, {}}, ctx, "반복 [A] 시작(1회) {."},
        {"repeat most", RepeatLineForm{88, 4, 65000, 0, 0, 0, 0, {}}, ctx, "반복 [E] 시작(65000회) {."},
        {"repeat end", RepeatLineForm{103, 0, 0, 0, 0, 0, 0, {}}, ctx, "} 반복 끝."},
        {"repeat zero", RepeatLineForm{88, 0, 0, 0, 0, 0, 0, {}}, ctx, "반복횟수는 1~65000회까지 설정하세요.", "count",
         LineField::Count},
        {"repeat too many", RepeatLineForm{88, 1, 65001, 0, 0, 0, 0, {}}, ctx, "반복횟수는 1~65000회까지 설정하세요.",
         "count", LineField::Count},
        {"repeat name F", RepeatLineForm{88, 5, 3, 0, 0, 0, 0, {}}, ctx, "", "name", LineField::RepeatName},
        {"not a repeat kind", RepeatLineForm{112, 0, 3, 0, 0, 0, 0, {}}, ctx, "", "kind", LineField::Kind},
        {"compare equal sides", compare(5, 1, 1, 5), ctx, "만약 5<=반복[A]<=5 이면 {"},
        {"compare left only", compare(3, 2, 3, 0), ctx, "만약 3<반복[A] 이면 {"},
        {"compare right only", compare(0, 3, 0, 9), ctx, "만약 반복[A]=9 이면 {"},
        {"compare right smaller", compare(6, 1, 1, 5), ctx, "[큰쪽]횟수는 반드시 [작은쪽]횟수보다 커야 합니다.",
         "right below left", LineField::RightValue},
        {"compare right too big", compare(0, 3, 0, 65001), ctx, "반복횟수는 1~65000회까지 설정하세요.", "right value",
         LineField::RightValue},
        {"compare left too big", compare(65001, 0, 3, 0), ctx, "반복횟수는 1~65000회까지 설정하세요.", "left value",
         LineField::LeftValue},
        {"compare no side", compare(1, 3, 3, 2), ctx, "", "no side", LineField::LeftOperator},
        {"compare operator", compare(1, 4, 3, 2), ctx, "", "operator", LineField::LeftOperator},
        // "원격 제어"
        {"remote", RemoteLineForm{120, 250, {}}, ctx, "연결된 기계로 명령 [ 250 ]를 보낸다."},
        {"remote any", RemoteLineForm{56, std::nullopt, {}}, ctx, "연결된 기계로부터 [아무 명령]이나 올때까지 기다린다."},
        {"remote too big", RemoteLineForm{57, 251, {}}, ctx, "", "number", LineField::Number},
        {"remote missing", RemoteLineForm{81, std::nullopt, {}}, ctx, "", "number", LineField::Number},
        {"not a remote kind", RemoteLineForm{136, 1, {}}, ctx, "", "kind", LineField::Kind},
        // "장치 제어"
        {"light", MachineControlLineForm{140, {}, {}}, ctx, "초록불을 켠다."},
        {"label", MachineControlLineForm{152, "가나다라마바사", {}}, ctx, "==>이름표 [가나다라마바사]"},
        {"label of eight syllables", MachineControlLineForm{153, "가나다라마바사아", {}}, ctx,
         "이름표는 14바이트(한글 7자, 영문 14자)까지 쓸 수 있습니다.", "label too long", LineField::Label},
        {"label too long", MachineControlLineForm{152, "123456789012345", {}}, ctx,
         "이름표는 14바이트(한글 7자, 영문 14자)까지 쓸 수 있습니다.", "label too long", LineField::Label},
        {"label empty", MachineControlLineForm{153, "", {}}, ctx, "이름표를 입력해주세요.", "label", LineField::Label},
        {"not a machine kind", MachineControlLineForm{120, {}, {}}, ctx, "", "kind", LineField::Kind},
        // "문장 입력"
        {"typing", TypingLineForm{"안녕\r\nHi", 300, {}}, ctx, "문장 출력 [안녕  Hi ...]"},
        {"typing no speed", TypingLineForm{"a", 0, {}}, ctx, "타자 속도를 입력해주세요", "speed", LineField::Speed},
        {"typing no text", TypingLineForm{"", 100, {}}, ctx, "타이핑할 문장을 입력해주세요", "text", LineField::Text},
        {"typing too long", TypingLineForm{longText, 100, {}}, ctx, "문장이 너무 깁니다.", "too long", LineField::Text},
        {"typing store full", TypingLineForm{"a", 100, {}}, &c.full,
         "문장 저장 공간이 가득 찼습니다.\n필요없는 문장출력 명령을 삭제한 후 다시 시도해주세요.", "store full",
         LineField::Text},
        {"typing without store", TypingLineForm{"a", 100, {}}, &c.noStore, "", "no store", LineField::Text},
        // "녹화 매크로" / "편집 매크로"
        {"play", PlayMemoryLineForm{208, 8, {}}, ctx, "2-1녹화매크로를 재생한다"},
        {"play outside", PlayMemoryLineForm{209, 32, {}}, ctx, "", "index", LineField::MemoryIndex},
        {"play on the edit page", PlayMemoryLineForm{209, 1, {}}, &c.editPage, "", "combination only",
         LineField::Kind},
        {"not a play kind", PlayMemoryLineForm{8, 1, {}}, ctx, "", "kind", LineField::Kind},
    };
    std::map<LineDialog, std::set<std::string>> met;
    for (const Case& t : cases) {
        BuiltLine built = build(t.form, *t.context);
        EXPECT_EQ(built.ok(), t.check == nullptr) << t.name;
        if (built.ok()) {
            EXPECT_EQ(lineDisplayText(*built.value), t.text) << t.name;
            EXPECT_EQ(built.value->colour, colourOfKind(built.value->kind)) << t.name;
            EXPECT_EQ(dialogOf(t.form), findLineKind(built.value->kind)->dialog) << t.name;
        } else {
            EXPECT_EQ(built.message, t.text) << t.name;
            EXPECT_STREQ(built.check, t.check) << t.name;
            EXPECT_EQ(built.field, t.field) << t.name;
            met[dialogOf(t.form)].insert(built.check);
        }
    }
    // The table holds every refusal each dialog can give.
    for (const LineKind& k : lineKinds()) {
        for (const LineCheck& check : checksOf(k.dialog)) {
            EXPECT_TRUE(met[k.dialog].count(check.id)) << "dialog " << static_cast<int>(k.dialog) << ": " << check.id;
        }
    }
}

TEST(LineForms, ParametersTheCodeIsMadeFrom) {
    Contexts c;
    auto line = [&](const LineForm& form) { return *build(form, c.ordinary).value; };
    EXPECT_EQ(P(line(delay("1.5")), 16), 1500);
    EXPECT_EQ(P(line(delay("65")), 16), 65000);
    const EditLine random = line(move(MoveChoice::ToRemembered, true, 0, 0, 5));
    EXPECT_EQ(random.kind, kind::kMoveToRememberedRandom);
    EXPECT_EQ(P(random, 8), 1);
    EXPECT_EQ(P(random, 24), 5);
    const EditLine point = line(move(MoveChoice::ToPoint, false, 10, 20));
    EXPECT_EQ(P(point, 32), 1920);
    EXPECT_EQ(P(point, 36), 1080);
    const EditLine left = line(compare(3, 2, 3, 0));
    EXPECT_EQ(P(left, 24), 2);
    EXPECT_EQ(P(left, 28), -1); // "X": no comparison on that side
    KeyLineForm withMemo{3, rowOf(0x04), "메모"};
    EXPECT_EQ(lineDisplayText(line(withMemo)), "[ A  ]키를 눌렀다 뗀다.\t\t//메모");
    EXPECT_EQ(lineDisplayText(line(KeyLineForm{3, rowOf(0x04), std::string(200, 'm')})),
              "[ A  ]키를 눌렀다 뗀다.\t\t//" + std::string(127, 'm'));
}

// P12 keeps the radio button a line was made with, except where it is data.
TEST(LineForms, TwelfthWordHoldsTheDialogsChoice) {
    Contexts c;
    struct Case {
        const char* name;
        LineForm form;
        int p12;
    };
    const Case cases[] = {
        {"first key choice", KeyLineForm{1, rowOf(0x04), {}}, 0},
        {"wait for a key", KeyLineForm{49, rowOf(0x04), {}}, 4},
        {"key-if end", KeyLineForm{96, 0, {}}, 11},
        {"right double click", ButtonLineForm{25, 2, 1, {}}, 3},
        {"scroll down", ButtonLineForm{42, 0, 3, {}}, 14},
        {"move by distance", move(MoveChoice::ByDistance, false, 1, 1), 1},
        {"kind 40", move(MoveChoice::ToRemembered, true, 0, 0, 1), 4},
        {"random delay", randomDelay("1", "2"), 1},
        {"count comparison", compare(1, 1, 3, 0), 3},
        {"if a remote command", RemoteLineForm{81, 7, {}}, 4},
        {"jump", MachineControlLineForm{153, "끝", {}}, 7},
        {"typing", TypingLineForm{"a", 100, {}}, 0},
        {"fps keeps its amount", FpsMoveLineForm{150, true, 0, false, {}}, 150},
        {"play keeps its memory", PlayMemoryLineForm{209, 31, {}}, 31},
    };
    for (const Case& t : cases) {
        BuiltLine built = build(t.form, c.ordinary);
        ASSERT_TRUE(built.ok()) << t.name;
        EXPECT_EQ(P(*built.value, 12), t.p12) << t.name;
    }
    // Without a screenshot the movement dialog only tells, with the notice's caption.
    EXPECT_TRUE(build(move(MoveChoice::ToPoint, false, 0, 0), c.noScreenshot).notice);
}

// One form for every line kind: building it and reading the line back gives
// the same form, so a reopened line shows what made it.
TEST(LineForms, EveryLineKindRoundTripsThroughItsDialog) {
    Contexts c;
    std::vector<LineForm> forms;
    for (int k : {1, 2, 3, 49, 67, 68, 69}) forms.push_back(KeyLineForm{k, rowOf(0x04 + k % 20), "키"});
    for (int k : {48, 64, 65, 66, 96}) forms.push_back(KeyLineForm{k, 0, {}});
    for (int family : {16, 19, 22, 25, 51, 73, 76, 92}) {
        for (int b = 0; b < 3; ++b) forms.push_back(ButtonLineForm{family, b, 1, {}});
    }
    for (int k : {50, 70, 71, 72, 97}) forms.push_back(ButtonLineForm{k, 0, 1, "버튼"});
    forms.push_back(ButtonLineForm{41, 0, 1, {}});
    forms.push_back(ButtonLineForm{42, 0, 255, {}});
    forms.push_back(move(MoveChoice::ToPoint, false, 10, 20));
    forms.push_back(move(MoveChoice::ToPoint, true, 1919, 0));
    forms.push_back(move(MoveChoice::ByDistance, false, -3, 4));
    forms.push_back(move(MoveChoice::ByDistance, true, 32767, -32768));
    forms.push_back(move(MoveChoice::Remember, true, 0, 0, 7));
    forms.push_back(move(MoveChoice::ShiftRemembered, false, -1, 2, 3));
    forms.push_back(move(MoveChoice::ToRemembered, false, 0, 0, 1));
    forms.push_back(move(MoveChoice::ToRemembered, true, 0, 0, 2));
    forms.push_back(FpsMoveLineForm{5, true, 200, false, "fps"});
    forms.push_back(DelayLineForm{false, "1.25", "1.0", "2.0", {}});
    forms.push_back(DelayLineForm{true, "1.0", "0.001", "65.0", {}});
    forms.push_back(RepeatLineForm{88, 4, 65000, 0, 1, 3, 0, {}});
    forms.push_back(compare(1, 0, 2, 4));
    for (int k : {103, 105, 98}) forms.push_back(RepeatLineForm{k, 0, 1, 0, 1, 3, 0, {}});
    forms.push_back(TypingLineForm{"가a 닭!", 600, "문장"});
    for (int k : {120, 57, 81}) forms.push_back(RemoteLineForm{k, k, {}});
    for (int k : {56, 80, 99}) forms.push_back(RemoteLineForm{k, 0, {}});
    for (int k : {136, 137, 138, 139, 140, 141, 224, 225}) forms.push_back(MachineControlLineForm{k, {}, {}});
    forms.push_back(MachineControlLineForm{152, "처음으로", {}});
    forms.push_back(MachineControlLineForm{153, "abcdefghijklmn", {}});
    forms.push_back(PlayMemoryLineForm{208, 0, {}});
    forms.push_back(PlayMemoryLineForm{209, 31, {}});

    std::set<int> kinds;
    for (const LineForm& form : forms) {
        BuiltLine built = build(form, c.ordinary);
        ASSERT_TRUE(built.ok()) << form.index() << " " << built.check;
        kinds.insert(built.value->kind);
        auto back = formOf(*built.value, c.ordinary);
        ASSERT_TRUE(back) << built.value->kind;
        EXPECT_TRUE(*back == form) << "kind " << built.value->kind;
    }
    for (const LineKind& k : lineKinds()) EXPECT_TRUE(kinds.count(k.kind)) << "no form makes kind " << k.kind;
    EXPECT_FALSE(formOf(testing::makeLine(95), c.ordinary));
}

TEST(MemoryHeaders, HeadersOfThePageOptions) {
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

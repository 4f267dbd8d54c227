#include <gtest/gtest.h>

#include <map>
#include <set>

#include "analyzer/limits.h"
#include "editor/forms/condition_forms.h"
#include "editor/forms/form_kinds.h"
#include "tests/editor/form_test_support.h"

namespace quillon::editor {
namespace {

using testing::FormWorld;
using F = ConditionField;
using analyzer::Condition;

NumberOrSlot typed(const char* text) { return {text, -1}; }
NumberOrSlot chosen(int slot) { return {"", slot}; }

VariableConditionForm variableTest(NumberOrSlot low, int lowOp, int variable, int highOp, NumberOrSlot high) {
    return {low, lowOp, variable, highOp, high, false, false};
}
ImageConditionForm imageAt(int image, int reference, int comparison, const char* similarity) {
    ImageConditionForm f;
    f.position = ImagePosition::Image;
    f.positionImage = image;
    f.reference = ImageReference::Image;
    f.referenceImage = reference;
    f.comparison = comparison;
    f.similarity = similarity;
    return f;
}
RangeSearchConditionForm rangeSearch(int area, int image, const char* similarity, NumberOrSlot occurrence) {
    RangeSearchConditionForm f;
    f.area = area;
    f.image = image;
    f.comparison = 0;
    f.similarity = similarity;
    f.occurrence = occurrence;
    return f;
}
template <class Form, class Change>
Form with(Form form, Change change) {
    change(form);
    return form;
}

// Every check of every condition dialog, with the row's sentence when it is built.
TEST(ConditionForms, EveryCheckOfEveryDialog) {
    FormWorld w;
    const FormContext* ctx = &w.ordinary;
    const int img = w.image;
    const int rightCtrl = static_cast<int>(*w.keys.rowOfCode(0xE4));
    const ImageConditionForm image = imageAt(img, img, 0, "90");
    const RangeSearchConditionForm range = rangeSearch(w.area, img, "90", typed("30000"));
    struct Case {
        const char* name;
        ConditionForm form;
        const FormContext* context;
        const char* text;            // sentence when built, message when refused
        const char* check = nullptr; // the refusing check; null when built
        F field = F::None;
        bool notice = false;
    };
    const Case cases[] = {
        // "변수"
        {"variable test", variableTest(typed("3"), 1, 0, 2, chosen(1)), ctx, "{3 < 변수000 ≤ 변수001 } (X,Y 모두 비교)이면"},
        {"x only", with(variableTest(typed("-2"), 3, 2, 0, {}), [](auto& f) { f.compareX = true; }), ctx,
         "{-2 = 변수002 } (X만 비교)이면"},
        {"no comparison", variableTest(typed("3"), 0, 0, 0, typed("4")), ctx, "변수 조건을 설정해주세요.",
         "no comparison", F::LowOperator},
        {"operator 5", variableTest(typed("3"), 5, 0, 0, {}), ctx, "", "operator", F::LowOperator},
        {"inactive variable", variableTest(typed("3"), 1, 50, 0, {}), ctx, "변수 조건을 설정해주세요.", "variable",
         F::TestedVariable},
        {"low missing", variableTest(typed("abc"), 1, 0, 0, {}), ctx, "낮은쪽 변수값을 입력하거나 변수를 선택해주세요.",
         "low", F::LowValue},
        {"high missing", variableTest({}, 0, 0, 4, {}), ctx, "높은쪽 변수값을 입력하거나 변수를 선택해주세요.", "high",
         F::HighValue},
        // "타이머 조건"
        {"timer seconds", TimerConditionForm{3, true, typed("10")}, ctx, "타이머3 < 10 이면"},
        {"timer timer", TimerConditionForm{3, false, chosen(4)}, ctx, "타이머3 ≥ 타이머4 이면"},
        {"timer right empty", TimerConditionForm{3, false, typed("")}, ctx,
         "오른쪽 박스에 타이머값을 적거나 타이머를 선택해주세요.", "value", F::TimerValue},
        {"timer 50", TimerConditionForm{50, false, typed("1")}, ctx, "", "timer", F::Timer},
        // "년월일시분초 조건": 2026-03-04 is a Wednesday
        {"weekday only", DateTimeConditionForm{{2026, 3, 4, 9, 30, 0}, false, date_part::kWeekday}, ctx,
         "일시 ≥ [ 수요일 ]"},
        {"year and minute", DateTimeConditionForm{{2026, 3, 4, 9, 30, 0}, true, date_part::kYear | date_part::kMinute},
         ctx, "일시 < [ 2026년 30분 ]"},
        {"february 30", DateTimeConditionForm{{2026, 2, 30, 0, 0, 0}, false, 0x7F}, ctx, "", "date"},
        // "매크로 상태"
        {"macro off", MacroStateConditionForm{1}, ctx, "매크로가 꺼져 있으면"},
        {"paused is not offered", MacroStateConditionForm{2}, ctx, "", "state", F::Choice},
        {"a read branch marker is kept", MacroStateConditionForm{4}, &w.changingFull, "그 이외의 조건인 경우"},
        {"state 5", MacroStateConditionForm{5}, &w.changingFull, "", "state", F::Choice},
        // "이미지 조건 설정"
        {"image", image, ctx, "[버튼] 위치의 이미지가 [버튼] 이미지와 같은 이미지이면"},
        {"coordinates and colour",
         with(image,
              [](auto& f) {
                  f.position = ImagePosition::Coordinates;
                  f.x = "10";
                  f.y = "20";
                  f.reference = ImageReference::Colour;
                  f.colour = 0x112233;
                  f.comparison = 1;
              }),
         ctx, "(10,20) 위치의 이미지가 색값[빨강=17,녹색=34,파랑=51]과 다른 이미지이면"},
        {"similarity 50", imageAt(img, img, 0, "50"), ctx, "[버튼] 위치의 이미지가 [버튼] 이미지와 같은 이미지이면"},
        {"similarity 100", imageAt(img, img, 0, "100"), ctx, "[버튼] 위치의 이미지가 [버튼] 이미지와 같은 이미지이면"},
        {"similarity 49", imageAt(img, img, 0, "49"), ctx, analyzer::message::kBadSimilarity, "similarity",
         F::Similarity},
        {"similarity 101", imageAt(img, img, 0, "101"), ctx, analyzer::message::kBadSimilarity, "similarity",
         F::Similarity},
        {"similarity 75.5", imageAt(img, img, 0, "75.5"), ctx, analyzer::message::kBadSimilarity, "similarity",
         F::Similarity},
        {"no position", with(image, [](auto& f) { f.position = ImagePosition::None; }), ctx, "기준 위치를 선택해주세요.",
         "position", F::Position},
        {"no position image", imageAt(-1, img, 0, "90"), ctx, "기준 위치를 선택해주세요.", "position image",
         F::PositionImage},
        {"no x", with(image, [](auto& f) { f.position = ImagePosition::Coordinates; f.y = "1"; }), ctx,
         "X 위치값을 입력해주세요.", "x", F::X},
        {"no y", with(image, [](auto& f) { f.position = ImagePosition::Coordinates; f.x = "1"; }), ctx,
         "Y 위치값을 입력해주세요.", "y", F::Y},
        {"no position variable", with(image, [](auto& f) { f.position = ImagePosition::Variable; }), ctx,
         "변수위치를 선택해주세요.", "position variable", F::PositionVariable},
        {"no reference", with(image, [](auto& f) { f.reference = ImageReference::None; }), ctx,
         "기준 이미지를 선택해주세요.", "reference", F::Reference},
        {"no reference image", imageAt(img, -1, 0, "90"), ctx, "기준 이미지를 선택해주세요.", "reference image",
         F::ReferenceImage},
        {"colour not picked", with(image, [](auto& f) { f.reference = ImageReference::Colour; }), ctx,
         "기준 이미지를 선택해주세요.", "colour", F::Reference},
        {"no colour variable", with(image, [](auto& f) { f.reference = ImageReference::Variable; }), ctx,
         "변수색값을 선택해주세요.", "colour variable", F::ReferenceVariable},
        {"no comparison chosen", imageAt(img, img, -1, "90"), ctx, "비교조건을 선택해주세요.", "comparison",
         F::Comparison},
        // "범위검색 조건 설정"
        {"range 30000th", range, ctx, "[영역]범위 안에 [버튼]이미지와 [30000]번째로 같은 이미지가 있으면"},
        {"range variable occurrence", rangeSearch(w.area, img, "90", chosen(2)), ctx,
         "[영역]범위 안에 [버튼]이미지와 [변수002]번째로 같은 이미지가 있으면"},
        {"range occurrence 1", rangeSearch(w.area, img, "90", typed("1")), ctx,
         "[영역]범위 안에 [버튼]이미지와 [1]번째로 같은 이미지가 있으면"},
        {"range occurrence 0", rangeSearch(w.area, img, "90", typed("0")), ctx, analyzer::message::kBadMatchIndex,
         "occurrence", F::Occurrence},
        {"range occurrence 30001", rangeSearch(w.area, img, "90", typed("30001")), ctx,
         analyzer::message::kBadMatchIndex, "occurrence", F::Occurrence},
        {"range occurrence missing", rangeSearch(w.area, img, "90", typed("")), ctx,
         "몇번째 일치 이미지를 찾을 것인지 숫자를 입력하거나 변수를 선택하세요.(1~30,000번째까지 가능)",
         "occurrence missing", F::Occurrence},
        {"range no area", rangeSearch(-1, img, "90", typed("1")), ctx, "범위를 먼저 설정해주세요.", "area", F::Area},
        {"range similarity 49 before image", rangeSearch(w.area, -1, "49", typed("1")), ctx,
         analyzer::message::kBadSameness, "similarity", F::Similarity},
        {"range no image", rangeSearch(w.area, -1, "90", typed("1")), ctx, "기준 이미지를 선택해주세요.", "image",
         F::ReferenceImage, true},
        {"range colour not picked", with(range, [](auto& f) { f.reference = ImageReference::Colour; }), ctx,
         "기준 이미지를 선택해주세요.", "colour", F::Reference, true},
        {"range no variable", with(range, [](auto& f) { f.reference = ImageReference::Variable; }), ctx,
         "변수색값을 선택해주세요.", "variable", F::ReferenceVariable, true},
        {"range no reference", with(range, [](auto& f) { f.reference = ImageReference::None; }), ctx,
         "기준 이미지를 선택해주세요.", "reference", F::Reference, true},
        {"range no comparison", with(range, [](auto& f) { f.comparison = -1; }), ctx, "비교조건을 선택해주세요.",
         "comparison", F::Comparison, true},
        {"range direction 5", with(range, [](auto& f) { f.direction = 5; }), ctx, "", "direction"},
        // "커서 분석"
        {"cursor differs", CursorConditionForm{w.cursor, true}, ctx, "현재의 커서가 [화살]와 다르면"},
        {"no cursor", CursorConditionForm{-1, false}, ctx, "저장된 커서가 없습니다.", "cursor", F::Cursor},
        // "키눌림 감지"
        {"given key", KeyConditionForm{1, rightCtrl}, ctx, "만약 [ 오른쪽Ctrl ]키가 눌리면"},
        {"all released", KeyConditionForm{2, -1}, ctx, "만약 모든 키가 떨어져 있으면"},
        {"no key", KeyConditionForm{1, -1}, ctx, "감지할 키를 설정해주세요.", "key", F::Key},
        {"mode 3", KeyConditionForm{3, -1}, ctx, "", "mode", F::Choice},
        // "원격 제어"
        {"remote 250", RemoteConditionForm{"250"}, ctx, "[250] 원격제어명령이 오면"},
        {"remote 0", RemoteConditionForm{"0"}, ctx, "[0] 원격제어명령이 오면"},
        {"remote 251", RemoteConditionForm{"251"}, ctx, analyzer::message::kBadRemoteNumber, "number",
         F::RemoteNumber},
        {"remote empty", RemoteConditionForm{""}, ctx, analyzer::message::kBadRemoteNumber, "number", F::RemoteNumber},
        // A row being changed is not refused at 50.
        {"changing the 50th", RemoteConditionForm{"7"}, &w.changingFull, "[7] 원격제어명령이 오면"},
    };
    std::map<int32_t, std::set<std::string>> met;
    for (const Case& t : cases) {
        const BuiltCondition built = build(t.form, *t.context);
        EXPECT_EQ(built.ok(), t.check == nullptr) << t.name << ": " << built.message;
        if (built.ok()) {
            EXPECT_EQ(conditionSentence(*built, w.names), t.text) << t.name;
            EXPECT_EQ(built->kind(), kindOf(t.form)) << t.name;
        } else {
            EXPECT_EQ(built.message, t.text) << t.name;
            EXPECT_STREQ(built.check, t.check) << t.name;
            EXPECT_EQ(built.field, t.field) << t.name;
            EXPECT_EQ(built.notice, t.notice) << t.name;
            met[kindOf(t.form)].insert(built.check);
        }
    }
    // Adding a 51st condition is refused first, in every dialog.
    for (const ConditionDialogKind& k : conditionDialogKinds()) {
        const BuiltCondition built = k.build(k.blank(), w.full);
        EXPECT_EQ(built.message, analyzer::message::kTooManyConditions) << k.title;
        met[k.kind].insert(built.check);
    }
    for (const ConditionDialogKind& k : conditionDialogKinds()) {
        for (const ConditionCheck& check : conditionChecks(k.kind)) {
            EXPECT_TRUE(met[k.kind].count(check.id)) << k.title << ": " << check.id;
        }
    }
}

TEST(ConditionForms, FieldsWrittenIntoTheRecord) {
    FormWorld w;
    const Condition weekday =
        *build(DateTimeConditionForm{{2026, 3, 4, 9, 30, 15}, true, date_part::kWeekday}, w.ordinary);
    EXPECT_EQ(weekday.at(4), 1);
    EXPECT_EQ(weekday.body[8], 0x10);
    const uint8_t systemTime[] = {0xEA, 0x07, 3, 0, 3, 0, 4, 0, 9, 0, 30, 0, 15, 0, 0, 0};
    EXPECT_EQ(std::memcmp(weekday.body + 12, systemTime, sizeof systemTime), 0);

    RangeSearchConditionForm range = rangeSearch(w.area, -1, "77", chosen(5));
    range.reference = ImageReference::Colour;
    range.colour = 0x00A0B0C0;
    range.comparison = 1;
    range.direction = firstCheckedDirection({false, false, true, true, false});
    const Condition r = *build(range, w.ordinary);
    EXPECT_EQ(r.at(4), 4);
    EXPECT_EQ(r.at(8), w.area);
    EXPECT_EQ(r.at(12), 2); // "→"
    EXPECT_EQ(r.at(20), 1);
    EXPECT_EQ(r.at(24), 5);
    EXPECT_EQ(r.at(28), 1);
    EXPECT_EQ(r.at(32), 77);
    EXPECT_EQ(r.at(56), 0x00A0B0C0);

    // A position taken from an image carries the image's centre.
    const Condition i = *build(imageAt(w.image, w.image, 0, "90"), w.ordinary);
    EXPECT_EQ(i.at(8), 3);
    EXPECT_EQ(i.at(16), w.image);
    EXPECT_EQ(i.at(20), 50);
    EXPECT_EQ(i.at(24), 50);
}

TEST(ConditionForms, QuickFindPicksTheNthListedImage) {
    FormWorld w;
    const int second = testing::addImage(w.model, "둘째");
    EXPECT_EQ(quickFindImage(w.model, "1"), w.image);
    EXPECT_EQ(quickFindImage(w.model, " 2 "), second);
    for (const char* typedText : {"0", "3", "", "x"}) {
        EXPECT_EQ(quickFindImage(w.model, typedText), std::nullopt) << typedText;
    }
}

TEST(ConditionForms, OpeningRefusalsThatCloseTheDialog) {
    FormWorld w;
    EXPECT_EQ(conditionOpeningRefusal(analyzer::CondRangeSearch, w.bare, 0, false), "범위를 먼저 설정해주세요.");
    EXPECT_EQ(conditionOpeningRefusal(analyzer::CondCursor, w.bare, 0, false), "저장된 커서가 없습니다.");
    EXPECT_EQ(conditionOpeningRefusal(analyzer::CondRemote, w.bare, 50, false),
              analyzer::message::kTooManyConditions);
    EXPECT_EQ(conditionOpeningRefusal(analyzer::CondRemote, w.bare, 50, true), std::nullopt);
    EXPECT_EQ(conditionOpeningRefusal(analyzer::CondRangeSearch, w.model, 49, false), std::nullopt);
}

TEST(ConditionForms, VariablesAddedAndRenamedBesideTheVariableTest) {
    FormWorld w;
    const AnalyzerNames& names = w.names;
    // "추가" with nothing typed keeps the default name; a typed one is stored.
    EXPECT_EQ(addNamedVariable(w.model, ""), 50);
    EXPECT_EQ(names.variable(50), "변수050");
    EXPECT_EQ(addNamedVariable(w.model, " 점수 "), 51);
    EXPECT_EQ(names.variable(51), "점수");
    // "변경" needs a name and an active variable; a long name is cut to its field.
    struct Case {
        int index;
        std::string name;
        bool renamed;
        std::string shown;
    };
    const Case cases[] = {
        {3, "위치", true, "위치"},
        {3, "   ", false, "위치"},
        {52, "없음", false, "변수052"},
        {-1, "없음", false, ""},
        {4, std::string(80, 'a'), true, std::string(67, 'a')},
    };
    for (const Case& t : cases) {
        EXPECT_EQ(renameVariable(w.model, t.index, t.name), t.renamed) << t.index << " " << t.name;
        EXPECT_EQ(names.variable(t.index), t.shown) << t.index;
    }
    // At 1000 active variables no more are added.
    while (w.model.image().activeVariableCount < analyzer::kVariableCapacity) w.model.addVariable();
    EXPECT_EQ(addNamedVariable(w.model, "넘침"), std::nullopt);
}

} // namespace
} // namespace quillon::editor

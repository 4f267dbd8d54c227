#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "editor/forms/form_kinds.h"
#include "editor/forms/form_rows.h"
#include "tests/editor/form_test_support.h"

namespace quillon::editor {
namespace {

using testing::FormWorld;

// One filled-in form per kind, each using the fields its kind writes.
std::map<int32_t, ConditionForm> conditionSamples(const FormWorld& w) {
    ImageConditionForm image;
    image.position = ImagePosition::Coordinates;
    image.x = "12";
    image.y = "34";
    image.reference = ImageReference::Variable;
    image.referenceVariable = 7;
    image.comparison = 1;
    image.similarity = "66";
    RangeSearchConditionForm range;
    range.area = w.area;
    range.reference = ImageReference::Colour;
    range.colour = 0x123456;
    range.comparison = 1;
    range.similarity = "100";
    range.direction = 4;
    range.occurrence = {"", 9};
    return {
        {analyzer::CondVariable, VariableConditionForm{{"", 3}, 2, 1, 4, {"-8", -1}, false, true}},
        {analyzer::CondTimer, TimerConditionForm{49, true, {"", 0}}},
        {analyzer::CondDateTime, DateTimeConditionForm{{2030, 12, 31, 23, 59, 58}, true, 0x7F}},
        {analyzer::CondState, MacroStateConditionForm{1}},
        {analyzer::CondImage, image},
        {analyzer::CondRangeSearch, range},
        {analyzer::CondCursor, CursorConditionForm{w.cursor, true}},
        {analyzer::CondKey, KeyConditionForm{1, 40}},
        {analyzer::CondRemote, RemoteConditionForm{"17"}},
    };
}

std::map<int32_t, CommandForm> commandSamples(const FormWorld& w) {
    MouseCommandForm mouse;
    mouse.action = mouse_action::kMoveTo;
    mouse.x = "-5";
    mouse.y = "900";
    mouse.monitor = true;
    mouse.random = true;
    mouse.randomPixels = "4";
    VariableCommandForm variable;
    variable.target = 3;
    variable.value = {"", 2};
    variable.arithmetic = 3;
    variable.right = {"-4", -1};
    variable.noCondition = false;
    variable.guardVariable = 5;
    variable.guardHighOperator = 4;
    variable.guardHigh = {"", 6};
    DeviceCommandForm device;
    device.choice = device_choice::kYellow;
    device.lightOn = {true, false, true};
    return {
        {analyzer::CmdKey, KeyCommandForm{1, 12, -1, "1.250"}},
        {analyzer::CmdMouse, mouse},
        {analyzer::CmdMacro, MacroCommandForm{0, 9, "12"}},
        {analyzer::CmdVariable, variable},
        {analyzer::CmdTimer, TimerCommandForm{7, {"600", -1}}},
        {analyzer::CmdDelay, DelayCommandForm{true, "0.100", "0.080", "0.200"}},
        {analyzer::CmdDevice, device},
        {analyzer::CmdReplaceImage, ReplaceImageCommandForm{w.image}},
        {analyzer::CmdRunAnalyzer, RunAnalyzerCommandForm{"둘째 분석기.dat"}},
        {analyzer::CmdTypeSentence, TypingCommandForm{"이름", "문장 Text", "450", 0}},
        {analyzer::CmdReadNumber, ReadNumberCommandForm{w.area, w.pack, "80", 9, false}},
    };
}

// Every kind the main panel offers has a dialog form that makes its record
// and fills again from it, and a sentence for its row.
TEST(FormKinds, EveryKindRoundTripsThroughItsForm) {
    FormWorld w;
    const auto conditions = conditionSamples(w);
    ASSERT_EQ(conditionDialogKinds().size(), 9u);
    for (const ConditionDialogKind& k : conditionDialogKinds()) {
        EXPECT_EQ(kindOf(k.blank()), k.kind) << k.title;
        EXPECT_FALSE(conditionChecks(k.kind).empty()) << k.title;
        ASSERT_TRUE(conditions.count(k.kind)) << k.title;
        const ConditionForm& sample = conditions.at(k.kind);
        const BuiltCondition built = k.build(sample, w.ordinary);
        ASSERT_TRUE(built.ok()) << k.title << ": " << built.message;
        EXPECT_EQ(built->kind(), k.kind);
        EXPECT_EQ(formOf(*built), std::optional<ConditionForm>(sample)) << k.title;
        EXPECT_FALSE(k.sentence(*built, w.names).empty()) << k.title;
    }
    const auto commands = commandSamples(w);
    ASSERT_EQ(commandDialogKinds().size(), 11u);
    for (const CommandDialogKind& k : commandDialogKinds()) {
        EXPECT_EQ(kindOf(k.blank()), k.kind) << k.title;
        EXPECT_FALSE(commandChecks(k.kind).empty()) << k.title;
        ASSERT_TRUE(commands.count(k.kind)) << k.title;
        const CommandForm& sample = commands.at(k.kind);
        const BuiltCommand built = k.build(sample, w.ordinary);
        ASSERT_TRUE(built.ok()) << k.title << ": " << built.message;
        EXPECT_EQ(built->kind(), k.kind);
        EXPECT_EQ(formOf(*built, w.model), std::optional<CommandForm>(sample)) << k.title;
        EXPECT_FALSE(k.sentence(*built, w.names).empty()) << k.title;
    }
    EXPECT_EQ(findCommandDialog(analyzer::CmdTypeSentence)->resource, 184);
    EXPECT_EQ(findConditionDialog(analyzer::CondNoItemDelay), nullptr);
}

// The blank forms are the dialogs as they open.
TEST(FormKinds, DialogDefaults) {
    const auto delay = std::get<DelayCommandForm>(findCommandDialog(analyzer::CmdDelay)->blank());
    EXPECT_EQ(delay.seconds, "0.100");
    EXPECT_EQ(delay.low, "0.080");
    EXPECT_EQ(delay.high, "0.200");
    EXPECT_EQ(std::get<KeyCommandForm>(findCommandDialog(analyzer::CmdKey)->blank()).interval, "0.100");
    EXPECT_EQ(std::get<MouseCommandForm>(findCommandDialog(analyzer::CmdMouse)->blank()).interval, "0.100");
    EXPECT_EQ(std::get<MouseCommandForm>(findCommandDialog(analyzer::CmdMouse)->blank()).randomPixels, "2");
}

analyzer::Command remoteCommand(int number) {
    analyzer::Command c{};
    c.used = 1;
    c.set(0, analyzer::CmdDevice);
    c.set(4, 5);
    c.set(16, number);
    return c;
}

std::vector<int> remoteNumbers(const analyzer::Item& item) {
    std::vector<int> out;
    for (int i = 0; i < item.commandCount; ++i) out.push_back(item.commands[i].at(16));
    return out;
}

TEST(FormRows, TheButtonsPlaceTheRowAndChooseIt) {
    struct Case {
        const char* name;
        int chosen;
        RowButton button;
        bool changing;
        std::vector<int> rows;
        int chosenAfter;
    } cases[] = {
        {"at end", 0, RowButton::AddAtEnd, false, {1, 2, 3, 9}, 3},
        {"before the chosen", 1, RowButton::AddBefore, false, {1, 9, 2, 3}, 1},
        {"before with none chosen: at the top", -1, RowButton::AddBefore, false, {9, 1, 2, 3}, 0},
        {"after the chosen", 1, RowButton::AddAfter, false, {1, 2, 9, 3}, 2},
        {"after with none chosen: at the end", 7, RowButton::AddAfter, false, {1, 2, 3, 9}, 3},
        {"changing keeps the row's place", 1, RowButton::AddAfter, true, {1, 9, 3}, 1},
    };
    for (const Case& c : cases) {
        analyzer::Item item{};
        for (int n : {1, 2, 3}) ASSERT_TRUE(analyzer::addCommand(item, remoteCommand(n)).ok);
        item.currentCommand = c.chosen;
        EXPECT_TRUE(placeCommand(item, c.button, c.changing, remoteCommand(9)).ok) << c.name;
        EXPECT_EQ(remoteNumbers(item), c.rows) << c.name;
        EXPECT_EQ(item.currentCommand, c.chosenAfter) << c.name;
    }
    const RowButtonsShown changing = rowButtons(true);
    EXPECT_FALSE(changing.addAtEnd || changing.addBefore);
    EXPECT_STREQ(changing.afterCaption, "수정 저장");
    EXPECT_STREQ(rowButtons(false).afterCaption, "뒤에 추가");
}

TEST(FormRows, FiftyRowsAndTheirTwoTexts) {
    analyzer::Item item{};
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(placeCondition(item, RowButton::AddAtEnd, false, testing::condition(analyzer::CondRemote)).ok);
        ASSERT_TRUE(placeCommand(item, RowButton::AddAtEnd, false, remoteCommand(i)).ok);
    }
    EXPECT_EQ(placeCondition(item, RowButton::AddBefore, false, testing::condition(analyzer::CondRemote)).message,
              "최대 조건수를 초과하였습니다.");
    EXPECT_EQ(placeCommand(item, RowButton::AddAtEnd, false, remoteCommand(1)).message, "최대 명령수를 초과하였습니다.");
    analyzer::Command typing{};
    typing.set(0, analyzer::CmdTypeSentence);
    EXPECT_EQ(placeCommand(item, RowButton::AddAtEnd, false, typing).message, "최대 실행명령 수를 초과하였습니다.");
    EXPECT_EQ(item.commandCount, 50);
    // A full list still takes a change.
    item.currentCommand = 49;
    EXPECT_TRUE(placeCommand(item, RowButton::AddAfter, true, remoteCommand(250)).ok);
    EXPECT_EQ(item.commands[49].at(16), 250);
}

} // namespace
} // namespace quillon::editor

#include <gtest/gtest.h>

#include "editor/item_sentences.h"
#include "editor/next_link_form.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

class NextLinkFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(model.reset());
        firstId = appendItem(model, "처음");
        secondId = appendItem(model, "다음");
    }
    std::string sentence(const Item& item, int link) {
        KeyTable keys(KeyNames::AnalyzerEditor);
        return nextLinkSentence(item.nextLinks[link], AnalyzerNames(model, keys));
    }
    AnalyzerModel model;
    int32_t firstId = 0, secondId = 0;
};

TEST_F(NextLinkFormTest, TargetsEndWithTheReturnLine) {
    std::vector<std::string> targets = nextLinkTargets(model);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[2], "이전 항목으로 돌아가기");
    EXPECT_EQ(variableNames(model).front(), "변수000");
}

TEST_F(NextLinkFormTest, LinksAndBranches) {
    struct Case {
        NextLinkForm form;
        std::string refusal; // empty: accepted
        std::string sentence;
    } cases[] = {
        {{NextLinkKind::VariableTest, 1, 0, "", 0, 0, ""}, "", "{변수000 } ☞ [다음] 분석"},
        {{NextLinkKind::VariableTest, 2, 1, "5", 3, 2, "변수001"}, "", "{5 < 변수003 ≤ 변수001 } ☞ 이전 항목으로 돌아간다"},
        {{NextLinkKind::VariableTest, std::nullopt, 0, "", 0, 0, ""}, "다음에 분석할 항목을 선택해주세요.", ""},
        {{NextLinkKind::VariableTest, 0, 1, "", 0, 0, ""}, "낮은쪽 변수값을 입력하거나 변수를 선택해주세요.", ""},
        {{NextLinkKind::VariableTest, 0, 0, "", 0, 4, "5a"}, "높은쪽 변수값을 입력하거나 변수를 선택해주세요.", ""},
    };
    for (const Case& c : cases) {
        Item item{};
        std::optional<NextLinkRefusal> refusal = applyNextLink(item, model, c.form);
        EXPECT_EQ(refusal ? refusal->message : "", c.refusal);
        if (!refusal) {
            ASSERT_EQ(item.nextLinkCount, 1);
            EXPECT_EQ(sentence(item, 0), c.sentence);
        } else {
            EXPECT_EQ(item.nextLinkCount, 0);
        }
    }
}

TEST_F(NextLinkFormTest, BranchesSetTheirTargets) {
    Item item{};
    NextLinkForm form;
    form.kind = NextLinkKind::FalseBranch;
    form.targetLine = 0;
    EXPECT_FALSE(applyNextLink(item, model, form));
    form.kind = NextLinkKind::Otherwise;
    form.targetLine = 2;
    EXPECT_FALSE(applyNextLink(item, model, form));
    EXPECT_EQ(item.falseBranch, 1);
    EXPECT_EQ(item.falseBranchTarget, firstId);
    EXPECT_EQ(item.otherwiseBranchTarget, kReturnToPrevious);
    EXPECT_EQ(item.nextLinkCount, 0);

    form.kind = NextLinkKind::VariableTest;
    for (int i = 0; i < 20; ++i) ASSERT_FALSE(applyNextLink(item, model, form));
    EXPECT_EQ(applyNextLink(item, model, form)->message, "최대 다음항목수를 초과하였습니다.");
}

} // namespace
} // namespace quillon::editor

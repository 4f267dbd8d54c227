#include <gtest/gtest.h>

#include "editor/image_order.h"
#include "editor/side_panel.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

TEST(ImageOrder, RearrangedRenamedAndStored) {
    AnalyzerModel model;
    for (const char* name : {"가", "나", "다", "라"}) addImage(model, name);
    addImage(model, "무늬", true);
    ImageOrder order(model);
    EXPECT_EQ(order.lines().back(), "[패턴]무늬");
    EXPECT_EQ(order.moveToTop(2), 0);      // 다 가 나 라 무늬
    EXPECT_EQ(order.moveDown(0), 1);       // 가 다 나 라 무늬
    EXPECT_EQ(order.moveToBottom(0), 4);   // 다 나 라 무늬 가
    EXPECT_EQ(order.moveUp(0), 0);         // stays at the top
    EXPECT_TRUE(order.rename(1, "새이름")); // 다 새이름 라 무늬 가
    EXPECT_FALSE(order.rename(1, ""));
    ScriptedDialogs dialogs;
    // Not stored yet: the analyzer is as it was.
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages)[0], "가");
    order.store(model, nullptr, dialogs);
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages),
              (std::vector<std::string>{"다", "새이름", "라", "[패턴]무늬", "가"}));
}

TEST(ImageOrder, RemovedImagesAreDeletedUnlessAnItemUsesThem) {
    AnalyzerModel model;
    for (const char* name : {"가", "나", "다"}) addImage(model, name);
    Item user{};
    Condition c = condition(CondImage, {{4, 5}, {12, 1}}); // compares with image slot 1 ("나")
    ASSERT_TRUE(addCondition(user, c).ok);
    appendItem(model, "쓰는 항목", &user);

    ImageOrder order(model);
    ScriptedDialogs dialogs;
    EXPECT_EQ(order.remove(1, model, nullptr, dialogs), 1); // 나 is used: refused at once
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_NE(dialogs.messages()[0].find("쓰는 항목"), std::string::npos);
    EXPECT_EQ(order.remove(0, model, nullptr, dialogs), 0); // 가
    EXPECT_EQ(order.lines(), (std::vector<std::string>{"나", "다"}));
    EXPECT_EQ(model.image().recognitionImageCount, 3); // nothing deleted before "저장"
    order.store(model, nullptr, dialogs);
    EXPECT_EQ(sideListLines(model, SideList::RecognitionImages), (std::vector<std::string>{"나", "다"}));
    EXPECT_EQ(model.recognitionImage(0), nullptr);
}

TEST(ImageOrder, CurrentImageStaysOnTheListWhenAllAreRemoved) {
    AnalyzerModel model;
    for (const char* name : {"가", "나"}) addImage(model, name);
    ScriptedDialogs dialogs;
    ImageOrder order(model);
    EXPECT_EQ(order.remove(1, model, nullptr, dialogs), 0);
    EXPECT_EQ(order.remove(0, model, nullptr, dialogs), -1);
    order.store(model, nullptr, dialogs);
    EXPECT_EQ(model.image().recognitionImageCount, 0);
    EXPECT_EQ(model.image().currentRecognitionImage, 0); // never -1
}

} // namespace
} // namespace quillon::editor

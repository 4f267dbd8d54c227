#include <gtest/gtest.h>

#include <cstring>

#include "analyzer/limits.h"
#include "analyzer/model.h"
#include "analyzer/model_json.h"
#include "analyzer/model_text.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

TEST(ModelText, ItemLinesMarkHeadAndAlwaysScan) {
    Item item{};
    std::memcpy(item.name, "go", 2);
    struct Case {
        int head, alwaysScan;
        const char* line;
    } cases[] = {{1, 1, "★0007 go"}, {1, 0, "☆0007 go"}, {0, 1, "◈0007 go"}, {0, 0, "◇0007 go"}};
    for (const auto& c : cases) {
        item.head = c.head;
        item.alwaysScan = c.alwaysScan;
        EXPECT_EQ(itemListLine(item, 7), c.line);
    }
}

TEST(ModelText, ConditionsAndCommandsByKind) {
    Condition c{};
    c.set(0, CondRangeSearch);
    c.set(4, 5);
    c.set(8, 12);
    c.set(16, 40);
    c.set(32, 85);
    EXPECT_EQ(describeCondition(c), "CondRangeSearch what=5 area=12 image=40 similarity=85");
    Command sound{};
    sound.set(0, CmdDevice);
    sound.set(4, 3);
    sound.set(12, 1);
    std::string name = text::utf8ToCp949("벨.wav");
    std::memcpy(sound.body + 24, name.data(), name.size());
    EXPECT_EQ(describeCommand(sound), "CmdDevice action=3 carried=1 sound=\"벨.wav\"");
    Command macro{};
    macro.set(0, CmdMacro);
    macro.set(12, 9);
    EXPECT_EQ(describeCommand(macro), "CmdMacro action=0 macro=9");
    Command unknown{};
    unknown.set(0, 77);
    EXPECT_EQ(describeCommand(unknown), "kind77");
    NextLink link{};
    link.targetId = -1;
    EXPECT_EQ(describeNextLink(link), "-> previous");
}

TEST(ModelText, DialogValueLimits) {
    struct Case {
        Status status;
        bool ok;
        const char* message;
    } cases[] = {
        {checkRepeatCount(0), false, message::kBadRepeatCount},
        {checkRepeatCount(65000), true, ""},
        {checkRepeatCount(65001), false, message::kBadRepeatCount},
        {checkSimilarity(49, false), false, message::kBadSimilarity},
        {checkSimilarity(101, true), false, message::kBadSameness},
        {checkSimilarity(50, true), true, ""},
        {checkMatchIndex(30000), true, ""},
        {checkMatchIndex(30001), false, message::kBadMatchIndex},
        {checkRemoteNumber(250), true, ""},
        {checkRemoteNumber(-1), false, message::kBadRemoteNumber},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status.ok, c.ok) << c.message;
        EXPECT_EQ(c.status.message, c.message);
    }
}

TEST(ModelText, ErasedScreenshotsAndImagesMovedInside) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int shot = -1, img = -1, small = -1;
    NewScreenshot s;
    s.name = "a";
    s.fileSize = 10;
    ASSERT_TRUE(model.addScreenshot(s, shot));
    NewRecognitionImage far;
    far.centreX = 700;
    far.centreY = 500;
    far.width = 21;
    far.height = 11;
    ASSERT_TRUE(model.addRecognitionImage(far, img));
    NewRecognitionImage near = far;
    near.centreX = near.centreY = 100;
    ASSERT_TRUE(model.addRecognitionImage(near, small));
    ASSERT_TRUE(model.markScreenshotErased(shot));
    EXPECT_EQ(fixedText(model.image().screenshots[shot].label), "a(X)(2)");
    EXPECT_EQ(model.image().screenshots[shot].fileSize, 0);
    model.moveImagesInside(640, 480);
    const RecognitionImage* r = model.recognitionImage(img);
    EXPECT_EQ(r->left, 30);
    EXPECT_EQ(r->top, 30);
    EXPECT_EQ(r->right, 50);
    EXPECT_EQ(r->bottom, 40);
    EXPECT_EQ(r->centreX, 40);
    EXPECT_EQ(r->centreY, 35);
    EXPECT_EQ(model.recognitionImage(small)->left, 90);
}

TEST(ModelText, JsonCarriesNamesAndSummarisesPixels) {
    AnalyzerModel model;
    model.image().screenshotWidth = 64;
    model.image().screenshotHeight = 64;
    int slot = -1;
    NewRecognitionImage spec;
    spec.centreX = spec.centreY = 10;
    spec.width = spec.height = 3;
    spec.name = "단추\"1\"";
    ASSERT_TRUE(model.addRecognitionImage(spec, slot));
    model.recognitionImage(slot)->pixels[0] = 0xFF;
    std::string json = modelToJson(model);
    EXPECT_NE(json.find("\"name\":\"단추\\\"1\\\"\""), std::string::npos);
    EXPECT_NE(json.find("\"pixels\":{\"bytes\":161604,\"nonZero\":1,"), std::string::npos);
    EXPECT_NE(json.find("\"activeVariableCount\":50"), std::string::npos);
    EXPECT_EQ(json.back(), '\n');
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        char ch = json[i];
        if (inString) {
            if (ch == '\\') {
                ++i;
            } else if (ch == '"') {
                inString = false;
            }
        } else if (ch == '"') {
            inString = true;
        } else if (ch == '{' || ch == '[') {
            ++depth;
        } else if (ch == '}' || ch == ']') {
            ASSERT_GT(depth, 0);
            --depth;
        }
    }
    EXPECT_EQ(depth, 0);
}

} // namespace
} // namespace quillon::analyzer

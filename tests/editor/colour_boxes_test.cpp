#include <gtest/gtest.h>

#include "editor/colour_boxes.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;

TEST(ColourBoxLock, PasswordRules) {
    AnalyzerModel model;
    ColourBoxLock lock(model);
    struct Step {
        bool checked;
        std::string text;
        std::string shown; // the state text, or the refusal
        bool lockedAfter;
    } steps[] = {
        {true, "", "암호를 입력해주세요", false},
        {true, "비밀", "색상자 잠긴 상태", true},
        {true, "", "색상자 잠긴 상태", true}, // already locked: nothing asked
        {false, "", "암호를 입력해주세요", true},
        {false, "틀림", "정확한 암호를 입력해주세요", true},
        {false, "비밀", "색상자 풀린 상태", false},
        {false, "", "색상자 풀린 상태", false},
    };
    for (const Step& s : steps) {
        Built<std::string> result = lock.apply(s.checked, s.text);
        EXPECT_EQ(result.ok() ? *result.value : result.message, s.shown) << s.text;
        EXPECT_EQ(lock.locked(), s.lockedAfter) << s.text;
        EXPECT_EQ(model.image().fillPatchesInert, s.lockedAfter ? 1 : 0);
    }
    // Locked in a file: this session has no password, any text unlocks.
    model.image().fillPatchesInert = 1;
    lock.forget();
    EXPECT_FALSE(lock.apply(false, "").ok());
    EXPECT_TRUE(lock.apply(false, "아무거나").ok());
}

TEST(ColourBoxes, PlacedUpToTheLimitAndNotWhileLocked) {
    AnalyzerModel model;
    for (int i = 0; i < kFillPatchCapacity; ++i) {
        ASSERT_TRUE(placeColourBox(model, i, 5, 0, 0x112233).ok()) << i;
    }
    Built<int> extra = placeColourBox(model, 1, 1, 0, 0);
    EXPECT_EQ(extra.message, "색깔채우기 최대 갯수를 초과했습니다.");
    const FillPatch& box = model.image().fillPatches[7];
    EXPECT_EQ(box.width, 101);
    EXPECT_EQ(box.height, 21);
    EXPECT_TRUE(recolourBox(model, 7, 0xABCDEF));
    EXPECT_EQ(box.colour, 0xABCDEFu);

    model.image().fillPatchesInert = 1;
    EXPECT_FALSE(recolourBox(model, 7, 0));
    ASSERT_TRUE(model.deleteFillPatch(3));
    EXPECT_FALSE(placeColourBox(model, 1, 1, 0, 0).ok());
    EXPECT_EQ(box.colour, 0xABCDEFu);
}

} // namespace
} // namespace quillon::editor

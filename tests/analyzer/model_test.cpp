#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "analyzer/limits.h"
#include "analyzer/model.h"
#include "analyzer/sentence_keys.h"
#include "base/text.h"

namespace quillon::analyzer {
namespace {

std::string utf8(std::string_view cp949) { return text::cp949ToUtf8(cp949); }

NewScreenshot shot(std::string name, int32_t fileSize = 10) {
    NewScreenshot s;
    s.name = std::move(name);
    s.fileSize = fileSize;
    return s;
}

NewRecognitionImage imageSpec(int centreX, int centreY, int width, int height, bool pattern = false) {
    NewRecognitionImage r;
    r.centreX = centreX;
    r.centreY = centreY;
    r.width = width;
    r.height = height;
    r.pattern = pattern;
    return r;
}

Condition condition(int32_t kind, std::initializer_list<std::pair<size_t, int32_t>> fields = {}) {
    Condition c{};
    c.used = 1;
    c.setKind(kind);
    for (auto [offset, value] : fields) {
        c.set(offset, value);
    }
    return c;
}

Command command(int32_t kind, std::initializer_list<std::pair<size_t, int32_t>> fields = {}) {
    Command c{};
    c.used = 1;
    c.setKind(kind);
    for (auto [offset, value] : fields) {
        c.set(offset, value);
    }
    return c;
}

TEST(AnalyzerModel, ResetGivesFiftyNamedVariablesAndCountersAtOne) {
    AnalyzerModel model;
    ASSERT_TRUE(model.valid());
    const AnalyzerImage& a = model.image();
    EXPECT_EQ(a.activeVariableCount, 50);
    EXPECT_EQ(a.nextRecognitionImageNumber, 1);
    EXPECT_EQ(a.nextNumberPackNumber, 1);
    EXPECT_EQ(a.nextAreaNumber, 1);
    EXPECT_EQ(a.nextCursorNumber, 1);
    EXPECT_EQ(utf8(fixedText(a.variables[0].name)), "변수000");
    EXPECT_EQ(utf8(fixedText(a.variables[999].name)), "변수999");
    EXPECT_EQ(a.itemCount, 0);
}

TEST(AnalyzerModel, VariablesGrowOneAtATimeUpToAThousand) {
    AnalyzerModel model;
    int grown = 0;
    while (model.addVariable()) {
        ++grown;
    }
    EXPECT_EQ(grown, 950);
    EXPECT_EQ(model.image().activeVariableCount, 1000);
}

TEST(AnalyzerModel, DefaultNamesAndTitle) {
    EXPECT_EQ(defaultRecognitionImageName(7), "인식이미지-0007");
    EXPECT_EQ(defaultAreaName(12), "인식범위-12");
    EXPECT_EQ(defaultNumberPackName(3), "숫자샘플팩-3");
    EXPECT_EQ(defaultCursorName(4), "커서-04");
    EXPECT_EQ(defaultVariableName(5), "변수005");
    LocalTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 8;
    t.hour = 9;
    t.minute = 5;
    EXPECT_EQ(newAnalyzerTitle(t), "이미지 분석기202612080905");
}

TEST(AnalyzerModel, NameCountersOnlyGrowAcrossDeletes) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int slot = -1;
    ASSERT_TRUE(model.addRecognitionImage(imageSpec(100, 100, 11, 11), slot));
    ASSERT_TRUE(model.deleteRecognitionImage(0));
    ASSERT_TRUE(model.addRecognitionImage(imageSpec(100, 100, 11, 11), slot));
    EXPECT_EQ(slot, 0); // the lowest free slot is taken again
    EXPECT_EQ(utf8(fixedText(model.recognitionImage(slot)->name)), "인식이미지-0002");

    ASSERT_TRUE(model.addArea(400, 300, 0, "", slot));
    ASSERT_TRUE(model.deleteArea(0));
    ASSERT_TRUE(model.addArea(400, 300, 0, "", slot));
    EXPECT_EQ(utf8(fixedText(model.image().areas[slot].name)), "인식범위-2");

    ASSERT_TRUE(model.addNumberPack("숫자샘플팩 새것", slot));
    EXPECT_EQ(utf8(fixedText(model.numberPack(slot)->name)), "숫자샘플팩-1");
    ASSERT_TRUE(model.addNumberPack("내 숫자", slot));
    EXPECT_EQ(utf8(fixedText(model.numberPack(slot)->name)), "내 숫자");
}

TEST(AnalyzerModel, RecognitionImageSizeAndPlacementRules) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    struct Case {
        NewRecognitionImage spec;
        std::string refusal;
    } cases[] = {
        {imageSpec(100, 100, 0, 11), message::kBadImageSize},
        {imageSpec(300, 300, 203, 11), "가로/세로 각각 201픽셀까지만 가능합니다."},
        {imageSpec(100, 100, 10, 11), message::kImageSizeNotOdd},
        {imageSpec(4, 100, 11, 11), message::kImageOutsideScreen},   // left < 0
        {imageSpec(795, 100, 11, 11), message::kImageOutsideScreen}, // right = 800
        {imageSpec(794, 594, 11, 11), ""},                           // right = 799, bottom = 599
        {imageSpec(100, 100, 201, 201, true), ""},
    };
    for (const auto& c : cases) {
        int slot = -1;
        Status s = model.addRecognitionImage(c.spec, slot);
        EXPECT_EQ(s.ok, c.refusal.empty()) << c.spec.centreX << "," << c.spec.width;
        EXPECT_EQ(s.message, c.refusal);
    }
    const RecognitionImage* r = model.recognitionImage(0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->left, 789);
    EXPECT_EQ(r->bottom, 599);
    EXPECT_EQ(model.image().screenshots[0].recognitionImageCount, 2);
}

TEST(AnalyzerModel, CapacitiesRefuseWithTheirMessages) {
    AnalyzerModel model;
    AnalyzerImage& a = model.image();
    a.screenshotWidth = 800;
    a.screenshotHeight = 600;
    int slot = -1;
    for (int i = 0; i < kScreenshotCapacity; ++i) {
        ASSERT_TRUE(model.addScreenshot(shot(std::to_string(i) + "s"), slot));
    }
    EXPECT_EQ(model.addScreenshot(shot("x"), slot).message, message::kTooManyScreenshots);
    for (int i = 0; i < kAreaCapacity; ++i) {
        ASSERT_TRUE(model.addArea(100, 100, 0, "", slot));
    }
    EXPECT_EQ(model.addArea(100, 100, 0, "", slot).message, "범위지정은 최대 1000개까지만 가능합니다.");
    for (int i = 0; i < kFillPatchCapacity; ++i) {
        ASSERT_TRUE(model.addFillPatch(1, 1, 0, 0xFF, slot));
    }
    EXPECT_EQ(model.addFillPatch(1, 1, 0, 0xFF, slot).message, message::kTooManyFillPatches);
    for (int i = 0; i < kCursorCapacity; ++i) {
        ASSERT_TRUE(model.addCursor(3, "", slot));
    }
    EXPECT_FALSE(model.addCursor(3, "", slot));
    a.recognitionImageCount = kRecognitionImageCapacity; // as if full
    EXPECT_EQ(model.addRecognitionImage(imageSpec(100, 100, 11, 11), slot).message,
              "최대 인식이미지 갯수 5000를 초과하였습니다.\n불필요한 인식이미지들을 삭제하고 다시 시도해주세요.");

    Item item{};
    for (int i = 0; i < kConditionsPerItem; ++i) {
        ASSERT_TRUE(addCondition(item, condition(CondTimer)));
    }
    EXPECT_EQ(addCondition(item, condition(CondTimer)).message, message::kTooManyConditions);
    for (int i = 0; i < kCommandsPerItem; ++i) {
        ASSERT_TRUE(addCommand(item, command(CmdDelay)));
    }
    EXPECT_EQ(addCommand(item, command(CmdDelay)).message, message::kTooManyCommands);
    for (int i = 0; i < kNextLinksPerItem; ++i) {
        ASSERT_TRUE(addNextLink(item, NextLink{}));
    }
    EXPECT_EQ(addNextLink(item, NextLink{}).message, message::kTooManyNextLinks);
}

TEST(AnalyzerModel, AreaStaysInsideRightAndBottomEdges) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int slot = -1;
    ASSERT_TRUE(model.addArea(790, 590, 3, "", slot));
    const RecognitionArea& r = model.image().areas[slot];
    EXPECT_EQ(r.left, 649); // centre 724 = 800 - 76
    EXPECT_EQ(r.top, 449);
    EXPECT_EQ(r.width, 150);
    EXPECT_EQ(r.height, 150);
    EXPECT_EQ(r.screenshotSlot, 3);
}

TEST(AnalyzerModel, OrderArraysCloseGapsAndCursorGoesAfterCurrent) {
    AnalyzerModel model;
    int slot = -1;
    for (const char* n : {"a", "b", "c"}) {
        ASSERT_TRUE(model.addScreenshot(shot(n, 1), slot));
    }
    ASSERT_TRUE(model.deleteScreenshot(1));
    const AnalyzerImage& a = model.image();
    EXPECT_EQ(a.screenshotCount, 2);
    EXPECT_EQ(a.screenshotOrder[0], 0);
    EXPECT_EQ(a.screenshotOrder[1], 2);
    EXPECT_EQ(a.currentScreenshot, 0);
    ASSERT_TRUE(model.addScreenshot(shot("d", 1), slot));
    EXPECT_EQ(slot, 1);
    EXPECT_EQ(a.screenshotOrder[2], 1);

    ASSERT_TRUE(model.addCursor(1, "", slot)); // 0
    ASSERT_TRUE(model.addCursor(1, "", slot)); // 1, after 0
    model.image().currentCursor = 0;
    ASSERT_TRUE(model.addCursor(1, "", slot)); // 2, inserted after position 0
    EXPECT_EQ(a.cursorOrder[0], 0);
    EXPECT_EQ(a.cursorOrder[1], 2);
    EXPECT_EQ(a.cursorOrder[2], 1);
    EXPECT_EQ(utf8(fixedText(a.cursors[2].name)), "커서-03");
}

TEST(AnalyzerModel, ItemsKeepIdsThroughInsertAndDelete) {
    AnalyzerModel model;
    Item items[3] = {};
    ASSERT_TRUE(model.insertItems(0, items));
    Item front{};
    ASSERT_TRUE(model.insertItem(0, front));
    EXPECT_EQ(front.id, 3);
    EXPECT_EQ(model.itemCount(), 4);
    EXPECT_EQ(model.findItemById(3), 0);
    EXPECT_EQ(model.findItemById(0), 1);
    ASSERT_TRUE(model.deleteItem(1));
    EXPECT_EQ(model.findItemById(0), -1);
    EXPECT_EQ(model.findItemById(2), 2);
    model.image().itemCount = kItemCapacity - 1;
    Item two[2] = {};
    EXPECT_FALSE(model.insertItems(0, two));
    EXPECT_TRUE(model.insertItems(0, std::span<Item>(two, 1)));
    EXPECT_EQ(model.itemCount(), kItemCapacity);
}

TEST(AnalyzerModel, InsertAndDeleteShiftConditionSlots) {
    Item item{};
    ASSERT_TRUE(addCondition(item, condition(CondTimer, {{20, 1}})));
    ASSERT_TRUE(addCondition(item, condition(CondTimer, {{20, 3}})));
    ASSERT_TRUE(insertCondition(item, 1, condition(CondTimer, {{20, 2}})));
    EXPECT_EQ(item.conditions[1].at(20), 2);
    EXPECT_EQ(item.conditions[2].at(20), 3);
    ASSERT_TRUE(deleteCondition(item, 0));
    EXPECT_EQ(item.conditionCount, 2);
    EXPECT_EQ(item.conditions[0].at(20), 2);
    EXPECT_EQ(item.conditions[2].used, 0);
    EXPECT_FALSE(deleteCondition(item, 2));
}

TEST(AnalyzerModel, UsageFlagsFollowTheItems) {
    AnalyzerModel model;
    AnalyzerImage& a = model.image();
    a.screenshotWidth = 800;
    a.screenshotHeight = 600;
    int img[3], area = -1, cursor = -1;
    for (int& s : img) {
        ASSERT_TRUE(model.addRecognitionImage(imageSpec(100, 100, 11, 11), s));
    }
    ASSERT_TRUE(model.addArea(300, 300, 0, "", area));
    ASSERT_TRUE(model.addCursor(1, "", cursor));
    Item item{};
    ASSERT_TRUE(addCondition(item, condition(CondImage, {{4, 5}, {12, img[0]}, {8, 3}, {16, img[1]}})));
    ASSERT_TRUE(addCondition(item, condition(CondCursor, {{8, cursor}})));
    ASSERT_TRUE(addCommand(item, command(CmdTypeSentence, {{4, 7}})));
    ASSERT_TRUE(model.insertItem(0, item));
    EXPECT_EQ(model.recognitionImage(img[0])->inUse, 1);
    EXPECT_EQ(model.recognitionImage(img[1])->inUse, 1);
    EXPECT_EQ(model.recognitionImage(img[2])->inUse, 0);
    EXPECT_EQ(a.areas[area].inUse, 0);
    EXPECT_EQ(a.cursors[cursor].inUse, 1);
    EXPECT_EQ(model.sentenceTable().sentences[7].inUse, 1);

    Item edited = model.item(0);
    ASSERT_TRUE(deleteCondition(edited, 0));
    ASSERT_TRUE(addCondition(edited, condition(CondRangeSearch, {{4, 5}, {8, area}, {16, img[2]}})));
    ASSERT_TRUE(addCondition(edited, condition(CondNoItemDelay, {{4, 1}})));
    ASSERT_TRUE(model.storeItem(0, edited));
    EXPECT_EQ(model.recognitionImage(img[0])->inUse, 0);
    EXPECT_EQ(model.recognitionImage(img[2])->inUse, 1);
    EXPECT_EQ(a.areas[area].inUse, 1);
    EXPECT_EQ(model.item(0).noItemDelay, 1);
}

TEST(AnalyzerModel, SaveRefreshCopiesImageCentresAndClearsIdleAlwaysScan) {
    AnalyzerModel model;
    model.image().screenshotWidth = 800;
    model.image().screenshotHeight = 600;
    int img = -1;
    ASSERT_TRUE(model.addRecognitionImage(imageSpec(321, 123, 11, 11), img));
    Item items[3] = {};
    ASSERT_TRUE(addCondition(items[0], condition(CondImage, {{8, 3}, {16, img}})));
    ASSERT_TRUE(addCommand(items[0], command(CmdMouse, {{4, 6}, {24, img}})));
    items[0].head = items[0].alwaysScan = 1;                                // no links: cleared
    items[1].head = items[1].alwaysScan = items[1].falseBranch = 1;         // has a branch: kept
    items[2].alwaysScan = 1;                                                // not a head: kept
    ASSERT_TRUE(model.insertItems(0, items));
    model.refreshBeforeSave();
    EXPECT_EQ(model.item(0).conditions[0].at(20), 321);
    EXPECT_EQ(model.item(0).conditions[0].at(24), 123);
    EXPECT_EQ(model.item(0).commands[0].at(32), 321);
    EXPECT_EQ(model.item(0).commands[0].at(36), 123);
    EXPECT_EQ(model.item(0).alwaysScan, 0);
    EXPECT_EQ(model.item(1).alwaysScan, 1);
    EXPECT_EQ(model.item(2).alwaysScan, 1);
}

TEST(AnalyzerModel, MacroMasksAndSoundListComeFromCommands) {
    AnalyzerModel model;
    Item first{}, second{};
    ASSERT_TRUE(addCommand(first, command(CmdMacro, {{4, 0}, {12, 9}})));
    ASSERT_TRUE(addCommand(first, command(CmdMacro, {{4, 1}, {12, 31}})));
    ASSERT_TRUE(addCommand(first, command(CmdMacro, {{4, 2}, {12, 7}})));
    ASSERT_TRUE(addCommand(first, command(CmdMacro, {{4, 5}, {12, 3}}))); // stop: no macro
    Command sound = command(CmdDevice, {{4, 3}, {12, 1}});
    std::memcpy(sound.body + 24, "ding.wav", 8);
    ASSERT_TRUE(addCommand(first, sound));
    ASSERT_TRUE(addCommand(second, sound));
    Command notCarried = command(CmdDevice, {{4, 3}, {12, 0}});
    std::memcpy(notCarried.body + 24, "other.wav", 9);
    ASSERT_TRUE(addCommand(second, notCarried));
    ASSERT_TRUE(model.insertItem(0, first));
    ASSERT_TRUE(model.insertItem(1, second));
    MacroMasks masks = model.macroMasksFromItems();
    EXPECT_EQ(masks.recorded, 1u << 9);
    EXPECT_EQ(masks.edit, 1u << 31);
    EXPECT_EQ(masks.combination, 1u << 7);
    ASSERT_TRUE(model.rebuildSoundList());
    EXPECT_EQ(model.image().soundCount, 1);
    EXPECT_EQ(fixedText(model.image().sounds[0].fileName), "ding.wav");
}

std::string hex(const std::vector<uint8_t>& codes) {
    std::string out;
    char b[4];
    for (uint8_t c : codes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    if (!out.empty()) {
        out.pop_back();
    }
    return out;
}

TEST(SentenceKeys, TwoSetHangulUsLayoutAndToggles) {
    struct Case {
        const char* utf8;
        const char* codes;
    } cases[] = {
        {"가A", "15 0E FE 84"},
        {"a가", "FE 04 FE 15 0E"},
        {"1가", "1E 15 0E"},            // digits do not switch the mode
        {"까쌍", "95 0E 97 0E 07"},     // double consonants with Shift
        {"와", "07 0B 0E"},             // compound vowel: two keys
        {"얘예", "07 92 07 93"},        // ㅒ ㅖ with Shift
        {"닭값", "08 0E 09 15 15 0E 14 17"}, // compound finals
        {"있", "07 0F 97"},
        {"A\r\nb", "FE 84 28 05"},      // CR is Enter, its LF is skipped
        {"x\ty\x7f", "FE 1B 1C"},       // control characters and DEL skipped
        {"Hi, !~", "FE 8B 0C 36 2C 9E B5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(sentenceKeyCodes(text::utf8ToCp949(c.utf8))), c.codes) << c.utf8;
    }
}

TEST(SentenceKeys, FiveHundredTwelveCodesAcceptedAndOneMoreRefused) {
    AnalyzerModel model;
    std::string fits, tooLong;
    for (int i = 0; i < 170; ++i) {
        fits += "각"; // three codes each
    }
    tooLong = fits + "각"; // 513
    fits += "가";         // 512
    ASSERT_TRUE(model.storeSentence(0, "문장", fits, 500));
    const TypingSentence& s = model.sentenceTable().sentences[0];
    EXPECT_EQ(s.keyCount, 512);
    EXPECT_EQ(s.keyDownMs, 60);
    EXPECT_EQ(s.keyUpMs, 60);
    EXPECT_EQ(model.storeSentence(1, "문장", tooLong, 500).message, message::kSentenceTooLong);
    EXPECT_EQ(model.firstFreeSentence(), 1);
    ASSERT_TRUE(model.storeSentence(1, "느림", "ab", 7));
    EXPECT_EQ(model.sentenceTable().sentences[1].keyDownMs, 4285);
    EXPECT_EQ(model.sentenceTable().sentences[1].keyUpMs, 4286);
}

} // namespace
} // namespace quillon::analyzer

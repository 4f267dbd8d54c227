#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/limits.h"
#include "editor/capture_modes.h"
#include "editor/screenshots.h"
#include "editor_fixture.h"
#include "screenshot_files.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

std::string utf8(std::string_view cp949) { return text::cp949ToUtf8(cp949); }

TEST(CaptureModes, CompatibilityRules) {
    struct Row {
        CaptureModes analyzer, shot;
        const char* refusalStart; // "" = accepted
    };
    const CaptureModes legacyClient{true, true, false, false}, client{false, true, false, false},
        framed{false, false, true, false}, full{false, false, false, true}, none{}, legacyFull{true, false, false, true};
    const Row rows[] = {
        {legacyClient, client, "현재 분석기는 구버전 모드 스샷이 적용되어 있습니다."},
        {legacyClient, {true, true, false, false}, ""},
        {client, {true, true, false, false}, ""}, // a legacy shot may join a plain analyzer
        {client, full, "현재 분석기는 창모드 스샷이 적용되어 있습니다."},
        {framed, full, "현재 분석기는 창모드 스샷이 적용되어 있습니다."},
        {full, full, ""},
        {none, full, ""},
        {legacyFull, legacyFull, ""},
        {full, client, "현재 분석기는 화면전체 스샷이 적용되어 있습니다."},
        {client, framed, "현재 분석기는 창모드(타이틀바/메뉴/창틀 없슴(기본)) 스샷이 적용되어 있습니다."},
        {framed, client, "현재 분석기는 창모드(타이틀바/메뉴/창틀 있슴) 스샷이 적용되어 있습니다."},
        {framed, framed, ""},
        {client, client, ""},
    };
    for (const Row& r : rows) {
        std::string refusal = captureModeRefusal(r.analyzer, r.shot);
        EXPECT_EQ(refusal.substr(0, std::strlen(r.refusalStart)), r.refusalStart) << refusal;
        EXPECT_EQ(refusal.empty(), std::strlen(r.refusalStart) == 0) << refusal;
    }
    EXPECT_EQ(captureModeRefusal(client, full),
              "현재 분석기는 창모드 스샷이 적용되어 있습니다.\n\n화면전체 스샷과 창화면을 찍은 스샷은 함께 사용할 수 "
              "없습니다.\n화면전체 스샷을 적용하고 싶으면, 분석기를 새로 만들어 주세요");
}

TEST(CaptureModes, ReadFromTheSettingsCopy) {
    std::vector<uint8_t> s = settingsCopy({1, 0, 1, 0});
    EXPECT_EQ(captureModesOf(s.data(), s.size()), (CaptureModes{true, false, true, false}));
    // A short copy reads the missing flags as 0.
    EXPECT_EQ(captureModesOf(s.data(), 1214), (CaptureModes{true, false, false, false}));
}

class ScreenshotStorage : public ::testing::Test {
protected:
    void SetUp() override {
        folders = EditorFolders::under(scratch.file("data"));
        ASSERT_TRUE(folders.create());
        shots = folders.imageSave;
    }
    ImportResult import(const std::string& bitmap, const std::string& name, bool replace = false) {
        return importScreenshot(model, folders, {bitmap, name, replace}, dialogs, offer);
    }
    std::string imageFile(const std::string& name) { return folders.image + "/" + name + ".bmp"; }

    ScratchFolder scratch;
    EditorFolders folders;
    std::string shots;
    AnalyzerModel model;
    ScriptedDialogs dialogs;
    std::vector<std::string> offeredNames;
    std::optional<std::string> keepAs;
    CursorOffer offer = [this](const CursorImage&, const std::string& proposed) {
        offeredNames.push_back(proposed);
        return keepAs;
    };
};

TEST_F(ScreenshotStorage, FirstFullScreenShotIsImportedAndSetsTheModes) {
    keepAs = "커서-01";
    std::string bmp = writeShotSet(shots, "20260101120000", {0, 0, 0, 1}, cursorFile(17, 23, 3));
    EXPECT_EQ(proposedScreenshotName(model), "불러온 이미지 01");
    ImportResult r = import(bmp, "불러온 이미지 01");
    ASSERT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readBytes(imageFile("불러온 이미지 01")), readBytes(bmp));

    const AnalyzerImage& a = model.image();
    EXPECT_EQ(a.captureFullScreen, 1);
    EXPECT_EQ(a.captureWindowNoFrame, 0);
    EXPECT_EQ(a.screenshotCount, 1);
    const ScreenshotEntry& e = a.screenshots[r.slot];
    EXPECT_EQ(e.used, 1);
    EXPECT_EQ(e.erased, 0);
    EXPECT_EQ(e.fileSize, static_cast<int32_t>(readBytes(bmp).size()));
    EXPECT_EQ(e.cursorX, 17);
    EXPECT_EQ(e.cursorY, 23);
    EXPECT_EQ(utf8(fixedText(e.name)), "불러온 이미지 01");

    ASSERT_EQ(offeredNames, std::vector<std::string>{"커서-01"});
    ASSERT_GE(r.cursorSlot, 0);
    const CursorSample& c = a.cursors[r.cursorSlot];
    EXPECT_EQ(c.parts, 3);
    EXPECT_EQ(utf8(fixedText(c.name)), "커서-01");
    EXPECT_EQ(a.nextCursorNumber, 2);
    EXPECT_EQ(c.maskBits[0], 0xAA);
    EXPECT_EQ(c.maskBits[127], 0xAA);
    EXPECT_EQ(c.maskBits[128], 0);
    EXPECT_EQ(c.colourBits[4095], 0xCC);
    EXPECT_EQ(loadLe32(c.maskHeader + 20), 128u);
}

TEST_F(ScreenshotStorage, WindowShotIntoFullScreenAnalyzerIsRefused) {
    import(writeShotSet(shots, "a", {0, 0, 0, 1}, cursorFile(0, 0, 0)), "전체");
    std::string bmp = writeShotSet(shots, "b", {0, 1, 0, 0}, cursorFile(0, 0, 0));
    ImportResult r = import(bmp, "창");
    EXPECT_EQ(r.outcome, ImportOutcome::Refused);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].substr(0, 50), std::string("현재 분석기는 화면전체 스샷이 적용되어 있습니다.").substr(0, 50));
    EXPECT_EQ(dialogs.shown[0].caption, "오류");
    EXPECT_FALSE(files::exists(imageFile("창")));
    EXPECT_EQ(model.image().screenshotCount, 1);
}

TEST_F(ScreenshotStorage, RefusalsBeforeAnythingIsCopied) {
    std::string bmp = writeShotSet(shots, "a", {}, cursorFile(0, 0, 0));
    std::filesystem::remove(shots + "/a.cfg");
    EXPECT_EQ(import(bmp, "하나").outcome, ImportOutcome::Refused);
    EXPECT_EQ(import(writeShotSet(shots, "b", {}, cursorFile(0, 0, 0)), "../밖").outcome, ImportOutcome::Refused);
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{"사용할 수 없는 이미지 파일입니다.", "스샷 이름으로 사용할 수 없는 이름입니다."}));
    EXPECT_TRUE(files::filesWithExtension(folders.image, ".bmp").empty());
    EXPECT_FALSE(files::exists(folders.data + "/밖.bmp"));
}

TEST_F(ScreenshotStorage, SecondShotOfTheSameNameIsRefused) {
    ASSERT_EQ(import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0)), "같은").outcome, ImportOutcome::Imported);
    EXPECT_EQ(import(writeShotSet(shots, "b", {}, cursorFile(0, 0, 0)), "같은").outcome, ImportOutcome::Refused);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"같은 이름의 스샷이 이미 있습니다."});
}

TEST_F(ScreenshotStorage, FullAnalyzerRefusesTheThousandthAndFirst) {
    AnalyzerImage& a = model.image();
    a.captureWindowNoFrame = 1;
    for (int i = 0; i < kScreenshotCapacity; ++i) {
        a.screenshots[i].used = 1;
        a.screenshotOrder[i] = i;
        std::string name = std::to_string(i);
        name += "번";
        setName(a.screenshots[i].name, sizeof a.screenshots[i].name, name);
    }
    a.screenshotCount = kScreenshotCapacity;
    EXPECT_EQ(import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0)), "넘침").outcome, ImportOutcome::Refused);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"최대 이미지 갯수를 초과하였습니다."});
}

TEST_F(ScreenshotStorage, ReplaceAsksAndReusesTheSlot) {
    ImportResult first = import(writeShotSet(shots, "a", {}, cursorFile(1, 2, 0)), "옛것");
    addImage(model, "조각", false, first.slot);
    std::string newer = writeShotSet(shots, "b", {}, cursorFile(5, 6, 0), 80, 60);

    dialogs.answers = {false};
    EXPECT_EQ(import(newer, "새것", true).outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(dialogs.questions(), std::vector<std::string>{"[옛것]를 [새것]로 변경하시겠습니까?"});
    EXPECT_TRUE(files::exists(imageFile("옛것")));

    dialogs.answers = {true};
    ImportResult r = import(newer, "새것", true);
    ASSERT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_EQ(r.slot, first.slot);
    EXPECT_EQ(model.image().screenshotCount, 1);
    EXPECT_FALSE(files::exists(imageFile("옛것")));
    EXPECT_EQ(readBytes(imageFile("새것")), readBytes(newer));
    const ScreenshotEntry& e = model.image().screenshots[r.slot];
    EXPECT_EQ(utf8(fixedText(e.name)), "새것");
    EXPECT_EQ(e.cursorX, 5);
    EXPECT_EQ(e.recognitionImageCount, 1); // the images cut from it stay with it
}

TEST_F(ScreenshotStorage, AKeptCursorGoesAfterTheChosenEntryOrLast) {
    auto cursorNames = [&] {
        std::string out;
        const AnalyzerImage& a = model.image();
        for (int i = 0; i < a.cursorCount; ++i) out += (i ? " " : "") + utf8(fixedText(a.cursors[a.cursorOrder[i]].name));
        return out;
    };
    const char* names[] = {"가", "나", "다", "라"};
    const int chosen[] = {-1, -1, 0, -1}; // none, none, the first, none
    for (int i = 0; i < 4; ++i) {
        keepAs = names[i];
        // The list's current entry is elsewhere: the choice decides.
        model.image().currentCursor = 0;
        ImportRequest request{writeShotSet(shots, std::to_string(i), {}, cursorFile(1, 1, 1)), names[i], false,
                              chosen[i]};
        ASSERT_EQ(importScreenshot(model, folders, request, dialogs, offer).outcome, ImportOutcome::Imported);
    }
    EXPECT_EQ(cursorNames(), "가 다 나 라");
}

TEST_F(ScreenshotStorage, CursorIsOfferedOnlyWhenWholeAndThereIsRoom) {
    // Flags set but the colour image cut short: the mask alone is offered.
    std::vector<uint8_t> cut = cursorFile(3, 4, 3);
    cut.resize(cut.size() - 10);
    import(writeShotSet(shots, "a", {}, cut), "하나");
    EXPECT_EQ(offeredNames.size(), 1u);
    // No images: nothing offered, the position still kept.
    ImportResult r = import(writeShotSet(shots, "b", {}, cursorFile(9, 8, 0)), "둘");
    EXPECT_EQ(offeredNames.size(), 1u);
    EXPECT_EQ(model.image().screenshots[r.slot].cursorX, 9);
    // An image larger than a cursor sample holds is not offered.
    import(writeShotSet(shots, "c", {}, cursorFile(0, 0, 1, 70000)), "셋");
    EXPECT_EQ(offeredNames.size(), 1u);
    // Twenty cursors kept: no more offers.
    model.image().cursorCount = kCursorCapacity;
    import(writeShotSet(shots, "d", {}, cursorFile(0, 0, 1)), "넷");
    EXPECT_EQ(offeredNames.size(), 1u);
}

TEST(CursorFile, Parsing) {
    EXPECT_FALSE(readCursorFile(std::vector<uint8_t>(7, 0)));
    std::vector<uint8_t> onlyPosition = cursorFile(-5, 7, 0);
    onlyPosition.resize(8);
    auto c = readCursorFile(onlyPosition);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.position, (Point{-5, 7}));
    EXPECT_EQ(c->image.flags, 0u);
    EXPECT_TRUE(c->damaged);
    c = readCursorFile(cursorFile(1, 1, 1, 256));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.flags, 1u);
    EXPECT_EQ(c->image.maskBits.size(), 256u);
    EXPECT_FALSE(c->damaged);
    std::vector<uint8_t> huge = cursorFile(1, 1, 3, 16);
    put32(huge, 12 + 20, 0xFFFFFFF0u); // size far past the file: the colour after it cannot be found
    c = readCursorFile(huge);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.flags, 0u);
    EXPECT_EQ(c->refused, 3u);
}

TEST_F(ScreenshotStorage, DamagedCursorPartIsRefusedTheSetKeptAndTheUserTold) {
    keepAs = "커서";
    std::vector<uint8_t> cut = cursorFile(3, 4, 3);
    cut.resize(cut.size() - 10); // the colour image cut short
    ImportResult r = import(writeShotSet(shots, "a", {}, cut), "하나");
    ASSERT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_TRUE(files::exists(imageFile("하나")));
    EXPECT_EQ(model.image().screenshots[r.slot].cursorX, 3);
    ASSERT_GE(r.cursorSlot, 0);
    EXPECT_EQ(model.image().cursors[r.cursorSlot].parts, 1); // the mask alone
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{screenshot_message::kDamagedCursor});
    // A whole file says nothing.
    import(writeShotSet(shots, "b", {}, cursorFile(3, 4, 3)), "둘");
    EXPECT_EQ(dialogs.messages().size(), 1u);
}

TEST(ScreenshotBitmapReader, DepthsOrientationAndDamage) {
    ScreenshotBitmap b;
    struct Row {
        int bits;
        BitmapStatus expected;
    };
    for (Row r : {Row{8, BitmapStatus::Unsupported}, Row{16, BitmapStatus::Ok}, Row{24, BitmapStatus::Ok},
                  Row{32, BitmapStatus::Ok}, Row{1, BitmapStatus::Unsupported}}) {
        std::vector<uint8_t> bytes = bitmapBytes(101, 3, r.bits);
        EXPECT_EQ(readScreenshotBitmap(bytes.data(), bytes.size(), b), r.expected) << r.bits;
    }
    std::vector<uint8_t> bytes16 = bitmapBytes(101, 3, 16);
    ASSERT_EQ(readScreenshotBitmap(bytes16.data(), bytes16.size(), b), BitmapStatus::Ok);
    EXPECT_EQ(b.stride, 204);
    EXPECT_EQ(b.height, 3);

    // Rows stored bottom to top come out top to bottom.
    std::vector<uint8_t> up = bitmapBytes(1, 2, 32, false);
    up[122] = 1; // bottom row first in the file
    up[126] = 2;
    ASSERT_EQ(readScreenshotBitmap(up.data(), up.size(), b), BitmapStatus::Ok);
    EXPECT_EQ(b.pixels[0], 2);
    EXPECT_EQ(b.pixels[4], 1);

    std::vector<uint8_t> cut = bitmapBytes(10, 10, 24);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(readScreenshotBitmap(cut.data(), cut.size(), b), BitmapStatus::Damaged);
    std::vector<uint8_t> wide = bitmapBytes(10, 10, 24);
    put32(wide, 18, 0x7FFFFFFF);
    EXPECT_EQ(readScreenshotBitmap(wide.data(), wide.size(), b), BitmapStatus::Damaged);
    std::vector<uint8_t> notBmp = bitmapBytes(2, 2, 24);
    notBmp[0] = 'X';
    EXPECT_EQ(readScreenshotBitmap(notBmp.data(), notBmp.size(), b), BitmapStatus::Damaged);
}

TEST_F(ScreenshotStorage, ShowingTakesTheSizeAndMovesImagesInside) {
    ImportResult big = import(writeShotSet(shots, "a", {}, cursorFile(12, 34, 0), 400, 300, 32), "큰것");
    ScreenshotView view = showScreenshot(model, folders, 0, dialogs);
    ASSERT_EQ(view.status, ShowStatus::Shown);
    EXPECT_EQ(model.image().screenshotWidth, 400);
    // An 11 x 11 image near the right edge of the 400-pixel shot.
    int inside = addImage(model, "안", false, big.slot);
    model.recognitionImage(inside)->centreX = 300;
    model.recognitionImage(inside)->right = 305;
    model.recognitionImage(inside)->bottom = 55;

    writeBytes(imageFile("큰것"), bitmapBytes(200, 100, 24));
    view = showScreenshot(model, folders, 0, dialogs);
    ASSERT_EQ(view.status, ShowStatus::Shown);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(model.image().screenshotWidth, 200);
    EXPECT_EQ(model.image().screenshotHeight, 100);
    EXPECT_EQ(model.image().screenshotBitsPerPixel, 24);
    EXPECT_EQ(view.cursorText, "0012,0034");
    const RecognitionImage& r = *model.recognitionImage(inside);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, 11 + 29);
    EXPECT_EQ(r.bottom, 11 + 29);
    EXPECT_EQ(r.centreX, 35);
    EXPECT_EQ(r.centreY, 35);
}

TEST_F(ScreenshotStorage, ShowingRefusesEightBitsAndMissingFiles) {
    import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0), 64, 48, 8), "여덟");
    import(writeShotSet(shots, "b", {}, cursorFile(0, 0, 0)), "없음");
    files::remove(imageFile("없음"));
    EXPECT_EQ(showScreenshot(model, folders, 0, dialogs).status, ShowStatus::Unsupported);
    EXPECT_EQ(showScreenshot(model, folders, 1, dialogs).status, ShowStatus::Missing);
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"분석기가 지원할 수 없는 형식의 스샷입니다.",
                                                            "이미지 파일이 없거나 잘못된 이미지 파일입니다."}));
}

TEST_F(ScreenshotStorage, DeletingEraseThenRefuseThenRemove) {
    ImportResult r = import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0)), "원본");
    addImage(model, "조각", false, r.slot);
    showScreenshot(model, folders, 0, dialogs); // the screen size becomes 64 x 48

    EXPECT_EQ(deleteScreenshotAt(model, folders, 0, dialogs), ScreenshotDeletion::Erased);
    const ScreenshotEntry& e = model.image().screenshots[r.slot];
    EXPECT_EQ(e.erased, 1);
    EXPECT_EQ(e.fileSize, 0);
    EXPECT_EQ(utf8(fixedText(e.label)), "원본(X)(1)");
    EXPECT_FALSE(files::exists(imageFile("원본")));

    ScreenshotView blank = showScreenshot(model, folders, 0, dialogs);
    EXPECT_EQ(blank.status, ShowStatus::Erased);
    EXPECT_EQ(blank.label, "지워진 스샷");
    EXPECT_EQ(blank.cursorText, "xxxx,yyyy");
    EXPECT_EQ(blank.bitmap.width, 64);
    EXPECT_EQ(blank.bitmap.pixels.size(), 64u * 4 * 48);
    EXPECT_EQ(blank.bitmap.pixels[100], 238);

    EXPECT_EQ(deleteScreenshotAt(model, folders, 0, dialogs), ScreenshotDeletion::Refused);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"인식이미지가 남아 있기 때문에 삭제할 수 없습니다."});

    ASSERT_TRUE(model.deleteRecognitionImage(0));
    EXPECT_EQ(deleteScreenshotAt(model, folders, 0, dialogs), ScreenshotDeletion::Removed);
    EXPECT_EQ(model.image().screenshotCount, 0);
    EXPECT_EQ(model.image().captureWindowNoFrame, 0); // the last one clears the modes
}

TEST_F(ScreenshotStorage, AreasKeepAnErasedScreenshot) {
    ImportResult r = import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0)), "범위용");
    import(writeShotSet(shots, "b", {}, cursorFile(0, 0, 0)), "혼자");
    int area = -1;
    ASSERT_TRUE(model.addArea(10, 10, r.slot, "", area).ok);
    EXPECT_EQ(deleteScreenshotAt(model, folders, 0, dialogs), ScreenshotDeletion::Erased);
    EXPECT_EQ(deleteScreenshotAt(model, folders, 0, dialogs), ScreenshotDeletion::Refused);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"범위설정이 남아 있기 때문에 삭제할 수 없습니다."});
    // Without dependants a screenshot goes at once, with its bitmap.
    EXPECT_EQ(deleteScreenshotAt(model, folders, 1, dialogs), ScreenshotDeletion::Removed);
    EXPECT_FALSE(files::exists(imageFile("혼자")));
    EXPECT_EQ(model.image().screenshotCount, 1);
    EXPECT_EQ(model.image().captureWindowNoFrame, 1);
}

TEST_F(ScreenshotStorage, NewAnalyzerEmptiesOnlyTheBitmapsOfTheImageFolder) {
    import(writeShotSet(shots, "a", {}, cursorFile(0, 0, 0)), "하나");
    writeBytes(folders.image + "/UPPER.BMP", {1});
    writeBytes(folders.image + "/keep.txt", {1});
    std::filesystem::create_directories(folders.image + "/sub");
    writeBytes(folders.image + "/sub/deep.bmp", {1});

    dialogs.answers = {false};
    LocalTime now;
    EXPECT_FALSE(startNewAnalyzer(model, folders, dialogs, now));
    EXPECT_EQ(model.image().screenshotCount, 1);

    now.year = 2026;
    now.month = 12;
    now.day = 8;
    now.hour = 9;
    now.minute = 5;
    dialogs.answers = {true};
    EXPECT_TRUE(startNewAnalyzer(model, folders, dialogs, now));
    EXPECT_EQ(dialogs.questions().back(), "모든 내용을 삭제하고 새로 시작하시겠습니까?");
    EXPECT_EQ(model.image().screenshotCount, 0);
    EXPECT_EQ(utf8(fixedText(model.image().name)), "이미지 분석기202612080905");
    EXPECT_FALSE(files::exists(imageFile("하나")));
    EXPECT_FALSE(files::exists(folders.image + "/UPPER.BMP"));
    EXPECT_TRUE(files::exists(folders.image + "/keep.txt"));
    EXPECT_TRUE(files::exists(folders.image + "/sub/deep.bmp"));
    EXPECT_TRUE(files::exists(shots + "/a.bmp")); // the tool's shots stay
}

} // namespace
} // namespace quillon::editor

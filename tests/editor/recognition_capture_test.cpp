#include <gtest/gtest.h>

#include "editor/recognition_capture.h"
#include "editor_fixture.h"

namespace quillon::editor {
namespace {

using namespace analyzer;
using namespace testing;

// A 32-bit screenshot whose pixel (x, y) is blue x, green y, red 7.
ScreenshotBitmap gradient(int width, int height) {
    ScreenshotBitmap shot;
    shot.width = width;
    shot.height = height;
    shot.bitsPerPixel = 32;
    shot.stride = width * 4;
    shot.pixels.resize(static_cast<size_t>(shot.stride) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &shot.pixels[static_cast<size_t>(y) * shot.stride + x * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 7;
        }
    }
    return shot;
}

TEST(CaptureChecks, InTheirOrder) {
    struct Case {
        std::optional<int> width, height;
        int count, x, y;
        std::string message;
    } cases[] = {
        {201, 201, 0, 100, 100, ""},
        {203, 201, 0, 100, 100, "가로/세로 각각 201픽셀까지만 가능합니다."},
        {200, 201, 0, 100, 100, "픽셀수는 홀수만 가능합니다."},
        {std::nullopt, 5, 0, 100, 100, "올바른 가로/세로 픽셀수를 입력하세요."},
        {5, 0, 0, 100, 100, "올바른 가로/세로 픽셀수를 입력하세요."},
        {200, 203, 0, 100, 100, "가로/세로 각각 201픽셀까지만 가능합니다."}, // size before oddness
        {201, 5, 0, 99, 100, "인식이미지가 화면을 벗어납니다."},
        {201, 5, 0, 1818, 100, ""},
        {201, 5, 0, 1819, 100, "인식이미지가 화면을 벗어납니다."},
        {5, 5, 0, 100, 1077, "인식이미지가 화면을 벗어납니다."},
        {5, 5, 4999, 100, 100, ""},
        {203, 5, 5000, 100, 100, "최대 인식이미지 수를 초과합니다.(최대 5000개)"}, // the count comes first
    };
    for (const Case& c : cases) {
        auto refusal = checkCapture({"", c.width, c.height}, true, c.count, c.x, c.y, 1919, 1079);
        EXPECT_EQ(refusal ? refusal->message : "", c.message) << c.x << " " << c.count;
    }
    // Editing never counts the images.
    EXPECT_FALSE(checkCapture({"", 5, 5}, false, 5000, 100, 100, 1919, 1079));
}

TEST(CaptureChecks, NewImageCopiesItsRectangle) {
    AnalyzerModel model;
    model.image().screenshotWidth = 64;
    model.image().screenshotHeight = 48;
    ScreenshotBitmap shot = gradient(64, 48);
    Built<int> made = makeRecognitionImage(model, shot, 0, {"", 5, 3}, 20, 10);
    ASSERT_TRUE(made.ok()) << made.message;
    const RecognitionImage& r = *model.recognitionImage(*made.value);
    EXPECT_EQ(fixedText(r.name), text::utf8ToCp949("인식이미지-0001"));
    EXPECT_EQ(r.left, 18);
    EXPECT_EQ(r.right, 22);
    EXPECT_EQ(r.top, 9);
    EXPECT_EQ(r.bottom, 11);
    const uint8_t* lastCell = r.pixels + 2 * kImageRowStride + 4 * 4; // (22, 11)
    EXPECT_EQ(lastCell[0], 22);
    EXPECT_EQ(lastCell[1], 11);
    EXPECT_EQ(lastCell[2], 7);
    EXPECT_EQ(lastCell[3], 0);
    EXPECT_EQ(model.image().screenshots[0].recognitionImageCount, 1);
    EXPECT_EQ(makeRecognitionImage(model, shot, 0, {"", 5, 3}, 1, 10).message, "인식이미지가 화면을 벗어납니다.");

    EXPECT_EQ(recognitionImageAt(model, 0, 22, 11), 0);
    EXPECT_EQ(recognitionImageAt(model, 0, 23, 11), -1);
    EXPECT_EQ(recognitionImageAt(model, 1, 20, 10), -1); // another screenshot

    ASSERT_TRUE(placeRecognitionImage(model, shot, *made.value, 40, 30).ok);
    EXPECT_EQ(r.centreX, 40);
    EXPECT_EQ(r.pixels[0], 38); // (38, 29)
    EXPECT_EQ(r.pixels[1], 29);
    EXPECT_FALSE(placeRecognitionImage(model, shot, *made.value, 62, 30).ok);
    EXPECT_EQ(r.centreX, 40);
}

TEST(CaptureChecks, ResizingAPatternImageAsksFirst) {
    AnalyzerModel model;
    ScreenshotBitmap shot = gradient(400, 300);
    const ScreenshotOfSlot shotOf = [&](int) { return &shot; };
    addImage(model, "무늬", true);
    RecognitionImage& r = *model.recognitionImage(0);
    r.pixels[3] = 1; // a selected cell
    int asked = 0;
    Built<int> declined = editRecognitionImage(model, shotOf, 0, {"새이름", 7, 7}, [&] { return ++asked, false; });
    EXPECT_FALSE(declined.ok());
    EXPECT_EQ(r.width, 11);
    EXPECT_EQ(r.pattern, 1);
    EXPECT_EQ(fixedText(r.name), text::utf8ToCp949("무늬"));

    ASSERT_TRUE(editRecognitionImage(model, shotOf, 0, {"새이름", 7, 7}, [&] { return ++asked, true; }).ok());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(r.pattern, 0);
    EXPECT_EQ(r.pixels[3], 0);
    EXPECT_EQ(r.left, 47);
    EXPECT_EQ(r.pixels[0], 47);
    EXPECT_EQ(fixedText(r.name), text::utf8ToCp949("새이름"));
    // The same size again only renames, without asking.
    r.pattern = 1;
    ASSERT_TRUE(editRecognitionImage(model, shotOf, 0, {"", 7, 7}, {}).ok());
    EXPECT_EQ(r.pattern, 1);
    EXPECT_EQ(text::cp949ToUtf8(fixedText(r.name)).rfind("인식이미지-", 0), 0u); // the default name
}

TEST(CaptureChecks, ResizingCopiesFromTheImagesOwnScreenshot) {
    AnalyzerModel model;
    ScreenshotBitmap shown = gradient(400, 300); // red 7
    ScreenshotBitmap own = gradient(400, 300);
    for (size_t p = 2; p < own.pixels.size(); p += 4) own.pixels[p] = 9;
    addImage(model, "둘째 스샷의", false, 1);
    std::vector<int> asked;
    const ScreenshotOfSlot shotOf = [&](int slot) {
        asked.push_back(slot);
        return slot == 1 ? &own : &shown;
    };
    ASSERT_TRUE(editRecognitionImage(model, shotOf, 0, {"", 7, 7}, {}).ok());
    const RecognitionImage& r = *model.recognitionImage(0);
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(r.pixels[0], 47); // (47, 47) of its own screenshot
    EXPECT_EQ(r.pixels[2], 9);

    // Without that screenshot a new size is refused and nothing changes.
    Built<int> refused = editRecognitionImage(model, [](int) -> const ScreenshotBitmap* { return nullptr; }, 0,
                                              {"", 9, 9}, {});
    EXPECT_EQ(refused.message, "이미지 파일이 없거나 잘못된 이미지 파일입니다.");
    EXPECT_EQ(r.width, 7);
    EXPECT_EQ(r.pixels[2], 9);
}

TEST(ViewRules, StatusLineAndAreaSnapping) {
    ScreenshotBitmap shot = gradient(64, 48);
    EXPECT_EQ(pointerStatusLine(shot, 3, 12), "0003,0012   007,012,003");
    EXPECT_EQ(pointerStatusLine(shot, 64, 0), "0064,0000");

    struct Case {
        AreaFrame in, out;
    } cases[] = {
        {{10, 10, 20, 20}, {10, 10, 20, 20}},
        {{50, 10, 20, 20}, {43, 10, 20, 20}}, // past the right edge: ends on width - 1
        {{43, 10, 20, 20}, {43, 10, 20, 20}}, // already ending on the last pixel
        {{-4, -1, 20, 20}, {0, 0, 20, 20}},
        {{10, 40, 2, 3}, {10, 40, 5, 5}},
        {{10, 30, 20, 20}, {10, 27, 20, 20}},
    };
    for (const Case& c : cases) {
        AreaFrame kept = keepAreaInside(c.in, 64, 48);
        EXPECT_EQ(kept.x, c.out.x) << c.in.x;
        EXPECT_EQ(kept.y, c.out.y) << c.in.y;
        EXPECT_EQ(kept.width, c.out.width);
        EXPECT_EQ(kept.height, c.out.height);
    }
}

} // namespace
} // namespace quillon::editor

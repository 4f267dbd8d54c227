// Cutting recognition images out of the shown screenshot: the capture
// dialog's checks in their order, the new image (Ctrl), the edit of an
// image (F4, "수정") and the move of an image (F1, then F2). Each copies the
// rectangle's pixels from the screenshot into the image.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analyzer/model.h"
#include "base/status.h"
#include "screenshots/screenshot_files.h"

namespace quillon::editor {

namespace capture_message {
inline constexpr const char* kTooMany = "최대 인식이미지 수를 초과합니다.(최대 %d개)";
inline constexpr const char* kBadSize = "올바른 가로/세로 픽셀수를 입력하세요.";
inline constexpr const char* kTooLarge = "가로/세로 각각 %d픽셀까지만 가능합니다.";
inline constexpr const char* kNotOdd = "픽셀수는 홀수만 가능합니다.";
inline constexpr const char* kOutside = "인식이미지가 화면을 벗어납니다.";
inline constexpr const char* kNoMemory = "메모리 할당에 실패했습니다.";
inline constexpr const char* kNoScreenshot = "이미지 파일이 없거나 잘못된 이미지 파일입니다.";
inline constexpr const char* kEditPatternQuestion =
    "경고!!\n수정하려는 이미지는 패턴이미지입니다.\n패턴이미지를 수정하면 설정한 패턴이 사라집니다.\n\n그래도 "
    "수정하시겠습니까?";
inline constexpr const char* kMovePatternQuestion =
    "패턴이미지입니다.\n이동하면 패턴이미지 속성이 사라집니다.\n\n이동 하시겠습니까?";
} // namespace capture_message

// The capture dialog's fields; a size that is no whole number is nothing.
struct CaptureForm {
    std::string name; // UTF-8; empty: the default name
    std::optional<int> width;
    std::optional<int> height;
};

enum class CaptureField { None, Width, Height };

struct CaptureRefusal {
    std::string message;
    CaptureField focus = CaptureField::None;
};

// The checks in their order: the image count (new images only), whole
// sizes above 0, at most 201, odd, and the rectangle around the centre
// inside the screenshot.
std::optional<CaptureRefusal> checkCapture(const CaptureForm& form, bool newImage, int imageCount, int centreX,
                                           int centreY, int screenshotWidth, int screenshotHeight);

// Copies the image's rectangle from the screenshot (blue, green, red; the
// mask byte cleared). Parts outside the bitmap stay black.
void copyImagePixels(const ScreenshotBitmap& shot, analyzer::RecognitionImage& image);

// A new image centred on (centreX, centreY) of the screenshot in
// `screenshotSlot`. The slot of the image comes back.
Built<int> makeRecognitionImage(analyzer::AnalyzerModel& model, const ScreenshotBitmap& shot, int screenshotSlot,
                                const CaptureForm& form, int centreX, int centreY);

// The bitmap of a screenshot slot; null when it cannot be had.
using ScreenshotOfSlot = std::function<const ScreenshotBitmap*(int screenshotSlot)>;

// Changes the image at a list position around its stored centre. A new size
// is checked against, and takes its pixels from, the screenshot the image
// was cut from (`screenshotOf` its slot), whichever one is on display; when
// that bitmap cannot be had the change is refused. Changing the size of a
// pattern image asks `confirmPatternLoss` first; No leaves the image as it
// was (the result is then refused with an empty message).
Built<int> editRecognitionImage(analyzer::AnalyzerModel& model, const ScreenshotOfSlot& screenshotOf, int position,
                                const CaptureForm& form, const std::function<bool()>& confirmPatternLoss);

// The list position of the recognition image of `screenshotSlot` whose
// rectangle holds the point (edges included); -1 when none does. The last
// listed wins, as it is drawn last.
int recognitionImageAt(const analyzer::AnalyzerModel& model, int screenshotSlot, int x, int y);

// Drops the pattern of an image (its flag and every cell's selection).
void clearPattern(analyzer::RecognitionImage& image);

// F2 of the move: the image centred on (x, y) when it stays inside the
// screenshot, its pixels copied anew.
Status placeRecognitionImage(analyzer::AnalyzerModel& model, const ScreenshotBitmap& shot, int slot, int x, int y);

// The blue, green and red of a screenshot pixel; false outside the bitmap.
bool screenshotPixel(const ScreenshotBitmap& shot, int x, int y, uint8_t bgr[3]);

// The magnifier's caption: "%.4d,%.4d   %.3d,%.3d,%.3d" (x, y, red, green,
// blue); just the position outside the screenshot.
std::string pointerStatusLine(const ScreenshotBitmap& shot, int x, int y);

// A recognition-area window moved or sized to (x, y, width, height) is
// kept inside the screenshot: edges before 0 go to 0, a right or bottom
// edge at or past the last pixel moves the window back so that it ends on
// width - 1 (height - 1), and it is at least 5 x 5.
struct AreaFrame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
inline constexpr int kSmallestAreaSide = 5;
AreaFrame keepAreaInside(AreaFrame frame, int screenshotWidth, int screenshotHeight);

} // namespace quillon::editor

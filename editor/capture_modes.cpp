#include "editor/capture_modes.h"

#include "base/byte_order.h"

namespace quillon::editor {

namespace {

bool flagAt(const uint8_t* settings, size_t size, size_t offset) {
    return offset + 4 <= size && loadLe32(settings + offset) == 1;
}

constexpr const char* kLegacyOnly =
    "현재 분석기는 구버전 모드 스샷이 적용되어 있습니다.\n\n구버전 모드로 찍은 스샷만 사용이 가능합니다.";
constexpr const char* kWindowModeAnalyzer =
    "현재 분석기는 창모드 스샷이 적용되어 있습니다.\n\n화면전체 스샷과 창화면을 찍은 스샷은 함께 사용할 수 "
    "없습니다.\n화면전체 스샷을 적용하고 싶으면, 분석기를 새로 만들어 주세요";
constexpr const char* kFullScreenAnalyzer =
    "현재 분석기는 화면전체 스샷이 적용되어 있습니다.\n\n화면전체 스샷과 창화면을 찍은 스샷은 함께 사용할 수 "
    "없습니다.\n창모드 스샷을 적용하고 싶으면, 분석기를 새로 만들어 주세요";
constexpr const char* kClientWindowAnalyzer =
    "현재 분석기는 창모드(타이틀바/메뉴/창틀 없슴(기본)) 스샷이 적용되어 있습니다.\n\n"
    "창모드(타이틀바/메뉴/창틀 있슴)로 찍은 스샷은 함께 사용할 수 없습니다.";
constexpr const char* kFramedWindowAnalyzer =
    "현재 분석기는 창모드(타이틀바/메뉴/창틀 있슴) 스샷이 적용되어 있습니다.\n\n"
    "창모드(타이틀바/메뉴/창틀 없슴(기본))로 찍은 스샷은 함께 사용할 수 없습니다.";

} // namespace

CaptureModes captureModesOf(const uint8_t* settings, size_t size) {
    CaptureModes m;
    m.legacy = flagAt(settings, size, kLegacyCaptureOffset);
    m.clientWindow = flagAt(settings, size, kClientWindowOffset);
    m.framedWindow = flagAt(settings, size, kFramedWindowOffset);
    m.fullScreen = flagAt(settings, size, kFullScreenOffset);
    return m;
}

CaptureModes analyzerCaptureModes(const analyzer::AnalyzerImage& image) {
    return {image.captureLegacy == 1, image.captureWindowNoFrame == 1, image.captureWindowFramed == 1,
            image.captureFullScreen == 1};
}

void storeAnalyzerCaptureModes(analyzer::AnalyzerImage& image, const CaptureModes& modes) {
    image.captureLegacy = modes.legacy ? 1 : 0;
    image.captureWindowNoFrame = modes.clientWindow ? 1 : 0;
    image.captureWindowFramed = modes.framedWindow ? 1 : 0;
    image.captureFullScreen = modes.fullScreen ? 1 : 0;
}

std::string captureModeRefusal(const CaptureModes& analyzer, const CaptureModes& shot) {
    if (analyzer.legacy && !shot.legacy) {
        return kLegacyOnly;
    }
    if (shot.fullScreen) {
        bool accepted = analyzer.fullScreen || (!analyzer.clientWindow && !analyzer.framedWindow);
        return accepted ? std::string() : kWindowModeAnalyzer;
    }
    if (analyzer.fullScreen) {
        return kFullScreenAnalyzer;
    }
    if (shot.framedWindow && analyzer.clientWindow) {
        return kClientWindowAnalyzer;
    }
    if (!shot.framedWindow && analyzer.framedWindow) {
        return kFramedWindowAnalyzer;
    }
    return {};
}

} // namespace quillon::editor

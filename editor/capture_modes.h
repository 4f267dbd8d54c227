// The capture modes of a screenshot, read from the settings copy that the
// screenshot tool writes beside each bitmap, and the rule that keeps every
// screenshot of one analyzer in compatible modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "analyzer/analyzer_image.h"

namespace quillon::editor {

// Where the settings copy (screenshots/screenshot_files.h) holds the modes.
inline constexpr size_t kLegacyCaptureOffset = 1208;
inline constexpr size_t kClientWindowOffset = 1212;
inline constexpr size_t kFramedWindowOffset = 1216;
inline constexpr size_t kFullScreenOffset = 1220;

struct CaptureModes {
    bool legacy = false;       // "구버전 모드"
    bool clientWindow = false; // window without title bar, menu and frame (the default)
    bool framedWindow = false; // window with them
    bool fullScreen = false;
    bool operator==(const CaptureModes&) const = default;
};

// The flags of a settings copy; fields the bytes do not reach read as 0.
CaptureModes captureModesOf(const uint8_t* settings, size_t size);

CaptureModes analyzerCaptureModes(const analyzer::AnalyzerImage& image);
void storeAnalyzerCaptureModes(analyzer::AnalyzerImage& image, const CaptureModes& modes);

// Empty when a shot in `shot` modes may join an analyzer in `analyzer` modes
// that already has screenshots; otherwise the refusal message.
std::string captureModeRefusal(const CaptureModes& analyzer, const CaptureModes& shot);

} // namespace quillon::editor

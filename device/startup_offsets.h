// Where the programs find their texts and settings in the start-up data files.
// resources/data/*.txt fills every offset named here; a test checks that the
// generated files hold a text at each of them.
#pragma once

#include <cstddef>

namespace quillon {

// Settings block: 32-bit signed little-endian fields.
namespace setting_offset {
inline constexpr size_t kKey = 40;
// analyzer-runner
inline constexpr size_t kStartHotkey = 400;
inline constexpr size_t kStopHotkey = 404;
inline constexpr size_t kWindowSwitchHotkey = 408;
inline constexpr size_t kItemDelayMini = 820;
inline constexpr size_t kItemDelayMain = 824;
inline constexpr size_t kCountdownOn = 828;
inline constexpr size_t kCountdownSeconds = 832;
inline constexpr size_t kCustomColours = 2480;
inline constexpr size_t kDialogColour = 2484;
inline constexpr size_t kTextBackgroundColour = 2488;
inline constexpr size_t kRunnerWindowCorner = 2492;
// shot-taker and analyzer-editor (the runner overwrites 1208..1220 with the analyzer's own flags)
inline constexpr size_t kCaptureSignal = 1200;
inline constexpr size_t kExitSignal = 1204;
inline constexpr size_t kLegacyCapture = 1208;
inline constexpr size_t kClientWindowMode = 1212;
inline constexpr size_t kFramedWindowMode = 1216;
inline constexpr size_t kFullScreenMode = 1220;
inline constexpr size_t kShotWindowCorner = 3272;
// control-panel
inline constexpr size_t kControlCustomColours = 2600;
inline constexpr size_t kControlDialogColour = 2604;
inline constexpr size_t kControlTextBackgroundColour = 2608;
} // namespace setting_offset

// Text block: messages and labels of analyzer-runner and shot-taker.
namespace text_offset {
// shot-taker
inline constexpr size_t kShotDeviceWarning = 260; // message and caption; caption of the start-up failure
inline constexpr size_t kShotStartupFailure = 708;
inline constexpr size_t kShotCursorExtension = 1476;
inline constexpr size_t kShotBitmapExtension = 1508;
inline constexpr size_t kShotSettingsExtension = 1540;
inline constexpr size_t kShotButtonCaption = 23972;
// analyzer-runner
inline constexpr size_t kRunnerCaption = 4096;
inline constexpr size_t kRunnerDataFileMissing = 4352;
inline constexpr size_t kRunnerNoDevice = 4608;
inline constexpr size_t kRunnerOptionRecordUnreadable = 4864;
inline constexpr size_t kRunnerAnalyzerNotLoadable = 5120; // shown as "%s - %d" with the loader's code
inline constexpr size_t kRunnerDeviceFailure = 5376;
inline constexpr size_t kRunnerOpenDialogTitle = 5632;
inline constexpr size_t kRunnerOpenDialogFilter = 5888; // '|' separates the filter's parts
inline constexpr size_t kRunnerDefaultExtension = 6144;
inline constexpr size_t kRunnerCurrentItemLabel = 6400;
inline constexpr size_t kRunnerResultCodeLabel = 6656;
inline constexpr size_t kRunnerClockLabel = 6912;
inline constexpr size_t kRunnerTimersLabel = 7168;
inline constexpr size_t kRunnerVariablesLabel = 7424;
inline constexpr size_t kRunnerRadioMini = 7680;
inline constexpr size_t kRunnerRadioMain = 7936;
} // namespace text_offset

// Name block: names and folders (516, 3460, 4964 and 5020 are in startup_data.h).
namespace name_offset {
inline constexpr size_t kSoundFolder = 5120;
inline constexpr size_t kAnalyzerFolder = 5376;
inline constexpr size_t kOpenDialogFolder = 5632;
inline constexpr size_t kDatePickerFormat = 5888;
inline constexpr size_t kDecompressLibrary = 6144;
inline constexpr size_t kDecompressProcedure = 6400;
// control-panel: starting folders of the file dialogs, one per macro kind,
// and the working folder of "tmp.tmp"
inline constexpr size_t kEditMacroFolder = 6656;
inline constexpr size_t kCombinationMacroFolder = 6912;
inline constexpr size_t kRecordedMacroFolder = 7168;
inline constexpr size_t kAutoClickFolder = 7424;
inline constexpr size_t kWorkingFolder = 7680;
// control-panel: the addresses of the two web pages of the main dialog
// ("질답\n게시판", "공개\n자료실"); empty when the installation has none.
inline constexpr size_t kQuestionBoardAddress = 7936;
inline constexpr size_t kPublicLibraryAddress = 8192;
} // namespace name_offset

} // namespace quillon

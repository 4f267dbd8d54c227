// The editor's limit messages, as the user sees them (UTF-8 here, converted
// at the window).
#pragma once

namespace quillon::analyzer::message {

inline constexpr const char* kTooManyScreenshots = "최대 이미지 갯수를 초과하였습니다.";
// %d: the capacity (5000).
inline constexpr const char* kTooManyRecognitionImages =
    "최대 인식이미지 갯수 %d를 초과하였습니다.\n불필요한 인식이미지들을 삭제하고 다시 시도해주세요.";
inline constexpr const char* kTooManyRecognitionImagesShort = "최대 인식이미지 수를 초과합니다.(최대 %d개)";
inline constexpr const char* kBadImageSize = "올바른 가로/세로 픽셀수를 입력하세요.";
inline constexpr const char* kImageTooLarge = "가로/세로 각각 %d픽셀까지만 가능합니다.";
inline constexpr const char* kImageSizeNotOdd = "픽셀수는 홀수만 가능합니다.";
inline constexpr const char* kImageOutsideScreen = "인식이미지가 화면을 벗어납니다.";
inline constexpr const char* kTooManyAreas = "범위지정은 최대 %d개까지만 가능합니다.";
inline constexpr const char* kTooManyFillPatches = "색깔채우기 최대 갯수를 초과했습니다.";
inline constexpr const char* kTooManyConditions = "최대 조건수를 초과하였습니다.";
inline constexpr const char* kTooManyCommands = "최대 명령수를 초과하였습니다.";
inline constexpr const char* kTooManyNextLinks = "최대 다음항목수를 초과하였습니다.";
inline constexpr const char* kSentenceTableFull =
    "문장이 꽉 찻습니다.\r\n불필요한 문장을 삭제한 후 다시 시도해주세요.";
inline constexpr const char* kSentenceTooLong = "문장길이가 너무 깁니다.(한글 약 125자)";
inline constexpr const char* kBadRepeatCount = "올바른 반복횟수를 입력해주세요(최대65000회).";
inline constexpr const char* kBadSimilarity = "[비슷한 정도]는 50~100%사이의 값이어야 합니다.";
inline constexpr const char* kBadSameness = "[같은 정도]는 50~100%사이의 값이어야 합니다.";
inline constexpr const char* kBadMatchIndex =
    "몇번째 일치 이미지를 찾을지는 1 ~ 30,000번째 이미지까지만 설정이 가능합니다.";
inline constexpr const char* kBadRemoteNumber = "감지할 원격제어명령을 입력해주세요.(0~250)";
inline constexpr const char* kImageAllocationFailed = "인식이미지 메모리를 할당 실패.";
inline constexpr const char* kAllocationFailed = "메모리를 할당 실패.";

// File messages.
inline constexpr const char* kOpenFailed = "파일을 불러 오는데 실패했습니다.";
inline constexpr const char* kNotAnAnalyzerFile = "Quillon 분석기 파일이 아닙니다.";
inline constexpr const char* kSoundRestoreFailed = "일부 사운드 파일을 로드하지 못했습니다.";
inline constexpr const char* kSaveFailed = "파일로 저장하는데 실패했습니다.";
inline constexpr const char* kSaveDone = "파일 저장을 완료 했습니다.";
// %s: sound file name, analyzer name.
inline constexpr const char* kSoundSaveFailed = "사운드파일 [%s]를 [%s]분석기에 저장하는 동안 오류가 발생했습니다.";

// Limits of values entered in the condition and command dialogs.
inline constexpr int kMaxRepeatCount = 65000;
inline constexpr int kMinSimilarity = 50;
inline constexpr int kMaxSimilarity = 100;
inline constexpr int kMaxMatchIndex = 30000;
inline constexpr int kMaxRemoteNumber = 250;

} // namespace quillon::analyzer::message

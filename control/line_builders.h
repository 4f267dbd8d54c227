// The line dialogs' rules without the windows: each builder checks what the
// user entered, refuses it with the dialog's message, or returns the line
// with its parameters, sentence and colour set. The memo is set separately
// (setMemo) and the line is placed with MacroLineEditor::addLine.
#pragma once

#include <optional>
#include <string>

#include "control/macro_records.h"

namespace quillon::control {

struct LineBuild {
    bool ok = false;
    EditLine line{};
    // UTF-8, shown with the caption "오류" when !ok; empty when the dialog
    // only stays open.
    std::string message;
};

// "키보드 동작": kinds 1, 2, 3, 48, 49, 64..69, 96; `keyRow` for the kinds with a key.
LineBuild makeKeyLine(int kind, int keyRow);
// "마우스 버튼 동작": kinds 16.., 19.., 22.., 25.., 51.., 73.., 76.., 92.. take the
// button 0..2 as an offset; 50, 70..72, 97 have none.
LineBuild makeButtonLine(int baseKind, int button);
// Scroll up (41) or down (42), 1..255.
LineBuild makeScrollLine(int kind, int count);

// "마우스 이동": choice 0 absolute (28/29), 1 relative (30/31), 2 remember
// (37), 3 shift a remembered point (38), 4 move to a remembered point (39, or
// 40 with the random box). Needs the reference screenshot's size.
LineBuild makeMoveLine(int choice, bool random, int x, int y, int slot, int screenWidth, int screenHeight);
constexpr const char* kNeedScreenshot = "먼저 스크린샷 불러오기를 하셔야 합니다.";

// "FPS 마우스이동": amounts 0..200.
LineBuild makeFpsMoveLine(int horizontal, bool left, int vertical, bool up);

// "구간 반복": a repeat start, or a comparison (operator -1 = side absent).
LineBuild makeRepeatLine(int name, int count);
LineBuild makeRepeatCompareLine(int name, int leftValue, int leftOperator, int rightOperator, int rightValue);
LineBuild makeSimpleLine(int kind); // 103, 105, 98, 99, 56, 80, lights, 224, 225

// "시간지연": seconds as typed ("1.5"), at most three decimals, 0.001..65.
std::optional<int> parseDelaySeconds(const std::string& text);
LineBuild makeDelayLine(const std::string& seconds);
LineBuild makeRandomDelayLine(const std::string& lower, const std::string& upper);

// "원격 제어": kinds 120, 57, 81 with a command number 0..250 (missing: nullopt).
LineBuild makeRemoteLine(int kind, std::optional<int> number);

// "기계제어": label (152) or jump (153), at most 14 bytes in CP949.
LineBuild makeLabelLine(int kind, const std::string& name);

// Combination pages: play recorded (208) or edit (209) memory 0..31.
LineBuild makePlayMemoryLine(int kind, int index);

// Typing line for a text slot already filled (placeTypingText).
LineBuild makeTypingLine(int slot, const TextStore& store);

// Headers of the page's options. An empty name becomes "새로 만든 매크로".
EditMemoryHeader makeEditMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength);
CombinationMemoryHeader makeCombinationMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength,
                                                    uint32_t recordedSet, uint32_t editSet);

} // namespace quillon::control

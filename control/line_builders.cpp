#include "control/line_builders.h"

#include <cctype>

#include "base/text.h"
#include "control/key_codes.h"
#include "control/line_kinds.h"
#include "control/recorded_macro.h"

namespace quillon::control {

namespace {

const TextStore& noTexts() {
    static const ZeroedPtr<TextStore> store = newTextStore();
    return *store;
}

LineBuild done(EditLine line, const TextStore& store = noTexts()) {
    rebuildSentence(line, store);
    return {true, line, {}};
}

LineBuild refused(std::string message) { return {false, EditLine{}, std::move(message)}; }

EditLine lineOf(int kind) {
    EditLine line{};
    line.kind = kind;
    return line;
}

} // namespace

LineBuild makeKeyLine(int kind, int keyRow) {
    const bool withKey = kind == 1 || kind == 2 || kind == 3 || kind == 49 || (kind >= 67 && kind <= 69);
    const bool without = kind == 48 || (kind >= 64 && kind <= 66) || kind == 96;
    if (!withKey && !without) return refused({});
    if (withKey && !keyCodeOfRow(keyRow)) return refused({});
    EditLine line = lineOf(kind);
    if (withKey) P(line, 8) = keyRow;
    return done(line);
}

LineBuild makeButtonLine(int baseKind, int button) {
    const bool withButton = baseKind == 16 || baseKind == 19 || baseKind == 22 || baseKind == 25 || baseKind == 51 ||
                            baseKind == 73 || baseKind == 76 || baseKind == 92;
    const bool without = baseKind == 50 || (baseKind >= 70 && baseKind <= 72) || baseKind == 97;
    if (!withButton && !without) return refused({});
    if (withButton && (button < 0 || button > 2)) return refused({});
    EditLine line = lineOf(withButton ? baseKind + button : baseKind);
    if (withButton) P(line, 8) = button;
    return done(line);
}

LineBuild makeScrollLine(int kind, int count) {
    if (kind != 41 && kind != 42) return refused({});
    if (count < 1 || count > 255) return refused("1~255 사이의 값을 입력해주세요.");
    EditLine line = lineOf(kind);
    P(line, 20) = count;
    return done(line);
}

LineBuild makeMoveLine(int choice, bool random, int x, int y, int slot, int width, int height) {
    if (width <= 0 || height <= 0) return refused(kNeedScreenshot);
    const bool needsSlot = choice >= 2;
    if (needsSlot && (slot < 0 || slot > 7)) return refused({});
    EditLine line{};
    switch (choice) {
    case 0:
        // An absolute position must lie on the reference screen.
        if (x < 0 || y < 0 || x >= width || y >= height) return refused({});
        line.kind = random ? 29 : 28;
        break;
    case 1:
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return refused({});
        line.kind = random ? 31 : 30;
        break;
    case 2: line.kind = 37; break;
    case 3:
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767) return refused({});
        line.kind = 38;
        break;
    case 4: line.kind = random ? kind::kMoveToRememberedRandom : 39; break;
    default: return refused({});
    }
    // The dialog's random box is kept in P8 for every choice.
    P(line, 8) = random ? 1 : 0;
    if (choice <= 1 || choice == 3) {
        P(line, 16) = x;
        P(line, 20) = y;
        P(line, 32) = width;
        P(line, 36) = height;
    }
    if (needsSlot) P(line, 24) = slot;
    return done(line);
}

LineBuild makeFpsMoveLine(int horizontal, bool left, int vertical, bool up) {
    if (horizontal < 0 || horizontal > 200) return refused("가로값은 200까지입니다.");
    if (vertical < 0 || vertical > 200) return refused("세로값은 200까지입니다.");
    EditLine line = lineOf(kind::kFpsMove);
    P(line, 12) = horizontal;
    P(line, 20) = left ? 1 : 0;
    P(line, 16) = vertical;
    P(line, 24) = up ? 1 : 0;
    return done(line);
}

namespace {
constexpr const char* kRepeatRange = "반복횟수는 1~65000회까지 설정하세요.";
}

LineBuild makeRepeatLine(int name, int count) {
    if (name < 0 || name > 4) return refused({});
    if (count < 1 || count > 65000) return refused(kRepeatRange);
    EditLine line = lineOf(kind::kRepeatStart);
    P(line, 8) = name;
    P(line, 16) = count;
    return done(line);
}

LineBuild makeRepeatCompareLine(int name, int leftValue, int leftOperator, int rightOperator, int rightValue) {
    if (name < 0 || name > 4) return refused({});
    auto validOperator = [](int op) { return op >= -1 && op <= 2; };
    if (!validOperator(leftOperator) || !validOperator(rightOperator)) return refused({});
    if (leftOperator < 0 && rightOperator < 0) return refused({});
    if (leftValue < 0 || rightValue < 0 || leftValue > 65000 || rightValue > 65000) return refused(kRepeatRange);
    if (rightOperator >= 0 && rightValue < leftValue) return refused("[큰쪽]횟수는 반드시 [작은쪽]횟수보다 커야 합니다.");
    EditLine line = lineOf(kind::kRepeatCompare);
    P(line, 8) = name;
    P(line, 20) = leftValue;
    P(line, 24) = leftOperator;
    P(line, 28) = rightOperator;
    P(line, 32) = rightValue;
    return done(line);
}

LineBuild makeSimpleLine(int kind) {
    const bool simple = kind == 103 || kind == 105 || kind == 98 || kind == 99 || kind == 56 || kind == 80 ||
                        (kind >= kind::kRedOn && kind <= kind::kGreenOff) || kind == 224 || kind == 225;
    if (!simple) return refused({});
    return done(lineOf(kind));
}

std::optional<int> parseDelaySeconds(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    long whole = 0;
    int digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        whole = whole * 10 + (text[at++] - '0');
        if (++digits > 6) return std::nullopt;
    }
    int fraction = 0, decimals = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            if (++decimals > 3) return std::nullopt;
            fraction = fraction * 10 + (text[at++] - '0');
        }
    }
    while (at < text.size() && text[at] == ' ') ++at;
    if (at != text.size() || (digits == 0 && decimals == 0)) return std::nullopt;
    for (int i = decimals; i < 3; ++i) fraction *= 10;
    long ms = whole * 1000 + fraction;
    if (ms < 1 || ms > 65000) return std::nullopt;
    return static_cast<int>(ms);
}

namespace {
constexpr const char* kDelayRange = "지연시간은 0.001~65초까지 입니다.";
}

LineBuild makeDelayLine(const std::string& seconds) {
    auto ms = parseDelaySeconds(seconds);
    if (!ms) return refused(kDelayRange);
    EditLine line = lineOf(kind::kDelay);
    P(line, 16) = *ms;
    return done(line);
}

LineBuild makeRandomDelayLine(const std::string& lower, const std::string& upper) {
    auto low = parseDelaySeconds(lower), high = parseDelaySeconds(upper);
    if (!low || !high) return refused(kDelayRange);
    EditLine line = lineOf(kind::kRandomDelay);
    P(line, 20) = *low;
    P(line, 24) = *high;
    return done(line);
}

LineBuild makeRemoteLine(int kind, std::optional<int> number) {
    if (kind != 120 && kind != 57 && kind != 81) return refused({});
    if (!number || *number < 0 || *number > 250) return refused({}); // the dialog stays open
    EditLine line = lineOf(kind);
    P(line, 20) = *number;
    return done(line);
}

LineBuild makeLabelLine(int kind, const std::string& name) {
    if (kind != kind::kLabel && kind != kind::kJump) return refused({});
    // The label field holds 14 CP949 bytes and its NUL (seven Hangul syllables).
    std::string cp949 = text::utf8ToCp949(name);
    if (cp949.empty() || cp949.size() > kMaxLabelCharacters) return refused({});
    EditLine line = lineOf(kind);
    setLabel(line, name);
    return done(line);
}

LineBuild makePlayMemoryLine(int kind, int index) {
    if ((kind != kind::kPlayRecorded && kind != kind::kPlayEdit) || index < 0 || index > 31) return refused({});
    EditLine line = lineOf(kind);
    P(line, 12) = index;
    return done(line);
}

LineBuild makeTypingLine(int slot, const TextStore& store) {
    if (slot < 0 || slot >= kTextSlotCount || store.slots[slot].inUse != 1) return refused({});
    EditLine line = lineOf(kind::kTypeText);
    P(line, 8) = slot;
    return done(line, store);
}

EditMemoryHeader makeEditMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength) {
    EditMemoryHeader header{};
    header.magic = kEditMagic;
    header.flags = flags;
    setMacroName(header.name, utf8Name, 40);
    header.bodyLength = static_cast<uint16_t>(codeLength);
    return header;
}

CombinationMemoryHeader makeCombinationMemoryHeader(const std::string& utf8Name, uint16_t flags, size_t codeLength,
                                                    uint32_t recordedSet, uint32_t editSet) {
    CombinationMemoryHeader header{};
    header.magic = kCombinationMagic;
    header.flags = flags;
    setMacroName(header.name, utf8Name, 40);
    header.bodyLength = static_cast<uint16_t>(codeLength);
    header.recordedSet = recordedSet;
    header.editSet = editSet;
    return header;
}

} // namespace quillon::control

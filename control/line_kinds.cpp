#include "control/line_kinds.h"
#include "base/fixed_text.h"

#include <cstring>

#include "base/text.h"
#include "base/format_text.h"
#include "control/key_codes.h"

namespace quillon::control {

Block blockOpenedBy(int k) {
    if (k >= kind::kIfAnyKeyFirst && k <= kind::kIfKeyLast) return Block::KeyIf;
    if ((k >= kind::kIfAnyButtonFirst && k <= kind::kIfButtonLast) ||
        (k >= kind::kIfButtonOnceFirst && k <= kind::kIfButtonOnceLast))
        return Block::ButtonIf;
    if (k == kind::kIfAnyRemote || k == kind::kIfRemote) return Block::RemoteIf;
    if (k == kind::kRepeatStart) return Block::Repeat;
    if (k == kind::kRepeatCompare) return Block::RepeatCompare;
    return Block::None;
}

Block blockClosedBy(int k) {
    switch (k) {
    case kind::kEndKeyIf: return Block::KeyIf;
    case kind::kEndButtonIf: return Block::ButtonIf;
    case kind::kEndRemoteIf: return Block::RemoteIf;
    case kind::kRepeatEnd: return Block::Repeat;
    case kind::kEndRepeatCompare: return Block::RepeatCompare;
    default: return Block::None;
    }
}

std::string formatSeconds(int32_t ms) {
    if (ms < 0) ms = 0;
    int whole = ms / 1000;
    int fraction = ms % 1000;
    if (fraction % 10 != 0) return formatText("%d.%.3d", whole, fraction);
    if (fraction % 100 != 0) return formatText("%d.%.2d", whole, fraction / 10);
    return formatText("%d.%.1d", whole, fraction / 100);
}

std::string buttonName(int button) {
    static const char* const names[] = {"왼쪽", "가운데", "오른쪽"};
    return button >= 0 && button < 3 ? names[button] : "?";
}

std::string repeatName(int name) {
    static const char* const names[] = {"A", "B", "C", "D", "E"};
    return name >= 0 && name < 5 ? names[name] : "?";
}

std::string operatorName(int op) {
    static const char* const names[] = {"=", "<=", "<", "X"};
    return op >= 0 && op < 4 ? names[op] : "X";
}

std::string rememberedName(int slot) { return formatText("기억좌표%d", slot + 1); }

namespace {

std::string keyName(const EditLine& line) { return keyNameOfRow(P(line, 8)); }

// Bank-slot of a memory index: 13 -> "2-6".
int bankOf(int index) { return index / 8 + 1; }
int slotOf(int index) { return index % 8 + 1; }

std::string typingPreview(const EditLine& line, const TextStore& store) {
    int slot = P(line, 8);
    if (slot < 0 || slot >= kTextSlotCount) return {};
    const TextSlot& s = store.slots[slot];
    size_t length = fixedText(s.text, sizeof(s.text)).size();
    // The first 38 bytes of the text, never half a double-byte character.
    char preview[39];
    storeFixedText(preview, sizeof(preview), std::string_view(s.text, length));
    for (char& c : preview) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text::cp949ToUtf8(preview);
}

std::string repeatCompareSentence(const EditLine& line) {
    std::string name = repeatName(P(line, 8));
    int leftOp = P(line, 24), rightOp = P(line, 28);
    bool left = leftOp >= 0 && leftOp <= 2;
    bool right = rightOp >= 0 && rightOp <= 2;
    if (left && right) {
        return formatText("만약 %d%s반복[%s]%s%d 이면 {", P(line, 20), operatorName(leftOp).c_str(), name.c_str(),
                          operatorName(rightOp).c_str(), P(line, 32));
    }
    if (right) {
        return formatText("만약 반복[%s]%s%d 이면 {", name.c_str(), operatorName(rightOp).c_str(), P(line, 32));
    }
    return formatText("만약 %d%s반복[%s] 이면 {", P(line, 20), operatorName(leftOp).c_str(), name.c_str());
}

std::string keySentence(const char* format, const EditLine& line) { return formatText(format, keyName(line).c_str()); }
// Button kinds carry the button in the opcode itself (16 + b and so on); the
// sentence names the button the code will use.
std::string buttonSentence(const char* format, int button) { return formatText(format, buttonName(button).c_str()); }
std::string labelText(const EditLine& line) {
    return text::cp949ToUtf8(std::string(fixedText(line.label, kLabelSize)));
}

#define FIXED(text) [](const EditLine&, const TextStore&) { return std::string(text); }
#define KEY(format) [](const EditLine& l, const TextStore&) { return keySentence(format, l); }
#define BUTTON(format, b) [](const EditLine&, const TextStore&) { return buttonSentence(format, b); }
#define BUTTONS(first, format, dialog, colour)                                                                  \
    {first, dialog, colour, BUTTON(format, 0)}, {first + 1, dialog, colour, BUTTON(format, 1)},                \
        {first + 2, dialog, colour, BUTTON(format, 2)}

using D = LineDialog;

const LineKind kLineKinds[] = {
    // "키보드 동작"
    {1, D::Keyboard, 0, KEY("[ %s ]키를 누른다.")},
    {2, D::Keyboard, 0, KEY("눌린 [ %s ]키를 뗀다.")},
    {3, D::Keyboard, 0, KEY("[ %s ]키를 눌렀다 뗀다.")},
    {48, D::Keyboard, 0xF20079, FIXED("[아무]키나 누를때까지 대기...")},
    {49, D::Keyboard, 0xF20079, KEY("[ %s ]키를 누를때까지 대기...")},
    {64, D::Keyboard, 0xFF8080, FIXED("만약 [아무]키나 누르면(계속 반복) {")},
    {65, D::Keyboard, 0xFF8080, FIXED("만약 [아무]키나 누르면(1회 통과) {")},
    {66, D::Keyboard, 0xFF8080, FIXED("만약 [아무]키나 누르면(1회 실행) {")},
    {67, D::Keyboard, 0xFF8080, KEY("만약 [ %s ]키를 누르면(계속 반복) {")},
    {68, D::Keyboard, 0xFF8080, KEY("만약 [ %s ]키를 누르면(1회 통과) {")},
    {69, D::Keyboard, 0xFF8080, KEY("만약 [ %s ]키를 누르면(1회 실행) {")},
    {96, D::Keyboard, 0xFF8080, FIXED("} 만약 [아무키/키] 끝")},
    // "마우스 버튼 동작", with the wheel
    BUTTONS(16, "[%s]버튼을 누른다.", D::MouseButton, 0),
    BUTTONS(19, "[%s]버튼을 뗀다.", D::MouseButton, 0),
    BUTTONS(22, "[%s]버튼을 클릭한다.", D::MouseButton, 0),
    BUTTONS(25, "[%s]버튼을 더블클릭한다.", D::MouseButton, 0),
    {50, D::MouseButton, 0xFF00, FIXED("[아무]버튼이나 누를때까지 대기.....")},
    BUTTONS(51, "[%s]버튼을 누를때까지 대기.....", D::MouseButton, 0xFF00),
    {70, D::MouseButton, 0xCA00, FIXED("만약 [아무]버튼이나 누르면(계속 실행) {")},
    {71, D::MouseButton, 0xCA00, FIXED("만약 [아무]버튼이나 누르면(1회 통과) {")},
    {72, D::MouseButton, 0xCA00, FIXED("만약 [아무]버튼이나 누르면(1회 실행) {")},
    BUTTONS(73, "만약 [%s]버튼을 누르면(계속 실행) {", D::MouseButton, 0xCA00),
    BUTTONS(76, "만약 [%s]버튼을 누르면(1회 통과) {", D::MouseButton, 0xCA00),
    BUTTONS(92, "만약 [%s]버튼을 누르면(1회 실행) {", D::MouseButton, 0xCA00),
    {97, D::MouseButton, 0xCA00, FIXED("} 만약 [버튼] 끝")},
    {41, D::MouseButton, 0,
     [](const EditLine& l, const TextStore&) { return formatText("위로 %d칸 스크롤", P(l, 20)); }},
    {42, D::MouseButton, 0,
     [](const EditLine& l, const TextStore&) { return formatText("아래로 %d칸 스크롤", P(l, 20)); }},
    // "마우스 이동"
    {28, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("마우스를 [X=%d, Y=%d]로 이동", P(l, 16), P(l, 20));
     }},
    {29, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("마우스를 [X=%d, Y=%d]로 랜덤이동", P(l, 16), P(l, 20));
     }},
    {30, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("이전위치에서 [X=%d, Y=%d]만큼 이동", P(l, 16), P(l, 20));
     }},
    {31, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("이전위치에서 [X=%d, Y=%d]만큼 랜덤이동", P(l, 16), P(l, 20));
     }},
    {37, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("현재좌표를 [%s]에 기억시킨다.", rememberedName(P(l, 24)).c_str());
     }},
    {38, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("[%s]를 (X=%d,Y=%d)만큼 이동시킨다.", rememberedName(P(l, 24)).c_str(), P(l, 16),
                           P(l, 20));
     }},
    {39, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("마우스를 [%s]로 이동한다.", rememberedName(P(l, 24)).c_str());
     }},
    // The random box with "마우스를": the compiler plays it as kind 39.
    {40, D::Move, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("마우스를 [%s]로 이동한다.", rememberedName(P(l, 24)).c_str());
     }},
    // "FPS 마우스이동"
    {32, D::FpsMove, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText(P(l, 20) == 1 ? "<FPS 마우스이동> 좌로 %d," : "<FPS 마우스이동> 우로 %d,", P(l, 12)) +
                formatText(P(l, 24) == 1 ? " 위로 %d 이동한다." : " 아래로 %d 이동한다.", P(l, 16));
     }},
    // "구간 반복"
    {88, D::Repeat, 0x4080FF,
     [](const EditLine& l, const TextStore&) {
         return formatText("반복 [%s] 시작(%d회) {.", repeatName(P(l, 8)).c_str(), P(l, 16));
     }},
    {103, D::Repeat, 0x4080FF, FIXED("} 반복 끝.")},
    {105, D::Repeat, 0x3D96D1, FIXED("반복 탈출")},
    {89, D::Repeat, 0x53CF5, [](const EditLine& l, const TextStore&) { return repeatCompareSentence(l); }},
    {98, D::Repeat, 0x53CF5, FIXED("} 반복비교 끝")},
    // "시간지연"
    {112, D::Delay, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("%s초 동안 대기한다.", formatSeconds(P(l, 16)).c_str());
     }},
    {113, D::Delay, 0,
     [](const EditLine& l, const TextStore&) {
         return formatText("%s ~ %s초 동안 대기한다.", formatSeconds(P(l, 20)).c_str(),
                           formatSeconds(P(l, 24)).c_str());
     }},
    // "문장 입력"
    {8, D::Typing, 0,
     [](const EditLine& l, const TextStore& store) {
         return formatText("문장 출력 [%s ...]", typingPreview(l, store).c_str());
     }},
    // "원격 제어"
    {120, D::Remote, 0xF00000,
     [](const EditLine& l, const TextStore&) { return formatText("연결된 기계로 명령 [ %d ]를 보낸다.", P(l, 20)); }},
    {56, D::Remote, 0xF00000, FIXED("연결된 기계로부터 [아무 명령]이나 올때까지 기다린다.")},
    {57, D::Remote, 0xF00000,
     [](const EditLine& l, const TextStore&) {
         return formatText("연결된 기계로부터 명령 [ %d ]가 올때까지 기다린다.", P(l, 20));
     }},
    {80, D::Remote, 0xF00000, FIXED("만약 연결된 기계로부터 [아무 명령]이나 오면 {")},
    {81, D::Remote, 0xF00000,
     [](const EditLine& l, const TextStore&) {
         return formatText("만약 연결된 기계로부터 명령 [ %d ]가 오면 {", P(l, 20));
     }},
    {99, D::Remote, 0xF00000, FIXED("} 만약 [원격명령] 끝")},
    // "장치 제어"
    {136, D::MachineControl, 0x1B00D2, FIXED("빨강불을 켠다.")},
    {137, D::MachineControl, 0x1B00D2, FIXED("빨강불을 끈다.")},
    {138, D::MachineControl, 0x1B00D2, FIXED("노랑불을 켠다.")},
    {139, D::MachineControl, 0x1B00D2, FIXED("노랑불을 끈다.")},
    {140, D::MachineControl, 0x1B00D2, FIXED("초록불을 켠다.")},
    {141, D::MachineControl, 0x1B00D2, FIXED("초록불을 끈다.")},
    {152, D::MachineControl, 0x1B00D2,
     [](const EditLine& l, const TextStore&) { return formatText("==>이름표 [%s]", labelText(l).c_str()); }},
    {153, D::MachineControl, 0x1B00D2,
     [](const EditLine& l, const TextStore&) {
         return formatText("<==이름표 [%s]로 동작이동", labelText(l).c_str());
     }},
    {224, D::MachineControl, 0x1B00D2, FIXED("매크로를 종료한다.")},
    {225, D::MachineControl, 0x1B00D2, FIXED("컴퓨터를 끈다.")},
    // Combination pages: "녹화 매크로" and "편집 매크로"
    {208, D::PlayMemory, 0xFF8000,
     [](const EditLine& l, const TextStore&) {
         return formatText("%d-%d녹화매크로를 재생한다", bankOf(P(l, 12)), slotOf(P(l, 12)));
     },
     true},
    {209, D::PlayMemory, 0x8000FF,
     [](const EditLine& l, const TextStore&) {
         return formatText("%d-%d편집매크로를 재생한다", bankOf(P(l, 12)), slotOf(P(l, 12)));
     },
     true},
};

#undef FIXED
#undef KEY
#undef BUTTON
#undef BUTTONS

// Opcodes are bytes: one lookup slot each.
struct KindIndex {
    const LineKind* byKind[256]{};
    KindIndex() {
        for (const LineKind& k : kLineKinds) byKind[k.kind] = &k;
    }
};

} // namespace

std::span<const LineKind> lineKinds() { return kLineKinds; }

const LineKind* findLineKind(int kind) {
    static const KindIndex index;
    return kind >= 0 && kind < 256 ? index.byKind[kind] : nullptr;
}

bool isKnownKind(int k, bool combination) {
    const LineKind* entry = findLineKind(k);
    return entry && (combination || !entry->combinationOnly);
}

uint32_t colourOfKind(int k) {
    const LineKind* entry = findLineKind(k);
    return entry ? entry->colour : 0;
}

std::string sentenceOf(const EditLine& line, const TextStore& store) {
    const LineKind* entry = findLineKind(line.kind);
    return entry ? entry->sentence(line, store) : std::string();
}

void setSentence(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    line.sentenceLength =
        static_cast<int32_t>(storeFixedText(line.sentence, sizeof(line.sentence), cp949));
}

void setMemo(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    line.memoLength = static_cast<int32_t>(storeFixedText(line.memo, sizeof(line.memo), cp949));
}

void setLabel(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    storeFixedText(line.label, kMaxLabelCharacters + 1, cp949);
    std::memset(line.label + kMaxLabelCharacters + 1, 0, kLabelSize - kMaxLabelCharacters - 1);
}

void rebuildSentence(EditLine& line, const TextStore& store) {
    setSentence(line, sentenceOf(line, store));
    line.colour = colourOfKind(line.kind);
}

std::string lineDisplayText(const EditLine& line) {
    std::string out(line.indent > 0 ? static_cast<size_t>(line.indent < 64 ? line.indent : 64) : 0, '\t');
    out += text::cp949ToUtf8(std::string(fixedText(line.sentence, sizeof(line.sentence))));
    if (line.memoLength != 0) {
        out += "\t\t//";
        out += text::cp949ToUtf8(std::string(fixedText(line.memo, sizeof(line.memo))));
    }
    return out;
}

} // namespace quillon::control

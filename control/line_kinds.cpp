#include "control/line_kinds.h"

#include <cstring>

#include "base/text.h"
#include "control/format_text.h"
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

bool isKnownKind(int k, bool combination) {
    if (combination && (k == kind::kPlayRecorded || k == kind::kPlayEdit)) return true;
    if (k >= 1 && k <= 3) return true;
    if (k == kind::kTypeText) return true;
    if (k >= 16 && k <= 32) return true;
    if (k >= 37 && k <= 42) return true;
    if (k >= 48 && k <= 53) return true;
    if (k == 56 || k == 57) return true;
    if (k >= 64 && k <= 78) return true;
    if (k == 80 || k == 81 || k == 88 || k == 89) return true;
    // 95 is no line kind: 92..94 open a button-if, 96..99 close blocks.
    if ((k >= 92 && k <= 94) || (k >= 96 && k <= 99)) return true;
    if (k == 103 || k == 105 || k == 112 || k == 113 || k == 120) return true;
    if (k >= kind::kRedOn && k <= kind::kGreenOff) return true;
    return k == kind::kLabel || k == kind::kJump || k == kind::kEndMacro || k == kind::kShutDown;
}

uint32_t colourOfKind(int k) {
    if (k == 48 || k == 49) return 0xF20079;
    if ((k >= 64 && k <= 69) || k == 96) return 0xFF8080;
    if (k >= 50 && k <= 53) return 0xFF00;
    if ((k >= 70 && k <= 78) || (k >= 92 && k <= 94) || k == 97) return 0xCA00;
    if (k == 88 || k == 103) return 0x4080FF;
    if (k == 105) return 0x3D96D1;
    if (k == 89 || k == 98) return 0x53CF5;
    if (k == 120 || k == 56 || k == 57 || k == 80 || k == 81 || k == 99) return 0xF00000;
    if ((k >= 136 && k <= 141) || k == 152 || k == 153 || k == 224 || k == 225) return 0x1B00D2;
    if (k == 208) return 0xFF8000;
    if (k == 209) return 0x8000FF;
    return 0;
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
    size_t length = fieldLength(s.text, sizeof(s.text));
    // The first 38 bytes of the text, never half a double-byte character.
    char preview[39];
    copyCp949Field(preview, sizeof(preview), s.text, length);
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

} // namespace

std::string sentenceOf(const EditLine& line, const TextStore& store) {
    const int k = line.kind;
    const char* key = nullptr;
    switch (k) {
    case 1: return formatText("[ %s ]키를 누른다.", keyName(line).c_str());
    case 2: return formatText("눌린 [ %s ]키를 뗀다.", keyName(line).c_str());
    case 3: return formatText("[ %s ]키를 눌렀다 뗀다.", keyName(line).c_str());
    case 48: return "[아무]키나 누를때까지 대기...";
    case 49: return formatText("[ %s ]키를 누를때까지 대기...", keyName(line).c_str());
    case 64: return "만약 [아무]키나 누르면(계속 반복) {";
    case 65: return "만약 [아무]키나 누르면(1회 통과) {";
    case 66: return "만약 [아무]키나 누르면(1회 실행) {";
    case 67: key = "만약 [ %s ]키를 누르면(계속 반복) {"; break;
    case 68: key = "만약 [ %s ]키를 누르면(1회 통과) {"; break;
    case 69: key = "만약 [ %s ]키를 누르면(1회 실행) {"; break;
    case 96: return "} 만약 [아무키/키] 끝";
    case 50: return "[아무]버튼이나 누를때까지 대기.....";
    case 70: return "만약 [아무]버튼이나 누르면(계속 실행) {";
    case 71: return "만약 [아무]버튼이나 누르면(1회 통과) {";
    case 72: return "만약 [아무]버튼이나 누르면(1회 실행) {";
    case 97: return "} 만약 [버튼] 끝";
    case 41: return formatText("위로 %d칸 스크롤", P(line, 20));
    case 42: return formatText("아래로 %d칸 스크롤", P(line, 20));
    case 28: return formatText("마우스를 [X=%d, Y=%d]로 이동", P(line, 16), P(line, 20));
    case 29: return formatText("마우스를 [X=%d, Y=%d]로 랜덤이동", P(line, 16), P(line, 20));
    case 30: return formatText("이전위치에서 [X=%d, Y=%d]만큼 이동", P(line, 16), P(line, 20));
    case 31: return formatText("이전위치에서 [X=%d, Y=%d]만큼 랜덤이동", P(line, 16), P(line, 20));
    case 32:
        return formatText(P(line, 20) == 1 ? "<FPS 마우스이동> 좌로 %d," : "<FPS 마우스이동> 우로 %d,", P(line, 12)) +
               formatText(P(line, 24) == 1 ? " 위로 %d 이동한다." : " 아래로 %d 이동한다.", P(line, 16));
    case 37: return formatText("현재좌표를 [%s]에 기억시킨다.", rememberedName(P(line, 24)).c_str());
    case 38:
        return formatText("[%s]를 (X=%d,Y=%d)만큼 이동시킨다.", rememberedName(P(line, 24)).c_str(), P(line, 16),
                          P(line, 20));
    case 39:
    case 40: return formatText("마우스를 [%s]로 이동한다.", rememberedName(P(line, 24)).c_str());
    case 88: return formatText("반복 [%s] 시작(%d회) {.", repeatName(P(line, 8)).c_str(), P(line, 16));
    case 103: return "} 반복 끝.";
    case 105: return "반복 탈출";
    case 89: return repeatCompareSentence(line);
    case 98: return "} 반복비교 끝";
    case 112: return formatText("%s초 동안 대기한다.", formatSeconds(P(line, 16)).c_str());
    case 113:
        return formatText("%s ~ %s초 동안 대기한다.", formatSeconds(P(line, 20)).c_str(),
                          formatSeconds(P(line, 24)).c_str());
    case 8: return formatText("문장 출력 [%s ...]", typingPreview(line, store).c_str());
    case 120: return formatText("연결된 기계로 명령 [ %d ]를 보낸다.", P(line, 20));
    case 56: return "연결된 기계로부터 [아무 명령]이나 올때까지 기다린다.";
    case 57: return formatText("연결된 기계로부터 명령 [ %d ]가 올때까지 기다린다.", P(line, 20));
    case 80: return "만약 연결된 기계로부터 [아무 명령]이나 오면 {";
    case 81: return formatText("만약 연결된 기계로부터 명령 [ %d ]가 오면 {", P(line, 20));
    case 99: return "} 만약 [원격명령] 끝";
    case 136: return "빨강불을 켠다.";
    case 137: return "빨강불을 끈다.";
    case 138: return "노랑불을 켠다.";
    case 139: return "노랑불을 끈다.";
    case 140: return "초록불을 켠다.";
    case 141: return "초록불을 끈다.";
    case 152:
        return formatText("==>이름표 [%s]", text::cp949ToUtf8(std::string(line.label, fieldLength(line.label, kLabelSize))).c_str());
    case 153:
        return formatText("<==이름표 [%s]로 동작이동",
                          text::cp949ToUtf8(std::string(line.label, fieldLength(line.label, kLabelSize))).c_str());
    case 224: return "매크로를 종료한다.";
    case 225: return "컴퓨터를 끈다.";
    case 208: return formatText("%d-%d녹화매크로를 재생한다", bankOf(P(line, 12)), slotOf(P(line, 12)));
    case 209: return formatText("%d-%d편집매크로를 재생한다", bankOf(P(line, 12)), slotOf(P(line, 12)));
    default: break;
    }
    if (key) return formatText(key, keyName(line).c_str());
    // Button kinds carry the button in the opcode itself (16 + b and so on);
    // the sentence names the button the code will use.
    if (k >= 16 && k <= 27) {
        static const char* const forms[] = {"[%s]버튼을 누른다.", "[%s]버튼을 뗀다.", "[%s]버튼을 클릭한다.",
                                            "[%s]버튼을 더블클릭한다."};
        return formatText(forms[(k - 16) / 3], buttonName((k - 16) % 3).c_str());
    }
    if (k >= 51 && k <= 53) return formatText("[%s]버튼을 누를때까지 대기.....", buttonName(k - 51).c_str());
    if (k >= 73 && k <= 75) return formatText("만약 [%s]버튼을 누르면(계속 실행) {", buttonName(k - 73).c_str());
    if (k >= 76 && k <= 78) return formatText("만약 [%s]버튼을 누르면(1회 통과) {", buttonName(k - 76).c_str());
    if (k >= 92 && k <= 94) return formatText("만약 [%s]버튼을 누르면(1회 실행) {", buttonName(k - 92).c_str());
    return {};
}

void setSentence(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    line.sentenceLength =
        static_cast<int32_t>(copyCp949Field(line.sentence, sizeof(line.sentence), cp949.data(), cp949.size()));
}

void setMemo(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    line.memoLength = static_cast<int32_t>(copyCp949Field(line.memo, sizeof(line.memo), cp949.data(), cp949.size()));
}

void setLabel(EditLine& line, const std::string& utf8) {
    std::string cp949 = text::utf8ToCp949(utf8);
    copyCp949Field(line.label, kMaxLabelCharacters + 1, cp949.data(), cp949.size());
    std::memset(line.label + kMaxLabelCharacters + 1, 0, kLabelSize - kMaxLabelCharacters - 1);
}

void rebuildSentence(EditLine& line, const TextStore& store) {
    setSentence(line, sentenceOf(line, store));
    line.colour = colourOfKind(line.kind);
}

std::string lineDisplayText(const EditLine& line) {
    std::string out(line.indent > 0 ? static_cast<size_t>(line.indent < 64 ? line.indent : 64) : 0, '\t');
    out += text::cp949ToUtf8(std::string(line.sentence, fieldLength(line.sentence, sizeof(line.sentence))));
    if (line.memoLength != 0) {
        out += "\t\t//";
        out += text::cp949ToUtf8(std::string(line.memo, fieldLength(line.memo, sizeof(line.memo))));
    }
    return out;
}

} // namespace quillon::control

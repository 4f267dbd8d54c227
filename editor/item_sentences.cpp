// Conditions, commands and next links as the sentences the item lists show.
// The pieces carry their own trailing spaces; a sentence is the pieces joined.
#include "editor/item_sentences.h"

#include <cstdlib>

#include "base/text.h"
#include "base/format_text.h"

namespace quillon::editor {

using namespace analyzer;

namespace {

std::string fromRecord(std::string_view cp949) { return text::cp949ToUtf8(cp949); }

// A text out of a fixed table by index; empty outside it.
template <size_t N>
const char* pick(const char* const (&table)[N], int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < N ? table[index] : "";
}

const char* const kCompareOperators[] = {"", "<", "≤", "=", "≠"};
const char* const kArithmeticOperators[] = {"", "+", "-", "x", "÷"};
const char* const kWeekdays[] = {"일요일", "월요일", "화요일", "수요일", "목요일", "금요일", "토요일"};
const char* const kDateParts[] = {"현재 년", "현재 월", "현재 일", "현재 요일", "현재 시", "현재 분", "현재 초"};
const char* const kStates[] = {"매크로가 돌아가고 있으면", "매크로가 꺼져 있으면", "매크로가 일시정지 상태이면",
                               kFalseBranchText, kOtherwiseBranchText};
const char* const kDeviceTexts[] = {"", "", "", "", "", "", "분석기 일시정지", "분석기 재시작", "분석기 종료",
                                    "컴퓨터 OFF", "현재항목 다시 스캔", "키보드 잠그기", "키보드 풀기",
                                    "마우스 잠그기", "마우스 풀기"};

const char* mouseButtonName(int32_t code) {
    switch (code) {
    case 1: return "왼쪽버튼";
    case 2: return "오른쪽버튼";
    case 4: return "가운데버튼";
    default: return "";
    }
}

const char* coordinateMode(int32_t mode) { return mode == 1 ? "모니터 " : "창모드 "; }

// Milliseconds as seconds with three decimals ("%d.%.3d").
void appendSeconds(std::string& out, int32_t ms) {
    int64_t value = ms;
    if (value < 0) {
        out += "-";
        value = -value;
    }
    appendFormat(out, "%d.%.3d", static_cast<int>(value / 1000), static_cast<int>(value % 1000));
}

// A colour held as 0x00RRGGBB (blue in the low byte).
void appendColour(std::string& out, uint32_t rgb, const char* tail) {
    appendFormat(out, "색값[빨강=%d,녹색=%d,파랑=%d]%s", static_cast<int>((rgb >> 16) & 0xFF),
                 static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF), tail);
}

// The fields of a variable test, wherever the record keeps them.
struct VariableTest {
    int32_t lowIsVariable;
    int32_t low;
    int32_t lowOperator;
    int32_t variable;
    int32_t highOperator;
    int32_t highIsVariable;
    int32_t high;
};

// Condition bodies keep the test from offset 8; a command's guard keeps the
// same layout from offset 64 (the condition's offset 8 moved by 56).
VariableTest testAt(const uint8_t* body, size_t base) {
    return {bodyInt(body, base + 8),  bodyInt(body, base + 12), bodyInt(body, base + 20), bodyInt(body, base + 24),
            bodyInt(body, base + 28), bodyInt(body, base + 32), bodyInt(body, base + 36)};
}

void appendBound(std::string& out, int32_t isVariable, int32_t value, const AnalyzerNames& names) {
    if (isVariable) {
        appendFormat(out, "%s ", names.variable(value).c_str());
    } else {
        appendFormat(out, "%d ", value);
    }
}

void appendVariableTest(std::string& out, const VariableTest& t, const AnalyzerNames& names, const char* close) {
    out += "{";
    if (t.lowOperator != 0) {
        appendBound(out, t.lowIsVariable, t.low, names);
        appendFormat(out, "%s ", pick(kCompareOperators, t.lowOperator));
    }
    appendFormat(out, "%s ", names.variable(t.variable).c_str());
    if (t.highOperator != 0) {
        appendFormat(out, "%s ", pick(kCompareOperators, t.highOperator));
        appendBound(out, t.highIsVariable, t.high, names);
    }
    out += close;
}

const char* sameOrDifferentImage(int32_t result) { return result == 1 ? "다른 이미지이면" : "같은 이미지이면"; }

void appendImageCondition(std::string& out, const Condition& c, const AnalyzerNames& names) {
    switch (c.at(8)) {
    case 3: appendFormat(out, "[%s] 위치의 이미지가 ", names.recognitionImage(c.at(16)).c_str()); break;
    case 2: appendFormat(out, "(%d,%d) 위치의 이미지가 ", c.at(20), c.at(24)); break;
    case 1: appendFormat(out, "[%s] 위치의 이미지가 ", names.variable(c.at(16)).c_str()); break;
    default: break;
    }
    // The result pieces end in "이면" themselves; the comparison piece ends
    // where they begin, so the sentence reads "...와 같은 이미지이면".
    const char* result = sameOrDifferentImage(c.at(28));
    switch (c.at(4)) {
    case 5: appendFormat(out, "[%s] 이미지와 %s", names.recognitionImage(c.at(12)).c_str(), result); break;
    case 4:
        appendColour(out, static_cast<uint32_t>(c.at(40)), "과 ");
        out += result;
        break;
    case 1: appendFormat(out, "[%s] 이미지와 %s", names.variable(c.at(12)).c_str(), result); break;
    default: break;
    }
}

void appendRangeCondition(std::string& out, const Condition& c, const AnalyzerNames& names) {
    appendFormat(out, "[%s]범위 안에 ", names.area(c.at(8)).c_str());
    switch (c.at(4)) {
    case 5: appendFormat(out, "[%s]이미지와 ", names.recognitionImage(c.at(16)).c_str()); break;
    case 4: appendColour(out, static_cast<uint32_t>(c.at(56)), "과 "); break;
    case 1: appendFormat(out, "[%s]이미지와 ", names.variable(c.at(16)).c_str()); break;
    default: break;
    }
    if (c.at(28)) {
        appendFormat(out, "[%s]번째로 ", names.variable(c.at(24)).c_str());
    } else {
        appendFormat(out, "[%d]번째로 ", c.at(24));
    }
    out += c.at(20) == 1 ? "같은 이미지가 없으면" : "같은 이미지가 있으면";
}

void appendDateTimeCondition(std::string& out, const Condition& c) {
    appendFormat(out, "일시 %s [ ", c.at(4) == 1 ? "<" : "≥");
    uint8_t parts = c.body[8];
    auto part16 = [&](size_t offset) { return static_cast<int>(loadLe16(c.body + offset)); };
    if (parts & 0x40) appendFormat(out, "%d년 ", part16(12));
    if (parts & 0x20) appendFormat(out, "%d월 ", part16(14));
    if (parts & 0x10) appendFormat(out, "%s ", pick(kWeekdays, part16(16)));
    if (parts & 0x08) appendFormat(out, "%d일 ", part16(18));
    if (parts & 0x04) appendFormat(out, "%d시 ", part16(20));
    if (parts & 0x02) appendFormat(out, "%d분 ", part16(22));
    if (parts & 0x01) appendFormat(out, "%d초 ", part16(24));
    out += "]";
}

void appendMouseCommand(std::string& out, const Command& c, const AnalyzerNames& names) {
    int32_t action = c.at(4);
    const char* button = mouseButtonName(c.at(16));
    switch (action) {
    case 0: appendFormat(out, "%s을 누른다", button); break;
    case 1: appendFormat(out, "%s을 뗀다", button); break;
    case 2:
    case 3:
        appendFormat(out, action == 2 ? "%s을 클릭한다(" : "%s을 더블클릭한다(", button);
        appendSeconds(out, c.at(52));
        out += "초)";
        break;
    case 4: {
        int32_t steps = c.at(20);
        if (steps >= 0) {
            appendFormat(out, "위로 %d만큼 스크롤한다.", steps);
        } else {
            appendFormat(out, "아래로 %lld만큼 스크롤한다.", -static_cast<long long>(steps));
        }
        break;
    }
    case 5:
        out += coordinateMode(c.at(12));
        appendFormat(out, "좌표(%d,%d)로 이동한다.", c.at(32), c.at(36));
        break;
    case 6: appendFormat(out, "[%s]이미지 위치로 이동한다.", names.recognitionImage(c.at(24)).c_str()); break;
    case 7: appendFormat(out, "[%s] 범위검색 일치 위치로 이동한다.", names.area(c.at(28)).c_str()); break;
    case 8: {
        int32_t directions = c.at(48);
        if (c.at(40) != 0) {
            out += (directions & 1) ? "오른쪽으로 " : "왼쪽으로 ";
            appendFormat(out, "%d만큼 ", c.at(40));
        }
        if (c.at(44) != 0) {
            out += (directions & 2) ? "위로 " : "아래로 ";
            appendFormat(out, "%d만큼 ", c.at(44));
        }
        out += "FPS모드로 이동한다.";
        break;
    }
    case 9: appendFormat(out, "[%s] 위치로 이동한다.", names.variable(c.at(56)).c_str()); break;
    default: break;
    }
    if (action >= 5 && action <= 9 && c.at(8)) {
        appendFormat(out, "(%d픽셀 랜덤)", c.at(60));
    }
}

void appendMacroCommand(std::string& out, const Command& c) {
    int32_t number = c.at(12), repeat = c.at(8);
    int bank = number / 8 + 1, slot = number % 8 + 1;
    switch (c.at(4)) {
    case 0: appendFormat(out, "녹화매크로 [%d-%d]를 %d회 재생한다", bank, slot, repeat); break;
    case 1: appendFormat(out, "편집매크로 [%d-%d]를 %d회 재생한다", bank, slot, repeat); break;
    case 2: appendFormat(out, "조합매크로 [%d]를 %d회 재생한다", number, repeat); break;
    case 3: out += "매크로를 일시정지 시킨다."; break;
    case 4: out += "일시정지 시킨 매크로를 재시작한다."; break;
    case 5: out += "매크로를 종료한다."; break;
    default: break;
    }
}

void appendOperand(std::string& out, int32_t isVariable, int32_t value, const AnalyzerNames& names) {
    if (isVariable) {
        out += names.variable(value);
    } else {
        appendFormat(out, "%d", value);
    }
}

void appendVariableSource(std::string& out, const Command& c, const AnalyzerNames& names) {
    int32_t source = c.at(8);
    switch (source) {
    case 0:
    case 1:
        appendOperand(out, source == 1, c.at(20), names);
        if (c.at(4) != 0) {
            appendFormat(out, "%s ", pick(kArithmeticOperators, c.at(4)));
            appendOperand(out, c.at(12), c.at(24), names);
        }
        break;
    case 2:
        out += coordinateMode(c.at(32));
        appendFormat(out, "좌표[X=%d,Y=%d]", c.at(44), c.at(48));
        break;
    case 3: appendFormat(out, "인식점[%s]", names.recognitionImage(c.at(40)).c_str()); break;
    case 4:
        // Blue, green, red bytes from offset 60.
        appendFormat(out, "색값[빨강=%d,녹색=%d,파랑=%d]", c.body[62], c.body[61], c.body[60]);
        break;
    case 20: appendFormat(out, "범위검색[%s] 일치좌표", names.area(c.at(40)).c_str()); break;
    case 30: out += "[이전 항목번호]"; break;
    case 40: appendFormat(out, "[이전 항목번호] = %s", names.variable(c.at(20)).c_str()); break;
    case 50: appendFormat(out, "[%d ~ %d]사이의 랜덤 숫자", c.at(44), c.at(48)); break;
    case 51: {
        out += coordinateMode(c.at(32));
        long long x = c.at(44), y = c.at(48), dx = c.at(52), dy = c.at(56);
        if (dx != 0 && dy != 0) {
            appendFormat(out, "랜덤좌표[X=%lld~%lld, Y=%lld~%lld]", x - dx, x + dx, y - dy, y + dy);
        } else if (dx != 0) {
            appendFormat(out, "랜덤좌표[X=%lld~%lld, Y=%lld]", x - dx, x + dx, y);
        } else {
            appendFormat(out, "랜덤좌표[X=%lld, Y=%lld~%lld]", x, y - dy, y + dy);
        }
        break;
    }
    case 60: appendFormat(out, "[%s]", pick(kDateParts, c.at(40))); break;
    default: break;
    }
}

void appendVariableCommand(std::string& out, const Command& c, const AnalyzerNames& names) {
    VariableTest guard = testAt(c.body, 56);
    bool guarded = c.at(28) == 1;
    bool guardOperator = guard.lowOperator != 0 || guard.highOperator != 0;
    if (guarded) {
        appendVariableTest(out, guard, names, "}");
    }
    if (guardOperator) {
        out += " ☞ {";
    }
    if (c.at(8) != 40) {
        appendFormat(out, "%s = ", names.variable(c.at(16)).c_str());
    }
    appendVariableSource(out, c, names);
    if (guardOperator) {
        out += "}";
    }
}

void appendDeviceCommand(std::string& out, const Command& c) {
    int32_t action = c.at(4);
    const char* onOff = c.at(8) == 1 ? "ON" : "OFF";
    switch (action) {
    case 0: appendFormat(out, "빨강불 %s", onOff); break;
    case 1: appendFormat(out, "노란불 %s", onOff); break;
    case 2: appendFormat(out, "녹색불 %s", onOff); break;
    case 3:
        appendFormat(out, "사운드 연주 - %s",
                     fromRecord(fixedText(reinterpret_cast<const char*>(c.body + field::kDeviceSoundName),
                                          field::kDeviceSoundNameBytes))
                         .c_str());
        break;
    case 4: out += "사운드 멈춤"; break;
    case 5: appendFormat(out, "원격제어명령 = %d", c.at(16)); break;
    default: out += pick(kDeviceTexts, action); break;
    }
}

} // namespace

// ---- names --------------------------------------------------------------------

std::string AnalyzerNames::variable(int slot) const {
    if (slot < 0 || slot >= kVariableCapacity) {
        return {};
    }
    return fromRecord(fixedText(model_.image().variables[slot].name));
}

std::string AnalyzerNames::recognitionImagePlain(int slot) const {
    const RecognitionImage* r = model_.recognitionImage(slot);
    return r ? fromRecord(fixedText(r->name)) : std::string();
}

bool AnalyzerNames::isPatternImage(int slot) const {
    const RecognitionImage* r = model_.recognitionImage(slot);
    return r && r->pattern == 1;
}

std::string AnalyzerNames::recognitionImage(int slot) const {
    return (isPatternImage(slot) ? std::string("[패턴]") : std::string()) + recognitionImagePlain(slot);
}

std::string AnalyzerNames::area(int slot) const {
    if (slot < 0 || slot >= kAreaCapacity) {
        return {};
    }
    return fromRecord(fixedText(model_.image().areas[slot].name));
}

std::string AnalyzerNames::numberPack(int slot) const {
    const NumberPack* p = model_.numberPack(slot);
    return p ? fromRecord(fixedText(p->name)) : std::string();
}

std::string AnalyzerNames::cursor(int slot) const {
    if (slot < 0 || slot >= kCursorCapacity) {
        return {};
    }
    return fromRecord(fixedText(model_.image().cursors[slot].name));
}

std::string AnalyzerNames::sentence(int index) const {
    if (index < 0 || index >= kSentenceCapacity) {
        return {};
    }
    return fromRecord(fixedText(model_.sentenceTable().sentences[index].name));
}

int AnalyzerNames::sentenceSpeed(int index) const {
    if (index < 0 || index >= kSentenceCapacity) {
        return 0;
    }
    return model_.sentenceTable().sentences[index].speed;
}

std::string AnalyzerNames::key(int row) const {
    return row < 0 ? std::string() : std::string(keys_.keyName(static_cast<size_t>(row)));
}

std::string AnalyzerNames::itemById(int32_t id) const {
    int position = model_.findItemById(id);
    return position < 0 ? std::string() : fromRecord(fixedText(model_.item(position).name));
}

// ---- sentences ----------------------------------------------------------------

std::string conditionSentence(const Condition& c, const AnalyzerNames& names) {
    std::string out;
    switch (c.kind()) {
    case CondVariable: {
        appendVariableTest(out, testAt(c.body, 0), names, "} ");
        const char* axes[] = {"(X,Y 모두 비교)", "(X만 비교)", "(Y만 비교)"};
        out += pick(axes, c.at(4));
        out += "이면";
        break;
    }
    case CondTimer:
        appendFormat(out, "타이머%d %s ", c.at(12), c.at(8) == 1 ? "<" : "≥");
        if (c.at(4)) {
            appendFormat(out, "타이머%d 이면", c.at(16));
        } else {
            appendFormat(out, "%d 이면", c.at(20));
        }
        break;
    case CondDateTime: appendDateTimeCondition(out, c); break;
    case CondState: out += pick(kStates, c.at(4)); break;
    case CondImage: appendImageCondition(out, c, names); break;
    case CondRangeSearch: appendRangeCondition(out, c, names); break;
    case CondCursor:
        appendFormat(out, "현재의 커서가 [%s]와 ", names.cursor(c.at(8)).c_str());
        out += c.at(12) == 1 ? "다르면" : "같으면";
        break;
    case CondKey:
        switch (c.at(4)) {
        case 0: out += "만약 아무키나 눌리면"; break;
        case 1: appendFormat(out, "만약 [ %s]키가 눌리면", names.key(c.at(8)).c_str()); break;
        case 2: out += "만약 모든 키가 떨어져 있으면"; break;
        default: break;
        }
        break;
    case CondRemote: appendFormat(out, "[%d] 원격제어명령이 오면", c.at(4)); break;
    case CondNoItemDelay: out += "** 항목 지연시간을 적용하지 않는다 **"; break;
    default: break;
    }
    return out;
}

std::string commandSentence(const Command& c, const AnalyzerNames& names) {
    std::string out;
    int32_t action = c.at(4);
    switch (c.kind()) {
    case CmdKey:
        switch (action) {
        case 0: appendFormat(out, "[%s] 키를 누른다.", names.key(c.at(8)).c_str()); break;
        case 1: appendFormat(out, "[%s] 키를 뗀다.", names.key(c.at(8)).c_str()); break;
        case 2: appendFormat(out, "[%s] 키를 눌렀다 뗀다.", names.key(c.at(8)).c_str()); break;
        case 3: appendFormat(out, "[%s]를 타이핑한다.", names.variable(c.at(16)).c_str()); break;
        default: break;
        }
        break;
    case CmdMouse: appendMouseCommand(out, c, names); break;
    case CmdMacro: appendMacroCommand(out, c); break;
    case CmdVariable: appendVariableCommand(out, c, names); break;
    case CmdTimer:
        if (action == 1) {
            appendFormat(out, "타이머%d = 타이머%d", c.at(8), c.at(12));
        } else {
            appendFormat(out, "타이머%d = %d초", c.at(8), c.at(12));
        }
        break;
    case CmdDelay:
        out += "시간지연 ";
        appendSeconds(out, c.at(8));
        if (action == 1) {
            out += " ~ ";
            appendSeconds(out, c.at(12));
        }
        out += "초";
        break;
    case CmdDevice: appendDeviceCommand(out, c); break;
    case CmdReplaceImage: {
        int slot = c.at(field::kReplaceImage);
        std::string mark = names.isPatternImage(slot) ? "[패턴]" : "";
        appendFormat(out, "[%s%s]의 이미지를 현재 동작화면의 이미지로 교체", mark.c_str(),
                     names.recognitionImagePlain(slot).c_str());
        break;
    }
    case CmdRunAnalyzer:
        appendFormat(out, "분석기 실행: %s",
                     fromRecord(fixedText(reinterpret_cast<const char*>(c.body + field::kRunAnalyzerName),
                                          sizeof c.body - field::kRunAnalyzerName))
                         .c_str());
        break;
    case CmdTypeSentence:
        appendFormat(out, "[%s]를 타자한다.[%d타/분]", names.sentence(c.at(4)).c_str(), names.sentenceSpeed(c.at(4)));
        break;
    case CmdReadNumber:
        appendFormat(out, "[%s]에서 [%s]를 인식하여 [%s]에 저장한다.(%d%%", names.area(c.at(8)).c_str(),
                     names.numberPack(c.at(16)).c_str(), names.variable(c.at(20)).c_str(), c.at(24));
        if (c.at(28) == 1) {
            out += ",사칙연산";
        }
        out += ")";
        break;
    default: break;
    }
    return out;
}

std::string nextLinkSentence(const NextLink& link, const AnalyzerNames& names) {
    std::string out;
    if (link.kind == 100) {
        out += kFalseBranchText;
    } else {
        VariableTest t{link.lowIsVariable, link.low,           link.lowOperator, link.variable,
                       link.highOperator,  link.highIsVariable, link.high};
        appendVariableTest(out, t, names, "}");
    }
    out += " ";
    if (link.targetId == kReturnToPrevious) {
        out += "☞ 이전 항목으로 돌아간다";
    } else {
        appendFormat(out, "☞ [%s] 분석", names.itemById(link.targetId).c_str());
    }
    return out;
}

std::string branchLine(const Item& item, BranchKind branch, const AnalyzerNames& names) {
    bool set = branch == BranchKind::False ? item.falseBranch == 1 : item.otherwiseBranch == 1;
    if (!set) {
        return {};
    }
    int32_t target = branch == BranchKind::False ? item.falseBranchTarget : item.otherwiseBranchTarget;
    const char* text = branch == BranchKind::False ? kFalseBranchText : kOtherwiseBranchText;
    if (target == kReturnToPrevious) {
        return formatText("%s ☞ 이전 항목으로 돌아간다.", text);
    }
    return formatText("%s ☞ %s 분석", text, names.itemById(target).c_str());
}

} // namespace quillon::editor

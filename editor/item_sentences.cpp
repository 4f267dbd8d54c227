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
    return code == cmd::Mouse::Left    ? "왼쪽버튼"
           : code == cmd::Mouse::Right ? "오른쪽버튼"
           : code == cmd::Mouse::Middle ? "가운데버튼"
                                        : "";
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
    using I = cond::Image;
    switch (c[I::where]) {
    case I::AtImage: appendFormat(out, "[%s] 위치의 이미지가 ", names.recognitionImage(c[I::positionSource]).c_str()); break;
    case I::AtCoordinates: appendFormat(out, "(%d,%d) 위치의 이미지가 ", c[I::x], c[I::y]); break;
    case I::AtVariable: appendFormat(out, "[%s] 위치의 이미지가 ", names.variable(c[I::positionSource]).c_str()); break;
    default: break;
    }
    // The result pieces end in "이면" themselves; the comparison piece ends
    // where they begin, so the sentence reads "...와 같은 이미지이면".
    const char* result = sameOrDifferentImage(c[I::wantDifferent]);
    switch (c[I::compareWith]) {
    case CompareWithImage: appendFormat(out, "[%s] 이미지와 %s", names.recognitionImage(c[I::reference]).c_str(), result); break;
    case CompareWithColour:
        appendColour(out, static_cast<uint32_t>(c[I::colour]), "과 ");
        out += result;
        break;
    case CompareWithVariable: appendFormat(out, "[%s] 이미지와 %s", names.variable(c[I::reference]).c_str(), result); break;
    default: break;
    }
}

void appendRangeCondition(std::string& out, const Condition& c, const AnalyzerNames& names) {
    using R = cond::RangeSearch;
    appendFormat(out, "[%s]범위 안에 ", names.area(c[R::area]).c_str());
    switch (c[R::what]) {
    case CompareWithImage: appendFormat(out, "[%s]이미지와 ", names.recognitionImage(c[R::image]).c_str()); break;
    case CompareWithColour: appendColour(out, static_cast<uint32_t>(c[R::colour]), "과 "); break;
    case CompareWithVariable: appendFormat(out, "[%s]이미지와 ", names.variable(c[R::image]).c_str()); break;
    default: break;
    }
    if (c[R::whichMatchIsVariable]) {
        appendFormat(out, "[%s]번째로 ", names.variable(c[R::whichMatch]).c_str());
    } else {
        appendFormat(out, "[%d]번째로 ", c[R::whichMatch]);
    }
    out += c[R::wantMissing] == 1 ? "같은 이미지가 없으면" : "같은 이미지가 있으면";
}

void appendDateTimeCondition(std::string& out, const Condition& c) {
    using D = cond::DateTime;
    appendFormat(out, "일시 %s [ ", c[D::below] == 1 ? "<" : "≥");
    const uint8_t parts = c[D::parts];
    if (parts & D::Year) appendFormat(out, "%d년 ", c[D::year]);
    if (parts & D::Month) appendFormat(out, "%d월 ", c[D::month]);
    if (parts & D::Weekday) appendFormat(out, "%s ", pick(kWeekdays, c[D::weekday]));
    if (parts & D::Day) appendFormat(out, "%d일 ", c[D::day]);
    if (parts & D::Hour) appendFormat(out, "%d시 ", c[D::hour]);
    if (parts & D::Minute) appendFormat(out, "%d분 ", c[D::minute]);
    if (parts & D::Second) appendFormat(out, "%d초 ", c[D::second]);
    out += "]";
}

void appendMouseCommand(std::string& out, const Command& c, const AnalyzerNames& names) {
    using M = cmd::Mouse;
    int32_t action = c[M::action];
    const char* button = mouseButtonName(c[M::button]);
    switch (action) {
    case M::Press: appendFormat(out, "%s을 누른다", button); break;
    case M::Release: appendFormat(out, "%s을 뗀다", button); break;
    case M::Click:
    case M::DoubleClick:
        appendFormat(out, action == M::Click ? "%s을 클릭한다(" : "%s을 더블클릭한다(", button);
        appendSeconds(out, c[M::holdMs]);
        out += "초)";
        break;
    case M::Wheel: {
        int32_t steps = c[M::wheel];
        if (steps >= 0) {
            appendFormat(out, "위로 %d만큼 스크롤한다.", steps);
        } else {
            appendFormat(out, "아래로 %lld만큼 스크롤한다.", -static_cast<long long>(steps));
        }
        break;
    }
    case M::MoveTo:
        out += coordinateMode(c[M::monitor]);
        appendFormat(out, "좌표(%d,%d)로 이동한다.", c[M::x], c[M::y]);
        break;
    case M::MoveToImage: appendFormat(out, "[%s]이미지 위치로 이동한다.", names.recognitionImage(c[M::image]).c_str()); break;
    case M::MoveToRangeMatch: appendFormat(out, "[%s] 범위검색 일치 위치로 이동한다.", names.area(c[M::area]).c_str()); break;
    case M::MoveRelative: {
        int32_t directions = c[M::direction];
        if (c[M::dx] != 0) {
            out += (directions & M::TowardsRight) ? "오른쪽으로 " : "왼쪽으로 ";
            appendFormat(out, "%d만큼 ", c[M::dx]);
        }
        if (c[M::dy] != 0) {
            out += (directions & M::Upwards) ? "위로 " : "아래로 ";
            appendFormat(out, "%d만큼 ", c[M::dy]);
        }
        out += "FPS모드로 이동한다.";
        break;
    }
    case M::MoveToVariable: appendFormat(out, "[%s] 위치로 이동한다.", names.variable(c[M::variable]).c_str()); break;
    default: break;
    }
    if (action >= M::MoveTo && action <= M::MoveToVariable && c[M::random]) {
        appendFormat(out, "(%d픽셀 랜덤)", c[M::randomRange]);
    }
}

void appendMacroCommand(std::string& out, const Command& c) {
    using Ma = cmd::Macro;
    int32_t number = c[Ma::number], repeat = c[Ma::repeat];
    int bank = number / 8 + 1, slot = number % 8 + 1;
    switch (c[Ma::action]) {
    case Ma::PlayRecorded: appendFormat(out, "녹화매크로 [%d-%d]를 %d회 재생한다", bank, slot, repeat); break;
    case Ma::PlayEdit: appendFormat(out, "편집매크로 [%d-%d]를 %d회 재생한다", bank, slot, repeat); break;
    case Ma::PlayCombination: appendFormat(out, "조합매크로 [%d]를 %d회 재생한다", number, repeat); break;
    case Ma::Pause: out += "매크로를 일시정지 시킨다."; break;
    case Ma::Resume: out += "일시정지 시킨 매크로를 재시작한다."; break;
    case Ma::Stop: out += "매크로를 종료한다."; break;
    default: break;
    }
}

using V = cmd::Variable;

void appendOperand(std::string& out, int32_t isVariable, int32_t value, const AnalyzerNames& names) {
    if (isVariable) {
        out += names.variable(value);
    } else {
        appendFormat(out, "%d", value);
    }
}

void appendVariableSource(std::string& out, const Command& c, const AnalyzerNames& names) {
    int32_t source = c[V::source];
    switch (source) {
    case V::Number:
    case V::FromVariable:
        appendOperand(out, source == V::FromVariable, c[V::value], names);
        if (c[V::arithmetic] != 0) {
            appendFormat(out, "%s ", pick(kArithmeticOperators, c[V::arithmetic]));
            appendOperand(out, c[V::rightIsVariable], c[V::right], names);
        }
        break;
    case V::ScreenPoint:
        out += coordinateMode(c[V::monitor]);
        appendFormat(out, "좌표[X=%d,Y=%d]", c[V::x], c[V::y]);
        break;
    case V::ImagePoint: appendFormat(out, "인식점[%s]", names.recognitionImage(c[V::object]).c_str()); break;
    case V::Colour: appendFormat(out, "색값[빨강=%d,녹색=%d,파랑=%d]", c[V::red], c[V::green], c[V::blue]); break;
    case V::RangeMatch: appendFormat(out, "범위검색[%s] 일치좌표", names.area(c[V::object]).c_str()); break;
    case V::SavePreviousItem: out += "[이전 항목번호]"; break;
    case V::LoadPreviousItem: appendFormat(out, "[이전 항목번호] = %s", names.variable(c[V::value]).c_str()); break;
    case V::RandomNumber: appendFormat(out, "[%d ~ %d]사이의 랜덤 숫자", c[V::x], c[V::y]); break;
    case V::RandomPoint: {
        out += coordinateMode(c[V::monitor]);
        long long x = c[V::x], y = c[V::y], dx = c[V::spreadX], dy = c[V::spreadY];
        if (dx != 0 && dy != 0) {
            appendFormat(out, "랜덤좌표[X=%lld~%lld, Y=%lld~%lld]", x - dx, x + dx, y - dy, y + dy);
        } else if (dx != 0) {
            appendFormat(out, "랜덤좌표[X=%lld~%lld, Y=%lld]", x - dx, x + dx, y);
        } else {
            appendFormat(out, "랜덤좌표[X=%lld, Y=%lld~%lld]", x, y - dy, y + dy);
        }
        break;
    }
    case V::DatePart: appendFormat(out, "[%s]", pick(kDateParts, c[V::object])); break;
    default: break;
    }
}

void appendVariableCommand(std::string& out, const Command& c, const AnalyzerNames& names) {
    VariableTest guard = V::Guard::test(c);
    bool guarded = c[V::guarded] == 1;
    bool guardOperator = guard.lowOperator != 0 || guard.highOperator != 0;
    if (guarded) {
        appendVariableTest(out, guard, names, "}");
    }
    if (guardOperator) {
        out += " ☞ {";
    }
    if (c[V::source] != V::LoadPreviousItem) {
        appendFormat(out, "%s = ", names.variable(c[V::target]).c_str());
    }
    appendVariableSource(out, c, names);
    if (guardOperator) {
        out += "}";
    }
}

void appendDeviceCommand(std::string& out, const Command& c) {
    using D = cmd::Device;
    int32_t action = c[D::action];
    const char* onOff = c[D::on] == 1 ? "ON" : "OFF";
    switch (action) {
    case D::RedLight: appendFormat(out, "빨강불 %s", onOff); break;
    case D::YellowLight: appendFormat(out, "노란불 %s", onOff); break;
    case D::GreenLight: appendFormat(out, "녹색불 %s", onOff); break;
    case D::PlaySound: appendFormat(out, "사운드 연주 - %s", fromRecord(c[D::sound]).c_str()); break;
    case D::StopSound: out += "사운드 멈춤"; break;
    case D::SendRemote: appendFormat(out, "원격제어명령 = %d", c[D::remote]); break;
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
        appendVariableTest(out, cond::Variable::test(c), names, "} ");
        const char* axes[] = {"(X,Y 모두 비교)", "(X만 비교)", "(Y만 비교)"};
        out += pick(axes, c[cond::Variable::axis]);
        out += "이면";
        break;
    }
    case CondTimer: {
        using T = cond::Timer;
        appendFormat(out, "타이머%d %s ", c[T::timer], c[T::below] == 1 ? "<" : "≥");
        if (c[T::rightIsTimer]) {
            appendFormat(out, "타이머%d 이면", c[T::otherTimer]);
        } else {
            appendFormat(out, "%d 이면", c[T::seconds]);
        }
        break;
    }
    case CondDateTime: appendDateTimeCondition(out, c); break;
    case CondState: out += pick(kStates, c[cond::State::state]); break;
    case CondImage: appendImageCondition(out, c, names); break;
    case CondRangeSearch: appendRangeCondition(out, c, names); break;
    case CondCursor:
        appendFormat(out, "현재의 커서가 [%s]와 ", names.cursor(c[cond::Cursor::cursor]).c_str());
        out += c[cond::Cursor::wantDifferent] == 1 ? "다르면" : "같으면";
        break;
    case CondKey:
        switch (c[cond::Key::mode]) {
        case cond::Key::AnyKey: out += "만약 아무키나 눌리면"; break;
        case cond::Key::GivenKey: appendFormat(out, "만약 [ %s]키가 눌리면", names.key(c[cond::Key::key]).c_str()); break;
        case cond::Key::AllReleased: out += "만약 모든 키가 떨어져 있으면"; break;
        default: break;
        }
        break;
    case CondRemote: appendFormat(out, "[%d] 원격제어명령이 오면", c[cond::Remote::number]); break;
    case CondNoItemDelay: out += "** 항목 지연시간을 적용하지 않는다 **"; break;
    default: break;
    }
    return out;
}

std::string commandSentence(const Command& c, const AnalyzerNames& names) {
    std::string out;
    using K = cmd::Key;
    switch (c.kind()) {
    case CmdKey:
        switch (c[K::action]) {
        case K::Press: appendFormat(out, "[%s] 키를 누른다.", names.key(c[K::key]).c_str()); break;
        case K::Release: appendFormat(out, "[%s] 키를 뗀다.", names.key(c[K::key]).c_str()); break;
        case K::PressAndRelease: appendFormat(out, "[%s] 키를 눌렀다 뗀다.", names.key(c[K::key]).c_str()); break;
        case K::TypeVariable: appendFormat(out, "[%s]를 타이핑한다.", names.variable(c[K::variable]).c_str()); break;
        default: break;
        }
        break;
    case CmdMouse: appendMouseCommand(out, c, names); break;
    case CmdMacro: appendMacroCommand(out, c); break;
    case CmdVariable: appendVariableCommand(out, c, names); break;
    case CmdTimer:
        appendFormat(out, c[cmd::Timer::action] == cmd::Timer::CopyTimer ? "타이머%d = 타이머%d" : "타이머%d = %d초",
                     c[cmd::Timer::timer], c[cmd::Timer::value]);
        break;
    case CmdDelay:
        out += "시간지연 ";
        appendSeconds(out, c[cmd::Delay::ms]);
        if (c[cmd::Delay::random] == 1) {
            out += " ~ ";
            appendSeconds(out, c[cmd::Delay::highMs]);
        }
        out += "초";
        break;
    case CmdDevice: appendDeviceCommand(out, c); break;
    case CmdReplaceImage: {
        int slot = c[cmd::ReplaceImage::image];
        std::string mark = names.isPatternImage(slot) ? "[패턴]" : "";
        appendFormat(out, "[%s%s]의 이미지를 현재 동작화면의 이미지로 교체", mark.c_str(),
                     names.recognitionImagePlain(slot).c_str());
        break;
    }
    case CmdRunAnalyzer: appendFormat(out, "분석기 실행: %s", fromRecord(c[cmd::RunAnalyzer::name]).c_str()); break;
    case CmdTypeSentence: {
        const int32_t sentence = c[cmd::TypeSentence::sentence];
        appendFormat(out, "[%s]를 타자한다.[%d타/분]", names.sentence(sentence).c_str(), names.sentenceSpeed(sentence));
        break;
    }
    case CmdReadNumber: {
        using N = cmd::ReadNumber;
        appendFormat(out, "[%s]에서 [%s]를 인식하여 [%s]에 저장한다.(%d%%", names.area(c[N::area]).c_str(),
                     names.numberPack(c[N::pack]).c_str(), names.variable(c[N::variable]).c_str(), c[N::similarity]);
        if (c[N::arithmetic] == 1) {
            out += ",사칙연산";
        }
        out += ")";
        break;
    }
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

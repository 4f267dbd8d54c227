#include "analyzer/references.h"

#include <algorithm>

namespace quillon::analyzer {

int capacityOf(ObjectKind kind) {
    switch (kind) {
    case ObjectKind::RecognitionImage: return kRecognitionImageCapacity;
    case ObjectKind::Area: return kAreaCapacity;
    case ObjectKind::Cursor: return kCursorCapacity;
    case ObjectKind::NumberPack: return kNumberPackCapacity;
    case ObjectKind::Sentence: return kSentenceCapacity;
    case ObjectKind::Variable: return kVariableCapacity;
    case ObjectKind::Timer: return kTimerCount;
    case ObjectKind::RecordedMacro: return kRecordedMacroCount;
    case ObjectKind::EditMacro: return kEditMacroCount;
    case ObjectKind::CombinationMacro: return kCombinationMacroCount;
    }
    return 0;
}

namespace {

void conditionReferences(const Condition& c, const std::function<void(const ObjectReference&)>& visit) {
    auto emit = [&](ObjectKind kind, auto field) { visit({kind, c[field], ReferenceSource::Condition, c.kind()}); };
    switch (c.kind()) {
    case CondImage:
        if (c[cond::Image::compareWith] == CompareWithImage) {
            emit(ObjectKind::RecognitionImage, cond::Image::reference);
        }
        if (c[cond::Image::where] == cond::Image::AtImage) {
            emit(ObjectKind::RecognitionImage, cond::Image::positionSource);
        }
        break;
    case CondRangeSearch:
        if (c[cond::RangeSearch::what] == CompareWithImage) {
            emit(ObjectKind::RecognitionImage, cond::RangeSearch::image);
        }
        emit(ObjectKind::Area, cond::RangeSearch::area);
        break;
    case CondCursor: emit(ObjectKind::Cursor, cond::Cursor::cursor); break;
    case CondTimer:
        emit(ObjectKind::Timer, cond::Timer::timer);
        if (c[cond::Timer::rightIsTimer] == 1) {
            emit(ObjectKind::Timer, cond::Timer::otherTimer);
        }
        break;
    default: break;
    }
}

void commandReferences(const Command& c, const std::function<void(const ObjectReference&)>& visit) {
    auto emit = [&](ObjectKind kind, auto field) { visit({kind, c[field], ReferenceSource::Command, c.kind()}); };
    switch (c.kind()) {
    case CmdMouse:
        if (c[cmd::Mouse::action] == cmd::Mouse::MoveToImage) {
            emit(ObjectKind::RecognitionImage, cmd::Mouse::image);
        } else if (c[cmd::Mouse::action] == cmd::Mouse::MoveToRangeMatch) {
            emit(ObjectKind::Area, cmd::Mouse::area);
        }
        break;
    case CmdMacro:
        switch (c[cmd::Macro::action]) {
        case cmd::Macro::PlayRecorded: emit(ObjectKind::RecordedMacro, cmd::Macro::number); break;
        case cmd::Macro::PlayEdit: emit(ObjectKind::EditMacro, cmd::Macro::number); break;
        case cmd::Macro::PlayCombination: emit(ObjectKind::CombinationMacro, cmd::Macro::number); break;
        default: break;
        }
        break;
    case CmdVariable:
        if (c[cmd::Variable::source] == cmd::Variable::ImagePoint) {
            emit(ObjectKind::RecognitionImage, cmd::Variable::object);
        } else if (c[cmd::Variable::source] == cmd::Variable::RangeMatch) {
            emit(ObjectKind::Area, cmd::Variable::object);
        }
        break;
    case CmdReplaceImage: emit(ObjectKind::RecognitionImage, cmd::ReplaceImage::image); break;
    case CmdTypeSentence: emit(ObjectKind::Sentence, cmd::TypeSentence::sentence); break;
    case CmdReadNumber:
        emit(ObjectKind::Area, cmd::ReadNumber::area);
        emit(ObjectKind::NumberPack, cmd::ReadNumber::pack);
        break;
    default: break;
    }
}

} // namespace

void forEachReference(const Item& item, const std::function<void(const ObjectReference&)>& visit) {
    int conditions = item.conditionCount < 0 ? 0 : std::min(item.conditionCount, kConditionsPerItem);
    for (int i = 0; i < conditions; ++i) {
        conditionReferences(item.conditions[i], visit);
    }
    int commands = item.commandCount < 0 ? 0 : std::min(item.commandCount, kCommandsPerItem);
    for (int i = 0; i < commands; ++i) {
        commandReferences(item.commands[i], visit);
    }
}

} // namespace quillon::analyzer

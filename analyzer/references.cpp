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

constexpr int32_t kCompareImage = 5;
constexpr int32_t kWhereImagePosition = 3;

void conditionReferences(const Condition& c, const std::function<void(const ObjectReference&)>& visit) {
    auto emit = [&](ObjectKind kind, size_t offset) {
        visit({kind, c.at(offset), ReferenceSource::Condition, c.kind()});
    };
    switch (c.kind()) {
    case CondImage:
        if (c.at(field::kImageCompareWith) == kCompareImage) {
            emit(ObjectKind::RecognitionImage, field::kImageReference);
        }
        if (c.at(field::kImageWhere) == kWhereImagePosition) {
            emit(ObjectKind::RecognitionImage, field::kImagePositionSource);
        }
        break;
    case CondRangeSearch:
        if (c.at(field::kRangeWhat) == kCompareImage) {
            emit(ObjectKind::RecognitionImage, field::kRangeImage);
        }
        emit(ObjectKind::Area, field::kRangeArea);
        break;
    case CondCursor: emit(ObjectKind::Cursor, field::kCursorSample); break;
    case CondTimer:
        emit(ObjectKind::Timer, field::kTimerTested);
        if (c.at(field::kTimerRightIsTimer) == 1) {
            emit(ObjectKind::Timer, field::kTimerOther);
        }
        break;
    default: break;
    }
}

void commandReferences(const Command& c, const std::function<void(const ObjectReference&)>& visit) {
    auto emit = [&](ObjectKind kind, size_t offset) { visit({kind, c.at(offset), ReferenceSource::Command, c.kind()}); };
    int32_t action = c.at(field::kAction);
    switch (c.kind()) {
    case CmdMouse:
        if (action == kMouseMoveToImage) {
            emit(ObjectKind::RecognitionImage, field::kMouseImage);
        } else if (action == kMouseMoveToRangeMatch) {
            emit(ObjectKind::Area, field::kMouseArea);
        }
        break;
    case CmdMacro:
        if (action == kMacroPlayRecorded) {
            emit(ObjectKind::RecordedMacro, field::kMacroNumber);
        } else if (action == kMacroPlayEdit) {
            emit(ObjectKind::EditMacro, field::kMacroNumber);
        } else if (action == kMacroPlayCombination) {
            emit(ObjectKind::CombinationMacro, field::kMacroNumber);
        }
        break;
    case CmdVariable: {
        int32_t source = c.at(field::kVariableSource);
        if (source == 3) {
            emit(ObjectKind::RecognitionImage, field::kVariableObject);
        } else if (source == 20) {
            emit(ObjectKind::Area, field::kVariableObject);
        }
        break;
    }
    case CmdReplaceImage: emit(ObjectKind::RecognitionImage, field::kReplaceImage); break;
    case CmdTypeSentence: emit(ObjectKind::Sentence, field::kSentence); break;
    case CmdReadNumber:
        emit(ObjectKind::Area, field::kReadArea);
        emit(ObjectKind::NumberPack, field::kReadPack);
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

// Data derived from the items: usage flags, the positions refreshed at save
// time, the macro masks and the list of sound files carried in the file.
#include <cstring>
#include <string_view>

#include "analyzer/model.h"
#include "analyzer/references.h"

namespace quillon::analyzer {

void AnalyzerModel::refreshUsageFlags() {
    AnalyzerImage& a = *image_;
    for (int i = 0; i < kRecognitionImageCapacity; ++i) {
        if (recognitionImages_[i]) {
            recognitionImages_[i]->inUse = 0;
        }
    }
    for (auto& area : a.areas) {
        area.inUse = 0;
    }
    for (auto& cursor : a.cursors) {
        cursor.inUse = 0;
    }
    for (auto& sentence : sentences_->sentences) {
        sentence.inUse = 0;
    }
    for (int i = 0; i < a.itemCount; ++i) {
        forEachReference(a.items[i], [&](const ObjectReference& ref) {
            switch (ref.kind) {
            case ObjectKind::RecognitionImage:
                // Only conditions mark an image as in use.
                if (ref.source == ReferenceSource::Condition) {
                    if (RecognitionImage* r = recognitionImage(ref.slot)) {
                        r->inUse = 1;
                    }
                }
                break;
            case ObjectKind::Area:
                if (ref.source == ReferenceSource::Condition || ref.sourceKind == CmdReadNumber) {
                    if (ref.slot >= 0 && ref.slot < kAreaCapacity) {
                        a.areas[ref.slot].inUse = 1;
                    }
                }
                break;
            case ObjectKind::Cursor:
                if (ref.slot >= 0 && ref.slot < kCursorCapacity) {
                    a.cursors[ref.slot].inUse = 1;
                }
                break;
            case ObjectKind::Sentence:
                if (ref.slot >= 0 && ref.slot < kSentenceCapacity) {
                    sentences_->sentences[ref.slot].inUse = 1;
                }
                break;
            default: break;
            }
        });
    }
}

void AnalyzerModel::refreshBeforeSave() {
    AnalyzerImage& a = *image_;
    for (int i = 0; i < a.itemCount; ++i) {
        Item& item = a.items[i];
        for (int c = 0; c < item.conditionCount && c < kConditionsPerItem; ++c) {
            Condition& condition = item.conditions[c];
            if (condition.kind() == CondImage && condition[cond::Image::where] == cond::Image::AtImage) {
                if (const RecognitionImage* r = recognitionImage(condition[cond::Image::positionSource])) {
                    condition.set(cond::Image::x, r->centreX);
                    condition.set(cond::Image::y, r->centreY);
                }
            }
        }
        for (int c = 0; c < item.commandCount && c < kCommandsPerItem; ++c) {
            Command& command = item.commands[c];
            if (command.kind() == CmdMouse && command[cmd::Mouse::action] == cmd::Mouse::MoveToImage) {
                if (const RecognitionImage* r = recognitionImage(command[cmd::Mouse::image])) {
                    command.set(cmd::Mouse::x, r->centreX);
                    command.set(cmd::Mouse::y, r->centreY);
                }
            }
        }
        if (item.head && item.alwaysScan && item.nextLinkCount == 0 && !item.falseBranch && !item.otherwiseBranch) {
            item.alwaysScan = 0;
        }
    }
}

MacroMasks AnalyzerModel::macroMasksFromItems() const {
    MacroMasks masks;
    const AnalyzerImage& a = *image_;
    for (int i = 0; i < a.itemCount; ++i) {
        forEachReference(a.items[i], [&](const ObjectReference& ref) {
            if (ref.slot < 0 || ref.slot >= capacityOf(ref.kind)) {
                return;
            }
            uint32_t bit = 1u << ref.slot;
            if (ref.kind == ObjectKind::RecordedMacro) {
                masks.recorded |= bit;
            } else if (ref.kind == ObjectKind::EditMacro) {
                masks.edit |= bit;
            } else if (ref.kind == ObjectKind::CombinationMacro) {
                masks.combination |= bit;
            }
        });
    }
    return masks;
}

MacroMasks AnalyzerModel::storedMacroMasks() const {
    return {image_->recordedMacroMask, image_->editMacroMask, image_->combinationMacroMask};
}

void AnalyzerModel::storeMacroMasks(const MacroMasks& masks) {
    image_->recordedMacroMask = masks.recorded;
    image_->editMacroMask = masks.edit;
    image_->combinationMacroMask = masks.combination;
}

bool AnalyzerModel::rebuildSoundList() {
    AnalyzerImage& a = *image_;
    int count = 0;
    SoundEntry list[kSoundCapacity] = {};
    for (int i = 0; i < a.itemCount; ++i) {
        const Item& item = a.items[i];
        for (int c = 0; c < item.commandCount && c < kCommandsPerItem; ++c) {
            const Command& command = item.commands[c];
            if (command.kind() != CmdDevice || command[cmd::Device::action] != cmd::Device::PlaySound ||
                command[cmd::Device::carried] != 1) {
                continue;
            }
            std::string_view name = command[cmd::Device::sound];
            bool known = false;
            for (int s = 0; s < count && !known; ++s) {
                known = fixedText(list[s].fileName) == name;
            }
            if (known) {
                continue;
            }
            if (count == kSoundCapacity) {
                return false;
            }
            storeFixedText(list[count++].fileName, name);
        }
    }
    std::memcpy(a.sounds, list, sizeof list);
    a.soundCount = count;
    return true;
}

} // namespace quillon::analyzer

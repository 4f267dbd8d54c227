// What an item refers to: recognition images, areas, cursors, number packs,
// sentences and macros by slot number, other items by id. One walk serves the
// usage flags, the file reader's checks and the editor's reference checks.
#pragma once

#include <cstdint>
#include <functional>

#include "analyzer/records.h"

namespace quillon::analyzer {

enum class ObjectKind {
    RecognitionImage,
    Area,
    Cursor,
    NumberPack,
    Sentence,
    Variable,
    Timer,
    RecordedMacro,
    EditMacro,
    CombinationMacro,
};

// Where a reference sits: in a condition or a command of the item.
enum class ReferenceSource { Condition, Command };

struct ObjectReference {
    ObjectKind kind;
    int32_t slot;
    ReferenceSource source;
    int32_t sourceKind; // ConditionKind or CommandKind
};

// Calls `visit` for every object slot a used condition or command refers to,
// by the meaning of its kind and action.
void forEachReference(const Item& item, const std::function<void(const ObjectReference&)>& visit);

// Capacity of each kind of slot (slot numbers run 0 .. capacity - 1).
int capacityOf(ObjectKind kind);

} // namespace quillon::analyzer

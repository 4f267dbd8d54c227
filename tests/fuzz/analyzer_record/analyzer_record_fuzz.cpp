// The analyzer record's checks at full speed: one empty record is kept in
// memory and the input patches it (a patch picks the header, an item or the
// tail of the record, an offset inside it and the bytes to put there). A
// record the checks accept must be safe to walk the way the editor and the
// runner walk it; afterwards the patches are undone, so nothing of the 75 MB
// record is copied or cleared per input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "analyzer/analyzer_file.h"
#include "analyzer/model_text.h"
#include "analyzer/references.h"

namespace {

using namespace quillon::analyzer;

struct Undo {
    size_t offset;
    std::vector<uint8_t> bytes;
};

// Offset of a patch: selector bit 0..1 choose the region, the next bytes the
// place inside it.
size_t patchOffset(uint8_t selector, const uint8_t* where) {
    const uint32_t value = where[0] | (where[1] << 8) | (where[2] << 16);
    switch (selector % 4) {
    case 0: // counts, orders, screenshots, areas
        return value % offsetof(AnalyzerImage, items);
    case 1: { // one item: index from the value's top, place from its bottom
        const size_t item = (value >> 14) % kItemSlots;
        return offsetof(AnalyzerImage, items) + item * sizeof(Item) + (value & 0x3fff) % sizeof(Item);
    }
    case 2: // the first items, where most counts and links sit
        return offsetof(AnalyzerImage, items) + value % (4 * sizeof(Item));
    default: // cursors, variables, sounds, screen size, masks, marker
        return offsetof(AnalyzerImage, cursorCount) +
               value % (sizeof(AnalyzerImage) - offsetof(AnalyzerImage, cursorCount));
    }
}

void walkAccepted(const AnalyzerImage& a) {
    if (a.itemCount < 0 || a.itemCount > kItemSlots) {
        std::abort();
    }
    for (int i = 0; i < a.itemCount; ++i) {
        const Item& item = a.items[i];
        if (item.conditionCount < 0 || item.conditionCount > kConditionsPerItem || item.commandCount < 0 ||
            item.commandCount > kCommandsPerItem || item.nextLinkCount < 0 || item.nextLinkCount > kNextLinksPerItem) {
            std::abort();
        }
        for (int c = 0; c < item.conditionCount; ++c) {
            (void)describeCondition(item.conditions[c]);
        }
        for (int c = 0; c < item.commandCount; ++c) {
            (void)describeCommand(item.commands[c]);
        }
        for (int n = 0; n < item.nextLinkCount; ++n) {
            (void)describeNextLink(item.nextLinks[n]);
        }
        forEachReference(item, [](const ObjectReference& reference) {
            if (reference.slot < 0 || reference.slot >= capacityOf(reference.kind)) {
                std::abort(); // accepted, yet it points outside its table
            }
        });
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static AnalyzerImage* record = [] {
        auto* image = static_cast<AnalyzerImage*>(std::calloc(1, sizeof(AnalyzerImage)));
        image->formatMarker = kFormatMarker;
        return image;
    }();
    auto* bytes = reinterpret_cast<uint8_t*>(record);
    std::vector<Undo> undo;
    size_t at = 0;
    while (size - at >= 5) {
        const uint8_t selector = data[at];
        const size_t offset = patchOffset(selector, data + at + 1);
        size_t length = data[at + 4] % 17;
        at += 5;
        length = std::min({length, size - at, sizeof(AnalyzerImage) - offset});
        if (length == 0) {
            continue;
        }
        undo.push_back({offset, std::vector<uint8_t>(bytes + offset, bytes + offset + length)});
        std::memcpy(bytes + offset, data + at, length);
        at += length;
    }
    if (checkRecord(*record)) {
        walkAccepted(*record);
    }
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
        std::memcpy(bytes + it->offset, it->bytes.data(), it->bytes.size());
    }
    return 0;
}

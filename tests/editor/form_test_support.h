// An analyzer with one of each object the dialogs choose from, the machine's
// macro lists, and the contexts the form tests build in.
#pragma once

#include <cstring>

#include "analyzer/machine_macros.h"
#include "device/key_table.h"
#include "editor/forms/form_context.h"
#include "editor/item_sentences.h"
#include "tests/editor/editor_fixture.h"

namespace quillon::editor::testing {

struct FormWorld {
    AnalyzerModel model;
    AnalyzerModel bare; // no objects at all
    MacroNameLists macros;
    KeyTable keys{KeyNames::AnalyzerEditor};
    AnalyzerNames names{model, keys};
    int image = -1, area = -1, cursor = -1, pack = -1;
    FormContext ordinary, full, changingFull, empty;

    FormWorld() {
        image = addImage(model, "버튼");
        EXPECT_TRUE(model.addArea(100, 100, 0, "영역", area).ok);
        EXPECT_TRUE(model.addCursor(3, "화살", cursor).ok);
        EXPECT_TRUE(model.addNumberPack("숫자", pack).ok);
        fillMemory(MemoryKind::Recorded, 9);
        fillMemory(MemoryKind::Edit, 4);
        fillMemory(MemoryKind::Combination, 0);
        ordinary = {&model, &macros, 0, false};
        full = {&model, &macros, 50, false};
        changingFull = {&model, &macros, 50, true};
        empty = {&bare, &macros, 0, false};
    }

    // A memory with a body: its header carries the magic and a length.
    void fillMemory(MemoryKind kind, int index) {
        std::vector<uint8_t> header(analyzer::headerSizeOf(kind), 0);
        const uint16_t magic = analyzer::magicOf(kind);
        std::memcpy(header.data(), &magic, 2);
        const uint32_t length = 10;
        std::memcpy(header.data() + offsetof(RecordedMemoryHeader, bodyLength), &length,
                    kind == MemoryKind::Recorded ? 4 : 2);
        const size_t at = static_cast<size_t>(index);
        if (kind == MemoryKind::Recorded) macros.recordedHeaders[at] = header;
        else if (kind == MemoryKind::Edit) macros.editHeaders[at] = header;
        else macros.combinationHeaders[at] = header;
    }
};

} // namespace quillon::editor::testing

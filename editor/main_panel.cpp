#include "editor/main_panel.h"

#include <algorithm>

#include "base/format_text.h"
#include "base/text.h"

namespace quillon::editor {

PanelPlacement placeMainPanel(int panelWidth, int panelHeight, int screenWidth, int workTop, int workHeight) {
    PanelPlacement place;
    place.x = (screenWidth - panelWidth) / 2;
    if (panelHeight > workHeight) {
        place.y = workTop;
        place.scrollSteps = (panelHeight - workHeight) / kPanelScrollStep + 1;
    } else {
        place.y = workTop + (workHeight - panelHeight) / 2;
    }
    return place;
}

std::vector<ItemListRow> itemListRows(const analyzer::AnalyzerModel& model, bool sorted) {
    std::vector<ItemListRow> rows;
    std::vector<std::string> names;
    const int count = model.itemCount();
    rows.reserve(static_cast<size_t>(count));
    names.reserve(static_cast<size_t>(count));
    for (int position = 0; position < count; ++position) {
        const analyzer::Item& item = model.item(position);
        rows.push_back({position, analyzer::itemListLine(item, position)});
        names.push_back(text::cp949ToUtf8(analyzer::fixedText(item.name)));
    }
    if (sorted) {
        // UTF-8 bytes order Hangul syllables as the dictionary does (CP949's
        // extended syllables would not be).
        std::stable_sort(rows.begin(), rows.end(), [&](const ItemListRow& a, const ItemListRow& b) {
            return names[static_cast<size_t>(a.position)] < names[static_cast<size_t>(b.position)];
        });
    }
    return rows;
}

int rowOfItem(const std::vector<ItemListRow>& rows, int position) {
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].position == position) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int ignoreModeOf(const IgnoreChecks& checks) {
    if (checks.trueSkip) return 1;
    if (checks.falseSkip) return 2;
    if (checks.circular) return 3;
    return 0;
}

IgnoreChecks ignoreChecksOf(int ignoreMode) {
    IgnoreChecks checks;
    checks.trueSkip = ignoreMode == 1;
    checks.falseSkip = ignoreMode == 2;
    checks.circular = ignoreMode == 3;
    return checks;
}

} // namespace quillon::editor

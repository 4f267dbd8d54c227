#include "editor/colour_boxes.h"

namespace quillon::editor {

namespace text = colour_box_text;

Built<std::string> ColourBoxLock::apply(bool lockChecked, const std::string& password) {
    int32_t& inert = model_.image().fillPatchesInert;
    if (lockChecked == locked()) {
        return Built<std::string>::of(locked() ? text::kLocked : text::kUnlocked);
    }
    if (password.empty()) {
        return Built<std::string>::refused(text::kNeedPassword);
    }
    if (lockChecked) {
        password_ = password;
        inert = 1;
        return Built<std::string>::of(text::kLocked);
    }
    if (!password_.empty() && password != password_) {
        return Built<std::string>::refused(text::kWrongPassword);
    }
    password_.clear();
    inert = 0;
    return Built<std::string>::of(text::kUnlocked);
}

Built<int> placeColourBox(analyzer::AnalyzerModel& model, int x, int y, int screenshotSlot, uint32_t colour) {
    if (model.image().fillPatchesInert != 0) {
        return Built<int>::refused("");
    }
    int slot = -1;
    Status added = model.addFillPatch(x, y, screenshotSlot, colour, slot);
    if (!added.ok) {
        return Built<int>::refused(added.message);
    }
    return Built<int>::of(slot);
}

bool recolourBox(analyzer::AnalyzerModel& model, int slot, uint32_t colour) {
    analyzer::AnalyzerImage& a = model.image();
    if (a.fillPatchesInert != 0 || slot < 0 || slot >= analyzer::kFillPatchCapacity || !a.fillPatches[slot].used) {
        return false;
    }
    a.fillPatches[slot].colour = colour;
    return true;
}

} // namespace quillon::editor

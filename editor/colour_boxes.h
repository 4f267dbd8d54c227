// Colour boxes: filled boxes placed on a screenshot, and their lock. The
// lock is the user's own password: locking takes any text, unlocking needs
// the same text. The record keeps only the locked flag, so a locked analyzer
// opened from a file has no password in this session; any text then
// unlocks it (the lock guards against changing boxes by mistake, not
// against a person, and a box locked for good would be lost work).
#pragma once

#include <string>

#include "analyzer/model.h"
#include "base/status.h"

namespace quillon::editor {

namespace colour_box_text {
inline constexpr const char* kLocked = "색상자 잠긴 상태";
inline constexpr const char* kUnlocked = "색상자 풀린 상태";
inline constexpr const char* kNeedPassword = "암호를 입력해주세요";
inline constexpr const char* kWrongPassword = "정확한 암호를 입력해주세요";
} // namespace colour_box_text

class ColourBoxLock {
public:
    explicit ColourBoxLock(analyzer::AnalyzerModel& model) : model_(model) {}

    bool locked() const { return model_.image().fillPatchesInert != 0; }
    // Dialog 202's "확인" with its check button and password text: the state
    // text afterwards, or the refusal.
    Built<std::string> apply(bool lockChecked, const std::string& password);
    // A new or opened analyzer: the password of the last one is forgotten.
    void forget() { password_.clear(); }

private:
    analyzer::AnalyzerModel& model_;
    std::string password_;
};

// A new box at (x, y) of a screenshot; refused at 1000 boxes and while the
// boxes are locked. The box's slot comes back.
Built<int> placeColourBox(analyzer::AnalyzerModel& model, int x, int y, int screenshotSlot, uint32_t colour);
// Recolours a box; false for a free slot or while locked.
bool recolourBox(analyzer::AnalyzerModel& model, int slot, uint32_t colour);

} // namespace quillon::editor

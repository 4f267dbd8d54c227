// The rows of an item's condition and command lists as the dialogs place
// them: "끝에 추가" appends, "앞에 추가" inserts before the chosen row (at
// the top when none is chosen), "뒤에 추가" after it (at the end when none is
// chosen), and "수정 저장" replaces the chosen row where it stands. The
// placed row becomes the chosen one.
#pragma once

#include "analyzer/model.h"

namespace quillon::editor {

// The common buttons by their control ids.
enum class RowButton { AddAtEnd = 6, AddBefore = 7, AddAfter = 8 };

// What a dialog offers: opened to change a row, only "수정 저장" (on button
// 8) and "취소".
struct RowButtonsShown {
    bool addAtEnd;
    bool addBefore;
    const char* afterCaption;
};
RowButtonsShown rowButtons(bool changing);

// Places `condition` by the button pressed; with `changing` button 8 saves
// over the chosen row. Refused with "최대 조건수를 초과하였습니다." at 50.
Status placeCondition(analyzer::Item& item, RowButton button, bool changing, const analyzer::Condition& condition);
// The same for commands; a 51st command is refused with the text of the
// command's dialog.
Status placeCommand(analyzer::Item& item, RowButton button, bool changing, const analyzer::Command& command);

} // namespace quillon::editor

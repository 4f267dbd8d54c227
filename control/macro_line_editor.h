// The line list of the edit and combination pages as a model: adding,
// moving, copying, pasting, deleting and indenting lines of a MacroDocument,
// with the selection and the current line. The page windows call it and
// redraw from the document.
#pragma once

#include <string>
#include <vector>

#include "base/status.h"
#include "control/macro_records.h"

namespace quillon::control {

enum class AddMode { Append = 0, InsertBefore = 1, InsertAfter = 2, Replace = 3 };

// Success, or the message shown when a list operation is refused.
using EditOutcome = Status;

struct LineEditorLocations {
    const char* page; // "MakLine" or "ComLine"
    int addFull;
    int pasteFull;
    int copyTooMany;
};
extern const LineEditorLocations kEditPageLocations;
extern const LineEditorLocations kCombinationPageLocations;

// Indent a line gets when placed at `position` (0-based) of the document,
// from the lines above it.
int automaticIndent(const MacroDocument& document, int position, int kind);

class MacroLineEditor {
public:
    MacroLineEditor(MacroDocument& document, TextStore& store, const LineEditorLocations& where);

    // The other page's document shares the text store: its typing lines keep
    // their slots when lines are deleted here.
    void setSharingDocument(const MacroDocument* other) { other_ = other; }

    EditOutcome addLine(const EditLine& line, AddMode mode);
    bool moveUp();
    bool moveDown();
    EditOutcome copySelection();
    EditOutcome paste(bool below);
    void deleteSelection();
    void deleteAll();
    void indentSelection();
    void outdentSelection();

    int lineCount() const { return document_.head.lineCount; }
    int currentLine() const { return document_.head.currentLine; }
    void setCurrentLine(int line);
    void select(int line, bool on);
    bool isSelected(int line) const;
    void clearSelection();
    std::vector<int> selectedLines() const;

    // "%d/%d": current line (1-based) and line count.
    std::string counterText() const;

    // After a new document was loaded into the record: keep the current line
    // inside it and select it.
    void documentReplaced();

private:
    void insertAt(int position, const EditLine* lines, int count);
    void freeSlotIfUnused(int slot);

    MacroDocument& document_;
    TextStore& store_;
    const LineEditorLocations& where_;
    const MacroDocument* other_ = nullptr;
    std::vector<bool> selected_;
};

} // namespace quillon::control

// Deleting an object that items still use is refused, with a message that
// names every item using it; deleting an item that others link to is refused
// likewise. An allowed deletion clears the slot, closes the list and moves
// the current entry back (the window then drops the object's list line and,
// for an area, its frame window).
#pragma once

#include <string>

#include "analyzer/model.h"
#include "base/user_dialogs.h"

namespace quillon::editor {

struct DeletionCheck {
    bool allowed = true;
    std::string message; // UTF-8, shown with the caption "오류" when refused
};

// Object checks take the slot number. `workingCopy` is the item open in the
// editor, not yet saved (null when none); recognition images and number
// packs are checked against it first.
DeletionCheck checkAreaDeletion(const analyzer::AnalyzerModel& model, int areaSlot);
DeletionCheck checkCursorDeletion(const analyzer::AnalyzerModel& model, int cursorSlot);
DeletionCheck checkRecognitionImageDeletion(const analyzer::AnalyzerModel& model, int imageSlot,
                                            const analyzer::Item* workingCopy);
DeletionCheck checkNumberPackDeletion(const analyzer::AnalyzerModel& model, int packSlot,
                                      const analyzer::Item* workingCopy);
// The item at a list position.
DeletionCheck checkItemDeletion(const analyzer::AnalyzerModel& model, int itemPosition);

// Check, then delete the object at a list position; a refusal is shown
// through `dialogs` and leaves everything as it was. True when deleted.
bool deleteAreaAt(analyzer::AnalyzerModel& model, int position, UserDialogs& dialogs);
bool deleteCursorAt(analyzer::AnalyzerModel& model, int position, UserDialogs& dialogs);
bool deleteRecognitionImageAt(analyzer::AnalyzerModel& model, int position, const analyzer::Item* workingCopy,
                              UserDialogs& dialogs);
bool deleteNumberPackAt(analyzer::AnalyzerModel& model, int position, const analyzer::Item* workingCopy,
                        UserDialogs& dialogs);
bool deleteItemAt(analyzer::AnalyzerModel& model, int position, UserDialogs& dialogs);

} // namespace quillon::editor

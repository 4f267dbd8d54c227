// The image order dialog ("이미지 순서 편집", "정렬"): a working copy of the
// recognition image list that the user rearranges, renames and thins out;
// "저장" writes it into the analyzer, "취소" drops it.
#pragma once

#include <string>
#include <vector>

#include "analyzer/model.h"
#include "base/user_dialogs.h"

namespace quillon::editor {

struct ImageOrderEntry {
    int slot = -1;
    std::string name; // UTF-8, without the pattern mark
    bool pattern = false;
};

class ImageOrder {
public:
    explicit ImageOrder(const analyzer::AnalyzerModel& model);

    const std::vector<ImageOrderEntry>& entries() const { return entries_; }
    std::vector<std::string> lines() const; // "[패턴]" before a pattern image's name

    // Each gives the row chosen afterwards (-1: none).
    int moveUp(int row);
    int moveDown(int row);
    int moveToTop(int row);
    int moveToBottom(int row);
    // "선택 삭제": an image an item uses is refused at once with the
    // reference message (the row stays).
    int remove(int row, const analyzer::AnalyzerModel& model, const analyzer::Item* workingCopy,
               UserDialogs& dialogs);
    bool rename(int row, const std::string& name);

    // Deletes the removed images, then writes the order and names.
    void store(analyzer::AnalyzerModel& model, const analyzer::Item* workingCopy, UserDialogs& dialogs) const;

private:
    std::vector<ImageOrderEntry> entries_;
    std::vector<int> removedSlots_;
};

} // namespace quillon::editor

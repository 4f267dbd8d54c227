#include "editor/image_order.h"

#include <algorithm>

#include "base/text.h"
#include "editor/reference_checks.h"

namespace quillon::editor {

using namespace analyzer;

ImageOrder::ImageOrder(const AnalyzerModel& model) {
    const AnalyzerImage& a = model.image();
    const int count = std::clamp(static_cast<int>(a.recognitionImageCount), 0, kRecognitionImageCapacity);
    for (int position = 0; position < count; ++position) {
        const int slot = a.recognitionImageOrder[position];
        const RecognitionImage* r = model.recognitionImage(slot);
        if (r) {
            entries_.push_back({slot, text::cp949ToUtf8(fixedText(r->name)), r->pattern == 1});
        }
    }
}

std::vector<std::string> ImageOrder::lines() const {
    std::vector<std::string> out;
    for (const ImageOrderEntry& e : entries_) {
        out.push_back((e.pattern ? std::string("[패턴]") : std::string()) + e.name);
    }
    return out;
}

namespace {
bool valid(const std::vector<ImageOrderEntry>& entries, int row) {
    return row >= 0 && row < static_cast<int>(entries.size());
}
} // namespace

int ImageOrder::moveUp(int row) {
    if (!valid(entries_, row)) return -1;
    if (row == 0) return 0;
    std::swap(entries_[row], entries_[row - 1]);
    return row - 1;
}

int ImageOrder::moveDown(int row) {
    if (!valid(entries_, row)) return -1;
    if (row + 1 == static_cast<int>(entries_.size())) return row;
    std::swap(entries_[row], entries_[row + 1]);
    return row + 1;
}

int ImageOrder::moveToTop(int row) {
    if (!valid(entries_, row)) return -1;
    std::rotate(entries_.begin(), entries_.begin() + row, entries_.begin() + row + 1);
    return 0;
}

int ImageOrder::moveToBottom(int row) {
    if (!valid(entries_, row)) return -1;
    std::rotate(entries_.begin() + row, entries_.begin() + row + 1, entries_.end());
    return static_cast<int>(entries_.size()) - 1;
}

int ImageOrder::remove(int row, const AnalyzerModel& model, const Item* workingCopy, UserDialogs& dialogs) {
    if (!valid(entries_, row)) return -1;
    DeletionCheck check = checkRecognitionImageDeletion(model, entries_[static_cast<size_t>(row)].slot, workingCopy);
    if (!check.allowed) {
        dialogs.warn(check.message);
        return row;
    }
    removedSlots_.push_back(entries_[static_cast<size_t>(row)].slot);
    entries_.erase(entries_.begin() + row);
    if (entries_.empty()) return -1;
    return std::min(row, static_cast<int>(entries_.size()) - 1);
}

bool ImageOrder::rename(int row, const std::string& name) {
    if (!valid(entries_, row) || name.empty()) return false;
    entries_[static_cast<size_t>(row)].name = name;
    return true;
}

void ImageOrder::store(AnalyzerModel& model, const Item* workingCopy, UserDialogs& dialogs) const {
    AnalyzerImage& a = model.image();
    for (int slot : removedSlots_) {
        for (int p = 0; p < a.recognitionImageCount; ++p) {
            if (a.recognitionImageOrder[p] == slot) {
                deleteRecognitionImageAt(model, p, workingCopy, dialogs);
                break;
            }
        }
    }
    int position = 0;
    for (const ImageOrderEntry& e : entries_) {
        RecognitionImage* r = model.recognitionImage(e.slot);
        if (!r || position >= a.recognitionImageCount) continue;
        a.recognitionImageOrder[position++] = e.slot;
        storeFixedText(r->name, text::utf8ToCp949(e.name));
    }
    // The current image stays on the list; an empty list starts at 0.
    a.currentRecognitionImage =
        a.recognitionImageCount > 0 ? std::clamp(a.currentRecognitionImage, 0, a.recognitionImageCount - 1) : 0;
}

} // namespace quillon::editor

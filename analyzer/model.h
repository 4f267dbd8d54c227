// The open analyzer: the record, the sentence table and the blocks of the
// recognition images and number packs, with the operations the editor and the
// file use. Large parts are allocated zero-filled, so capacity that is never
// touched costs no resident memory.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "analyzer/analyzer_image.h"
#include "base/fixed_text.h"
#include "base/local_time.h"
#include "base/status.h"

namespace quillon::analyzer {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using ZeroedBlock = std::unique_ptr<T, FreeDeleter>;

template <class T>
ZeroedBlock<T> allocateZeroed() {
    return ZeroedBlock<T>(static_cast<T*>(std::calloc(1, sizeof(T))));
}

// Success, or the message that refuses the operation (UTF-8).
using quillon::Status;

// Fixed text fields: CP949 bytes up to the first NUL or the field's end.
using quillon::fixedText;
using quillon::storeFixedText;

struct MacroMasks {
    uint32_t recorded = 0;
    uint32_t edit = 0;
    uint32_t combination = 0;
    bool any() const { return recorded || edit || combination; }
    bool operator==(const MacroMasks&) const = default;
};

struct NewScreenshot {
    std::string name; // UTF-8, the BMP file name without ".bmp"
    int32_t fileSize = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    std::string path; // UTF-8
};

struct NewRecognitionImage {
    int screenshotSlot = 0;
    int centreX = 0;
    int centreY = 0;
    int width = 0;
    int height = 0;
    bool pattern = false;
    std::string name; // empty: the default name
};

class AnalyzerModel {
public:
    AnalyzerModel();
    AnalyzerModel(const AnalyzerModel&) = delete;
    AnalyzerModel& operator=(const AnalyzerModel&) = delete;

    // False when the record could not be allocated.
    bool valid() const { return image_ != nullptr && sentences_ != nullptr; }

    AnalyzerImage& image() { return *image_; }
    const AnalyzerImage& image() const { return *image_; }
    SentenceTable& sentenceTable() { return *sentences_; }
    const SentenceTable& sentenceTable() const { return *sentences_; }

    // The block of a recognition-image or number-pack slot; null when free.
    RecognitionImage* recognitionImage(int slot);
    const RecognitionImage* recognitionImage(int slot) const;
    NumberPack* numberPack(int slot);
    const NumberPack* numberPack(int slot) const;

    // Frees every block, zeroes the record and the sentence table, then sets
    // 50 active variables named "변수000".., and name numbers starting at 1.
    bool reset();
    // Exchanges everything with `other` (the blocks change hands, nothing is
    // copied): a model read aside replaces the open one in one step.
    void swap(AnalyzerModel& other) noexcept;

    // Objects. Each add takes the lowest free slot, lists it, makes it
    // current and returns the slot in `slot`; refused at capacity.
    Status addScreenshot(const NewScreenshot& shot, int& slot);
    Status addRecognitionImage(const NewRecognitionImage& spec, int& slot);
    Status addNumberPack(std::string_view name, int& slot);
    Status addArea(int mouseX, int mouseY, int screenshotSlot, std::string_view name, int& slot);
    Status addFillPatch(int left, int top, int screenshotSlot, uint32_t colour, int& slot);
    Status addCursor(int32_t parts, std::string_view name, int& slot);
    // Deletes the object at a list position (references are checked by the
    // caller); the current position moves to the previous entry.
    bool deleteScreenshot(int position);
    bool deleteRecognitionImage(int position);
    bool deleteNumberPack(int position);
    bool deleteArea(int position);
    bool deleteFillPatch(int slot);
    bool deleteCursor(int position);
    // One more active variable, up to 1000.
    bool addVariable();
    // The screenshot's bitmap is gone while objects still refer to it: it is
    // kept, shown blank and labelled "%s(X)(%d)".
    bool markScreenshotErased(int slot);
    // Recognition images reaching past a smaller screenshot are moved to
    // (30, 30), keeping their size: those cut from `screenshotSlot`, or all
    // of them when it is -1.
    void moveImagesInside(int screenshotWidth, int screenshotHeight, int screenshotSlot = -1);

    // Items, packed in list order.
    int itemCount() const { return image_->itemCount; }
    Item& item(int position) { return image_->items[position]; }
    const Item& item(int position) const { return image_->items[position]; }
    // Inserts copies of `items` at `position`, each with a new id; the ids
    // given to them come back in the copies. Refused past 5000 items.
    bool insertItems(int position, std::span<Item> items);
    bool insertItem(int position, Item& item) { return insertItems(position, std::span<Item>(&item, 1)); }
    bool deleteItem(int position);
    // Writes an edited copy back as a whole and refreshes derived flags.
    bool storeItem(int position, const Item& edited);
    int findItemById(int32_t id) const; // list position or -1

    // Typing sentences (UTF-8 name and text); key codes computed here.
    Status storeSentence(int index, std::string_view name, std::string_view text, int speed);
    int firstFreeSentence() const; // -1 when the table is full

    // Derived data.
    void refreshUsageFlags();
    void refreshBeforeSave();
    MacroMasks macroMasksFromItems() const;
    // Rebuilds the sound list from the commands; false when more than 101
    // distinct files are named.
    bool rebuildSoundList();
    MacroMasks storedMacroMasks() const;
    void storeMacroMasks(const MacroMasks& masks);

    // Used by the file reader: installs a block read from a file.
    void adoptRecognitionImage(int slot, ZeroedBlock<RecognitionImage> block);
    void adoptNumberPack(int slot, ZeroedBlock<NumberPack> block);

private:
    void freeBlocks();

    ZeroedBlock<AnalyzerImage> image_;
    ZeroedBlock<SentenceTable> sentences_;
    std::unique_ptr<ZeroedBlock<RecognitionImage>[]> recognitionImages_;
    std::unique_ptr<ZeroedBlock<NumberPack>[]> numberPacks_;
};

// Item edits on the editor's copy of one item. Insert shifts the following
// slots up, delete shifts them down. Refused past 50 / 50 / 20.
Status addCondition(Item& item, const Condition& condition);
Status insertCondition(Item& item, int position, const Condition& condition);
bool deleteCondition(Item& item, int position);
Status addCommand(Item& item, const Command& command);
Status insertCommand(Item& item, int position, const Command& command);
bool deleteCommand(Item& item, int position);
Status addNextLink(Item& item, const NextLink& link);
Status insertNextLink(Item& item, int position, const NextLink& link);
bool deleteNextLink(Item& item, int position);

// The item list's line: "★0003 name" (UTF-8); the mark tells head and
// always-scan apart.
std::string itemListLine(const Item& item, int position);

// Values the condition and command dialogs accept; refusals carry the
// dialog's message.
Status checkRepeatCount(int count);                // 1..65000
Status checkSimilarity(int percent, bool sameness); // 50..100
Status checkMatchIndex(int index);                 // 1..30000
Status checkRemoteNumber(int number);              // 0..250

// Default names and titles (UTF-8).
std::string defaultRecognitionImageName(int number); // "인식이미지-0001"
std::string defaultAreaName(int number);             // "인식범위-1"
std::string defaultNumberPackName(int number);       // "숫자샘플팩-1"
std::string defaultCursorName(int number);           // "커서-01"
std::string defaultVariableName(int number);         // "변수000"
std::string newAnalyzerTitle(const LocalTime& local);  // "이미지 분석기202612080915"

} // namespace quillon::analyzer

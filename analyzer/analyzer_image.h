// The whole analyzer as one fixed-size record of 75,258,260 bytes. The file
// stores it byte for byte; recognition images and number packs live in blocks
// of their own, and the two address tables here are meaningless in a file
// (the model keeps the real addresses beside the record and writes zeros).
#pragma once

#include "analyzer/records.h"

namespace quillon::analyzer {

struct AnalyzerImage {
    int32_t reserved0;
    char name[300]; // file name without extension; the window title

    int32_t currentScreenshot;
    int32_t screenshotCount;
    int32_t screenshotOrder[kScreenshotOrderEntries];
    ScreenshotEntry screenshots[kScreenshotCapacity];

    int32_t nextRecognitionImageNumber;
    int32_t currentRecognitionImage;
    int32_t recognitionImageCount;
    int32_t recognitionImageOrder[kRecognitionImageCapacity];
    int32_t reserved596324;
    uint32_t recognitionImageAddresses[kRecognitionImageCapacity];

    int32_t currentNumberPack;
    int32_t nextNumberPackNumber;
    int32_t numberPackCount;
    int32_t reserved616340;
    int32_t numberPackOrder[kNumberPackCapacity];
    int32_t reserved616544;
    uint32_t numberPackAddresses[kNumberPackCapacity];
    int32_t reserved616748;

    int32_t nextAreaNumber;
    int32_t currentArea;
    int32_t areaCount;
    int32_t areasHidden;
    int32_t areaOrder[kAreaCapacity];
    int32_t reserved620768;
    RecognitionArea areas[kAreaCapacity];

    uint8_t reserved752772[132];
    int32_t fillPatchesInert;
    uint8_t reserved752908[68];
    FillPatch fillPatches[kFillPatchCapacity];
    uint8_t reserved816976[64];

    int32_t nextItemId;
    int32_t currentItem;
    int32_t itemCount;
    Item items[kItemSlots];

    int32_t cursorCount;
    int32_t currentCursor;
    int32_t nextCursorNumber;
    int32_t cursorOrder[kCursorCapacity];
    int32_t reserved72011380;
    CursorSample cursors[kCursorCapacity];
    uint8_t reserved74636024[sizeof(CursorSample)];

    int32_t activeVariableCount;
    VariableSlot variables[kVariableCapacity];

    int32_t soundCount;
    SoundEntry sounds[kSoundCapacity];

    int32_t screenshotWidth;
    int32_t screenshotHeight;
    int32_t screenshotBitsPerPixel;
    uint8_t reserved74848608[12];
    int32_t reserved74848620;
    uint32_t recordedMacroMask;    // bit b: recorded macro b (bank b/8+1, slot b%8+1)
    uint32_t editMacroMask;        // same numbering
    uint32_t combinationMacroMask; // bit j: combination macro j+1
    uint8_t reserved74848636[8];
    int32_t captureWindowNoFrame;
    int32_t captureWindowFramed;
    int32_t captureFullScreen;
    int32_t formatMarker; // kFormatMarker in every saved file
    int32_t captureLegacy;
    uint8_t reserved74848664[409596];
};

static_assert(sizeof(AnalyzerImage) == 75258260);
static_assert(offsetof(AnalyzerImage, name) == 4);
static_assert(offsetof(AnalyzerImage, currentScreenshot) == 304);
static_assert(offsetof(AnalyzerImage, screenshotCount) == 308);
static_assert(offsetof(AnalyzerImage, screenshotOrder) == 312);
static_assert(offsetof(AnalyzerImage, screenshots) == 8312);
static_assert(offsetof(AnalyzerImage, nextRecognitionImageNumber) == 576312);
static_assert(offsetof(AnalyzerImage, currentRecognitionImage) == 576316);
static_assert(offsetof(AnalyzerImage, recognitionImageCount) == 576320);
static_assert(offsetof(AnalyzerImage, recognitionImageOrder) == 576324);
static_assert(offsetof(AnalyzerImage, reserved596324) == 596324);
static_assert(offsetof(AnalyzerImage, recognitionImageAddresses) == 596328);
static_assert(offsetof(AnalyzerImage, currentNumberPack) == 616328);
static_assert(offsetof(AnalyzerImage, nextNumberPackNumber) == 616332);
static_assert(offsetof(AnalyzerImage, numberPackCount) == 616336);
static_assert(offsetof(AnalyzerImage, numberPackOrder) == 616344);
static_assert(offsetof(AnalyzerImage, numberPackAddresses) == 616548);
static_assert(offsetof(AnalyzerImage, reserved616748) == 616748);
static_assert(offsetof(AnalyzerImage, nextAreaNumber) == 616752);
static_assert(offsetof(AnalyzerImage, currentArea) == 616756);
static_assert(offsetof(AnalyzerImage, areaCount) == 616760);
static_assert(offsetof(AnalyzerImage, areasHidden) == 616764);
static_assert(offsetof(AnalyzerImage, areaOrder) == 616768);
static_assert(offsetof(AnalyzerImage, areas) == 620772);
static_assert(offsetof(AnalyzerImage, reserved752772) == 752772);
static_assert(offsetof(AnalyzerImage, fillPatchesInert) == 752904);
static_assert(offsetof(AnalyzerImage, fillPatches) == 752976);
static_assert(offsetof(AnalyzerImage, reserved816976) == 816976);
static_assert(offsetof(AnalyzerImage, nextItemId) == 817040);
static_assert(offsetof(AnalyzerImage, currentItem) == 817044);
static_assert(offsetof(AnalyzerImage, itemCount) == 817048);
static_assert(offsetof(AnalyzerImage, items) == 817052);
static_assert(offsetof(AnalyzerImage, cursorCount) == 72011288);
static_assert(offsetof(AnalyzerImage, currentCursor) == 72011292);
static_assert(offsetof(AnalyzerImage, nextCursorNumber) == 72011296);
static_assert(offsetof(AnalyzerImage, cursorOrder) == 72011300);
static_assert(offsetof(AnalyzerImage, cursors) == 72011384);
static_assert(offsetof(AnalyzerImage, reserved74636024) == 74636024);
static_assert(offsetof(AnalyzerImage, activeVariableCount) == 74767256);
static_assert(offsetof(AnalyzerImage, variables) == 74767260);
static_assert(offsetof(AnalyzerImage, soundCount) == 74835260);
static_assert(offsetof(AnalyzerImage, sounds) == 74835264);
static_assert(offsetof(AnalyzerImage, screenshotWidth) == 74848596);
static_assert(offsetof(AnalyzerImage, screenshotHeight) == 74848600);
static_assert(offsetof(AnalyzerImage, screenshotBitsPerPixel) == 74848604);
static_assert(offsetof(AnalyzerImage, reserved74848620) == 74848620);
static_assert(offsetof(AnalyzerImage, recordedMacroMask) == 74848624);
static_assert(offsetof(AnalyzerImage, editMacroMask) == 74848628);
static_assert(offsetof(AnalyzerImage, combinationMacroMask) == 74848632);
static_assert(offsetof(AnalyzerImage, captureWindowNoFrame) == 74848644);
static_assert(offsetof(AnalyzerImage, captureWindowFramed) == 74848648);
static_assert(offsetof(AnalyzerImage, captureFullScreen) == 74848652);
static_assert(offsetof(AnalyzerImage, formatMarker) == 74848656);
static_assert(offsetof(AnalyzerImage, captureLegacy) == 74848660);
static_assert(offsetof(AnalyzerImage, reserved74848664) == 74848664);

} // namespace quillon::analyzer

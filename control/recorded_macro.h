// Recorded macros: how the page shows a recorded memory's header, the flags
// it makes from its controls, the walk over the machine's body records, and
// the conversion of the older ".mgild" files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/macro_records.h"

namespace quillon::control {

constexpr int kRecordedModeStandard = 0;
constexpr int kRecordedModeFps = 1;
constexpr int kRecordedModeCoordinates = 2;

// The lists of the page, in stored-value order.
extern const char* const kRecordedSpeedNames[7];  // "1배속" .. "64배속"
extern const char* const kRecordedModeNames[3];   // "표준 모드", "FPS 모드", "좌표인식 모드"

struct RecordedPageOptions {
    std::string name; // UTF-8
    int speed = 0;    // 0..6
    int mode = 0;     // 0..2
    bool keyboardLock = false;
    bool mouseLock = false;
    bool mouseLockEnabled = false; // only in "좌표인식 모드"
    bool noStartDelay = false;
    bool noEndDelay = false;
    bool keyboardOnly = false;
    bool playOnce = false;
    std::string lengthText; // "2.0초"
    std::string sizeText;   // "1234바이트"
};

// The page's controls for a header.
RecordedPageOptions showRecordedHeader(const RecordedMemoryHeader& header);

// Flags from the page's controls. Outside "좌표인식 모드" the mouse lock is
// always on.
uint16_t recordedFlags(const RecordedPageOptions& options);

// Writes the page's name into a header: at most 39 bytes, empty becomes
// "새로 만든 매크로".
void setRecordedName(char (&field)[42], const std::string& utf8);
void setMacroName(char (&field)[42], const std::string& utf8, size_t maxBytes);

// "%d-%d메모리\r\n%s" for a memory index and its name.
std::string currentRecordedMemoryText(int index, const std::string& utf8Name);

// Where the page's current recorded macro came from: nothing (0), a machine
// memory (1) or a file (2). Saving does nothing in state 0.
struct RecordedPageState {
    enum State { None = 0, Memory = 1, File = 2 };
    State state = None;
    int memoryIndex = -1;
    std::string memoryName; // UTF-8
    std::string filePath;   // UTF-8

    void chooseMemory(int index, const std::string& name) {
        state = Memory;
        memoryIndex = index;
        memoryName = name;
        filePath.clear();
    }
    void chooseFile(const std::string& path) {
        state = File;
        memoryIndex = -1;
        filePath = path;
    }
    bool canSave() const { return state != None; }
    // The "현재 매크로" box.
    std::string currentMacroText() const {
        return state == Memory ? currentRecordedMemoryText(memoryIndex, memoryName) : state == File ? filePath : std::string();
    }
};

// Length of a body record from its first byte.
size_t recordedRecordLength(uint8_t first);

// Calls `visit` with each whole record (offset, length); returns false when
// the last record is cut short by the end of the body.
bool walkRecordedBody(const uint8_t* body, size_t size, const std::function<void(size_t, size_t)>& visit);

// Converts an ".mgild" file into the bytes of an ".rqn1" file; nullopt when
// the file is too short for its header or its body.
std::optional<std::vector<uint8_t>> convertMgild(const std::vector<uint8_t>& mgild);

// File name of the converted macro: folder + the old file's base name + ".rqn1".
std::string convertedRecordedPath(const std::string& recordedFolder, const std::string& mgildPath);

} // namespace quillon::control

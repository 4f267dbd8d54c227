// control-panel's state: the link and its keep-alive, the machine's records as
// read, the header caches, the windows and the pages. One object, made by
// wWinMain and handed to every window and dialog through its creation
// parameter (its pages and dialogs keep it in their own data).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "control/auto_click.h"
#include "control/control_program.h"
#include "control/coordinate_picking.h"
#include "control/macro_records.h"
#include "device/device_records.h"
#include "device/keep_alive.h"
#include "device/macro_memory.h"
#include "device/memory_cache.h"
#include "device/startup_data.h"
#include "winui/dialog_colours.h"
#include "winui/progress_dialog.h"

namespace quillon::control_ui {

struct MacroPage; // the edit and combination pages' own data

struct ControlSession {
    HINSTANCE instance = nullptr;
    HWND owner = nullptr;       // hidden owner of the start-up message boxes
    HWND mainWindow = nullptr;  // "Quillon Control": 0x0, or the screenshot overlay
    HWND mainDialog = nullptr;
    std::array<HWND, control::kPageCount> pages{};
    control::ControlPage currentPage = control::ControlPage::None;
    bool firstPageOpened = false;
    int startArgument = 0;
    std::string startPath;
    control::ControlPage startPage = control::ControlPage::Options; // a macro file given as the argument, opened in its page
    int screenWidth = 0;
    int screenHeight = 0;

    std::string programFolder;
    StartupData data;
    Link link{Program::ControlPanel, systemClock()};
    LinkMacroMemory memory{link};
    KeepAlive keepAlive;
    std::unique_ptr<winui::DialogBrushes> brushes;
    bool ending = false; // a device failure is being reported; the program ends

    OptionRecord options{};
    HotkeyRecord hotkeys{};

    RecordedHeaderCache recordedHeaders;
    EditHeaderCache editHeaders;
    CombinationHeaderCache combinationHeaders;
    bool autoClickRead = false;
    control::AutoClickSettings autoClick{};

    // The reference screenshot shown by the main window, and coordinate picking on it.
    void* screenshot = nullptr; // Gdiplus::Bitmap
    int screenshotWidth = 0;
    int screenshotHeight = 0;
    control::CoordinatePicking picking;

    // The edit and combination pages share one text store; each sees the
    // other's document so that a text the other page uses is never freed.
    control::ZeroedPtr<control::TextStore> lineTexts = control::newTextStore();
    std::array<MacroPage*, 2> linePages{}; // edit, combination (while they exist)
};

// A user folder of the name block, made when missing (inside the user's data folder).
std::string userFolder(const ControlSession& s, size_t nameOffset);

// Reports a link failure met after start-up and ends the program: the message
// with the location code, then WM_CLOSE to the main window.
void endOnLinkFailure(ControlSession& s, HWND owner);
// For a record read with a wrong magic (or not at all).
void endOnOptionRecordFailure(ControlSession& s, HWND owner);
void endOnHotkeyRecordFailure(ControlSession& s, HWND owner);

// Reads a memory header cache once, behind the progress dialog; false (after
// the program's ending message) when the link failed.
template <typename Cache>
bool filledCache(ControlSession& s, HWND owner, Cache& cache, int location) {
    if (cache.filled()) {
        return true;
    }
    winui::ProgressJob job;
    job.text = kProgressWaitText;
    job.transfer = [&s, &cache, location](const MemoryProgress& progress) {
        if (progress.setRange) progress.setRange(1);
        const bool ok = cache.fill(s.memory, location);
        if (progress.setPosition) progress.setPosition(1);
        return ok;
    };
    if (!winui::runWithProgress(owner, job)) {
        endOnLinkFailure(s, owner);
        return false;
    }
    return true;
}

// Dialog procedures share the brushes of the start-up colours (none before
// the dialog has its data).
INT_PTR paintDialog(const ControlSession* s, UINT message, WPARAM wParam);

// Pages and dialogs.
HWND createOptionsPage(ControlSession& s, HWND parent);
HWND createRecordedPage(ControlSession& s, HWND parent);
HWND createAutoClickPage(ControlSession& s, HWND parent);
HWND createEditPage(ControlSession& s, HWND parent);
HWND createCombinationPage(ControlSession& s, HWND parent);

// The macro file of the start argument when it belongs to `page` (once: it is
// then taken), else empty.
std::string takeStartFile(ControlSession& s, control::ControlPage page);

// The machine is lost: the edit and combination pages holding lines not yet
// saved write them as dated copies in their folders; the paths written.
std::vector<std::string> saveUnsavedPages(ControlSession& s);
// An edit or combination page holds lines not yet stored or saved.
bool anyUnsavedPage(const ControlSession& s);
// "편집 중이던 매크로를 다음 파일로 저장했습니다." with the paths; empty for none.
std::string keptPagesText(const std::vector<std::string>& paths);
void runScheduleDialog(ControlSession& s, HWND owner);

// The screenshot overlay: "스샷 불러오기" of a page.
bool loadScreenshot(ControlSession& s, HWND owner);
void freeScreenshot(ControlSession& s);
LRESULT overlayMessage(ControlSession& s, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

// File dialogs starting in a user folder; an empty result means cancelled.
std::string chooseOpenFile(HWND owner, const char* title, const char* filter, const char* defaultExtension,
                           const std::string& folder);
std::string chooseSaveFile(HWND owner, const char* title, const char* filter, const char* defaultExtension,
                           const std::string& folder, const std::string& proposedName);

// The memory picker: the lines, its caption and confirm text; the chosen index
// or -1. A click echoes the line's memory (`echo`) in the text line below the
// list; a double click echoes it and confirms. `onClear` (optional) clears the
// selected memory and returns its new line.
struct MemoryPicker {
    std::string caption;
    std::string confirm;
    std::vector<std::string> lines;
    std::function<std::string(size_t)> echo;
    std::function<std::optional<std::string>(size_t)> onClear;
};
// The echo of the pickers of recorded, edit or combination memories.
std::function<std::string(size_t)> recordedEcho(ControlSession& s);
std::function<std::string(size_t)> editEcho(ControlSession& s);
std::function<std::string(size_t)> combinationEcho(ControlSession& s);
int pickMemory(ControlSession& s, HWND owner, MemoryPicker& picker);

// Key boxes: an edit control that captures the key pressed in it and hands
// its key code to `onKey` (set through the box's user data).
using KeyBoxHandler = void (*)(HWND box, uint8_t code, void* context);

// An edit box whose text must fit a CP949 field of `bytes` bytes (a Hangul
// syllable takes two): typing, pasting or an input-method result that would
// not fit is undone with a beep.
void limitToCp949Bytes(HWND box, size_t bytes);
void makeKeyBox(HWND box, KeyBoxHandler handler, void* context);

} // namespace quillon::control_ui

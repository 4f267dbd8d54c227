// The open and save file dialogs of every program, in UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace quillon::winui {

struct FileChoice {
    std::string title;
    // Pairs of a description and its patterns, each part ended by '|':
    // "분석기 파일(*.dat)|*.dat|".
    std::string filter;
    std::string defaultExtension; // without the dot; empty for none
    std::string folder;           // where the dialog starts
    std::string proposedName;     // the save dialog's starting name
    // The program's working folder stays where it was whatever folder the
    // user browses to.
    bool keepWorkingFolder = true;
    bool askBeforeReplacing = true; // the save dialog
};

// The chosen file's path, or "" when the user cancelled. The open dialog
// takes only an existing file.
std::string chooseFileToOpen(HWND owner, const FileChoice& choice);
std::string chooseFileToSave(HWND owner, const FileChoice& choice);

} // namespace quillon::winui

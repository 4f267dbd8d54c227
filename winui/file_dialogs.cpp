#include "winui/file_dialogs.h"

#include <commdlg.h>

#include <cwchar>

#include "base/wide_text.h"

namespace quillon::winui {

namespace {

std::wstring filterOf(const std::string& filter) {
    std::wstring wide = widen(filter);
    for (wchar_t& c : wide) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    wide.push_back(L'\0');
    return wide;
}

std::string choose(HWND owner, const FileChoice& choice, bool saving) {
    const std::wstring filter = filterOf(choice.filter), title = widen(choice.title),
                       extension = widen(choice.defaultExtension), folder = widen(choice.folder);
    wchar_t file[MAX_PATH] = L"";
    const std::wstring proposed = widen(choice.proposedName);
    // A proposed name with characters a file name cannot hold is not proposed.
    if (saving && proposed.size() < MAX_PATH && proposed.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos) {
        wcscpy(file, proposed.c_str());
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (saving ? (choice.askBeforeReplacing ? OFN_OVERWRITEPROMPT : 0) : OFN_FILEMUSTEXIST) |
                   (choice.keepWorkingFolder ? OFN_NOCHANGEDIR : 0);
    const BOOL chosen = saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    return chosen ? narrow(file) : std::string();
}

} // namespace

std::string chooseFileToOpen(HWND owner, const FileChoice& choice) { return choose(owner, choice, false); }
std::string chooseFileToSave(HWND owner, const FileChoice& choice) { return choose(owner, choice, true); }

} // namespace quillon::winui

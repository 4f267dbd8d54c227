// A dialog template built in memory (DLGTEMPLATE with its items), for the
// shared dialogs that every program shows: built here, they need no resource
// script in each program and cannot clash with a program's resource ids.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace quillon::winui {

class DialogTemplate {
public:
    // Sizes in dialog units; the font is the system's dialog font (9 points),
    // which shows Korean.
    DialogTemplate(DWORD style, short width, short height, std::string_view caption);

    // A control of a system class ("STATIC", "EDIT", "msctls_progress32", ...).
    DialogTemplate& add(std::wstring_view windowClass, int id, DWORD style, short x, short y, short width, short height,
                        std::string_view text = {});

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void alignToDword();
    void putDword(DWORD value);
    void putText(std::wstring_view text);

    std::vector<WORD> words_; // the allocator aligns its start for DWORD fields
};

} // namespace quillon::winui

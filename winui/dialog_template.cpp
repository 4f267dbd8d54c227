#include "winui/dialog_template.h"

#include "base/wide_text.h"

namespace quillon::winui {
namespace {
// Offset of DLGTEMPLATE::cdit, the item count, in words.
constexpr size_t kItemCountWord = 4;
} // namespace

DialogTemplate::DialogTemplate(DWORD style, short width, short height, std::string_view caption) {
    putDword(style | DS_SETFONT);
    putDword(0); // extended style
    words_.push_back(0); // items, counted by add()
    words_.push_back(0); // x, y: placed by the dialog itself
    words_.push_back(0);
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(0); // no menu
    words_.push_back(0); // the standard dialog class
    putText(widen(caption));
    words_.push_back(9);
    putText(L"MS Shell Dlg");
}

DialogTemplate& DialogTemplate::add(std::wstring_view windowClass, int id, DWORD style, short x, short y,
                                    short width, short height, std::string_view text) {
    alignToDword();
    putDword(style | WS_CHILD | WS_VISIBLE);
    putDword(0);
    for (short v : {x, y, width, height}) {
        words_.push_back(static_cast<WORD>(v));
    }
    words_.push_back(static_cast<WORD>(id));
    putText(windowClass);
    putText(widen(text));
    words_.push_back(0); // no creation data
    ++words_[kItemCountWord];
    return *this;
}

void DialogTemplate::alignToDword() {
    if (words_.size() % 2 != 0) {
        words_.push_back(0);
    }
}

void DialogTemplate::putDword(DWORD value) {
    words_.push_back(static_cast<WORD>(value & 0xFFFF));
    words_.push_back(static_cast<WORD>(value >> 16));
}

void DialogTemplate::putText(std::wstring_view text) {
    for (wchar_t c : text) {
        words_.push_back(static_cast<WORD>(c));
    }
    words_.push_back(0);
}

} // namespace quillon::winui

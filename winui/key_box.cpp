#include "winui/key_box.h"

#include <commctrl.h>

namespace quillon::winui {
namespace {

struct KeyBox {
  const KeyTable &table;
  KeyTaken taken;
};

LRESULT CALLBACK keyBoxProc(HWND box, UINT message, WPARAM wParam,
                            LPARAM lParam, UINT_PTR, DWORD_PTR reference) {
  auto *keyBox = reinterpret_cast<KeyBox *>(reference);
  switch (message) {
  case WM_GETDLGCODE:
    return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN: {
    const auto scan = static_cast<uint8_t>((lParam >> 16) & 0xFF);
    const bool extended = (lParam & (1 << 24)) != 0;
    if (auto row = keyBox->table.rowOfKeyMessage(scan, extended)) {
      keyBox->taken(box, *row);
    }
    return 0;
  }
  case WM_CHAR:
  case WM_SYSCHAR:
  case WM_KEYUP:
  case WM_SYSKEYUP:
    return 0;
  case WM_NCDESTROY:
    RemoveWindowSubclass(box, keyBoxProc, 0);
    delete keyBox;
    break;
  default:
    break;
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

} // namespace

void makeKeyBox(HWND box, const KeyTable &table, KeyTaken taken) {
  SetWindowSubclass(
      box, keyBoxProc, 0,
      reinterpret_cast<DWORD_PTR>(new KeyBox{table, std::move(taken)}));
}

} // namespace quillon::winui

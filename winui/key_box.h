// A box that takes the next key pressed in it: keys, not characters, so that
// Tab, Enter, F-keys and Alt combinations are taken too. The key is looked up
// in a key table; keys the table does not know are ignored.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>

#include "device/key_table.h"

namespace quillon::winui {

// `taken` gets the box and the table row of each key pressed in it.
using KeyTaken = std::function<void(HWND box, size_t row)>;
void makeKeyBox(HWND box, const KeyTable &table, KeyTaken taken);

} // namespace quillon::winui

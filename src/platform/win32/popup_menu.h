// The pop-up menu, built by one function from the table of menu items.
#pragma once

#include <windows.h>

#include <vector>

#include "handles.h"
#include "platform/ui.h"

namespace tomo::win32 {

inline constexpr UINT kDisabledState = MF_DISABLED;  // 2: not selectable, not greyed

// Appends the items in order: "-" gives a separator, a non-empty submenu a child pop-up,
// `disabled` the state 2, and the item that shows the swatch gets the bitmap as its checked
// and unchecked picture. The menu does not own the bitmap.
MenuHandle BuildPopupMenu(const std::vector<MenuItem>& items, HBITMAP swatch);

}  // namespace tomo::win32

#include "popup_menu.h"

#include "text.h"

namespace tomo::win32 {

namespace {

// Appends one item at the end of the menu.
void Append(HMENU menu, const MenuItem& item, HBITMAP swatch) {
  const int position = GetMenuItemCount(menu);
  std::wstring text = AnsiToWide(item.text);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  MenuHandle submenu;
  if (item.text == "-") {
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_SEPARATOR;
  } else {
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE;
    info.fType = MFT_STRING;
    info.dwTypeData = text.data();
    info.wID = static_cast<UINT>(item.command);
    info.fState = item.disabled ? kDisabledState : MFS_ENABLED;
    if (!item.submenu.empty()) {
      submenu = BuildPopupMenu(item.submenu, swatch);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = submenu.get();
    }
  }
  if (!InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info)) return;
  submenu.release();  // the parent menu owns it now
  if (item.showsSwatch && swatch != nullptr) {
    SetMenuItemBitmaps(menu, static_cast<UINT>(position), MF_BYPOSITION, swatch, swatch);
  }
}

}  // namespace

MenuHandle BuildPopupMenu(const std::vector<MenuItem>& items, HBITMAP swatch) {
  MenuHandle menu(CreatePopupMenu());
  if (!menu) return menu;
  for (const MenuItem& item : items) Append(menu.get(), item, swatch);
  return menu;
}

}  // namespace tomo::win32

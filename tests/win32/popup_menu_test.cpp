#include "popup_menu.h"

#include <gtest/gtest.h>

#include "clipboard.h"
#include "handles.h"

namespace tomo::win32 {
namespace {

MenuItem Item(const char* text, std::int32_t command) {
  MenuItem item;
  item.text = text;
  item.command = command;
  return item;
}

std::wstring TextAt(HMENU menu, int position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

TEST(PopupMenu, IsBuiltFromTheItemTable) {
  MenuItem undo = Item("Deshacer", 25);
  undo.disabled = true;
  MenuItem choose = Item("Elegir Color", 23);
  choose.showsSwatch = true;
  MenuItem colors = Item("Colores", 0);
  colors.submenu = {Item("Celda", 21), choose, Item("-", 0), undo};
  const std::vector<MenuItem> items = {Item("Actualizar", 11), Item("-", 0), colors,
                                       Item("Espa\xF1ol", 12)};
  GdiObject<HBITMAP> swatch(CreateBitmap(16, 16, 1, 32, nullptr));

  const MenuHandle menu = BuildPopupMenu(items, swatch.get());
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 4);
  EXPECT_EQ(GetMenuItemID(menu.get(), 0), 11u);
  EXPECT_EQ(TextAt(menu.get(), 0), L"Actualizar");
  EXPECT_TRUE(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(TextAt(menu.get(), 3), L"Espa\x00F1ol") << "ANSI text becomes Unicode";
  EXPECT_EQ(GetMenuState(menu.get(), 0, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED), 0u);

  HMENU submenu = GetSubMenu(menu.get(), 2);
  ASSERT_NE(submenu, nullptr);
  EXPECT_EQ(TextAt(menu.get(), 2), L"Colores");
  ASSERT_EQ(GetMenuItemCount(submenu), 4);
  EXPECT_EQ(GetMenuItemID(submenu, 0), 21u);
  // Disabled without greying: state 2.
  EXPECT_EQ(GetMenuState(submenu, 3, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED), 2u);

  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_CHECKMARKS;
  ASSERT_TRUE(GetMenuItemInfoW(submenu, 1, TRUE, &info));
  EXPECT_EQ(info.hbmpChecked, swatch.get());
  EXPECT_EQ(info.hbmpUnchecked, swatch.get());
  ASSERT_TRUE(GetMenuItemInfoW(submenu, 0, TRUE, &info));
  EXPECT_EQ(info.hbmpChecked, nullptr);
}

TEST(PopupMenu, WithoutASwatchTheItemShowsNoPicture) {
  MenuItem choose = Item("Choose color", 23);
  choose.showsSwatch = true;
  const MenuHandle menu = BuildPopupMenu({choose}, nullptr);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_CHECKMARKS;
  ASSERT_TRUE(GetMenuItemInfoW(menu.get(), 0, TRUE, &info));
  EXPECT_EQ(info.hbmpChecked, nullptr);
}

TEST(Clipboard, HoldsTheTextAsUnicode) {
  PutClipboardText(nullptr, L"Nombre \x00D1and\x00FA \x20AC");
  ClipboardLock clipboard(nullptr);
  ASSERT_TRUE(clipboard.IsOpen());
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  GlobalLockGuard<wchar_t> text(data);
  EXPECT_STREQ(text.get(), L"Nombre \x00D1and\x00FA \x20AC");
}

}  // namespace
}  // namespace tomo::win32

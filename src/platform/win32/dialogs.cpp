#include "dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

namespace tomo::win32 {

namespace {

constexpr UINT kFileSystemFoldersOnly = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;  // 3
constexpr DWORD kColorDialogFlags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;          // 0x13

struct ItemList {
  explicit ItemList(PIDLIST_ABSOLUTE list) : items(list) {}
  ~ItemList() { CoTaskMemFree(items); }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  PIDLIST_ABSOLUTE items;
};

UINT_PTR CALLBACK PlaceColorDialog(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* request = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    RECT owner{};
    if (request->hwndOwner != nullptr && GetWindowRect(request->hwndOwner, &owner)) {
      SetWindowPos(dialog, nullptr, owner.left + 30, owner.top + 30, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return 0;  // the dialog's own processing runs as well
}

}  // namespace

std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title) {
  BROWSEINFOW request{};
  request.hwndOwner = owner;
  request.lpszTitle = title.c_str();
  request.ulFlags = kFileSystemFoldersOnly;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&request);
  if (chosen == nullptr) return std::nullopt;
  const ItemList items(chosen);
  wchar_t path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(items.items, path)) return std::nullopt;
  return std::wstring(path);
}

std::optional<COLORREF> ChooseColorNear(HWND owner, COLORREF initial,
                                        std::array<COLORREF, 16>& custom) {
  CHOOSECOLORW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.rgbResult = initial;
  request.lpCustColors = custom.data();
  request.Flags = kColorDialogFlags;
  request.lpfnHook = PlaceColorDialog;
  if (!ChooseColorW(&request)) return std::nullopt;
  return request.rgbResult;
}

}  // namespace tomo::win32

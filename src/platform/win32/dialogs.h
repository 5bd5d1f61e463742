// The shell's folder browser and the standard colour dialog.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace tomo::win32 {

// The folder browser (file-system folders only, no root, no display-name buffer) with the
// title; the chosen folder's path, or nullopt when cancelled or no path can be had.
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title);

// The colour dialog, fully open on the initial colour, placed 30 pixels right of and below
// the owner's top-left corner. The custom colours keep what the user stored in them; the
// chosen colour is returned only when the dialog closed with OK.
std::optional<COLORREF> ChooseColorNear(HWND owner, COLORREF initial,
                                        std::array<COLORREF, 16>& custom);

}  // namespace tomo::win32

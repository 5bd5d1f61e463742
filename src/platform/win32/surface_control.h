// The grid surface: a child control of the program's own class that keeps a memory bitmap of
// its size, repaints itself from it, wants every key, takes the focus on a left click and
// keeps the pending-character slot.
#pragma once

#include <windows.h>

#include <string>

namespace tomo::win32 {

inline constexpr int kSurfaceId = 1001;
inline constexpr DWORD kSurfaceStyle = 0x50800100;  // child, visible, border, notify

// Registers the class once per process; the surface can then be created.
bool RegisterSurfaceClass(HINSTANCE instance);
HWND CreateSurface(HWND parent, HINSTANCE instance, int width, int height);

// The memory device context holding the surface's bitmap (nullptr for other windows).
HDC SurfaceDc(HWND surface);
HBITMAP SurfaceBitmap(HWND surface);
SIZE SurfaceBitmapSize(HWND surface);
// Gives the surface's bitmap a new size, cleared to white.
void ResizeSurfaceBitmap(HWND surface, int width, int height);

// Reads and empties the pending-character slot: UTF-16 text of the last typed character, or
// a NUL followed by the virtual-key code for a key that types nothing.
std::wstring TakeSlot(HWND surface);
// The code of the slot's character in the ANSI code page: one byte gives 0..255, two bytes a
// little-endian 16-bit number (so the extended codes land above 255), empty text gives 0.
int CharacterCode(const std::wstring& slot);

}  // namespace tomo::win32

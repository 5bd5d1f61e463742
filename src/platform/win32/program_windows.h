// The program's two windows, shared by the drawing and window services once created.
#pragma once

#include <windows.h>

namespace tomo::win32 {

struct ProgramWindows {
  HWND main = nullptr;
  HWND surface = nullptr;
};

}  // namespace tomo::win32

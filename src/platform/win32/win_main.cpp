// The program's entry point: common controls, COM for the folder browser, the platform
// services and the program state, then the main window with the database the command line
// names.
#include <windows.h>
// Needs <windows.h> first.
#include <commctrl.h>
#include <objbase.h>

#include "gdi_surface.h"
#include "main_window.h"
#include "opening.h"
#include "shell/app.h"
#include "surface_control.h"
#include "win32_files.h"
#include "win32_ui.h"

namespace {

constexpr DWORD kCommonControlClasses = 0x000009FF;

// Looked up by name, so the program starts even where the library or the call is missing.
void InitialiseCommonControls() {
  HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (library == nullptr) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using Init = void(WINAPI*)();
  if (auto initEx = reinterpret_cast<InitEx>(
          reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")))) {
    const INITCOMMONCONTROLSEX classes{8, kCommonControlClasses};
    initEx(&classes);
  } else if (auto init = reinterpret_cast<Init>(
                 reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControls")))) {
    init();
  }
  FreeLibrary(library);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  InitialiseCommonControls();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  tomo::win32::RegisterSurfaceClass(instance);
  tomo::win32::ProgramWindows windows;
  tomo::win32::GdiSurface draw(windows);
  tomo::win32::Win32Ui ui(windows);
  tomo::win32::Win32Files files;
  tomo::Platform platform{draw, ui, files};
  tomo::App app(platform);
  return tomo::win32::RunMainWindow(instance, app, windows,
                                    tomo::win32::PathOnCommandLine(GetCommandLineW()));
}

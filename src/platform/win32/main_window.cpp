#include "main_window.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "commands/open_database.h"
#include "opening.h"
#include "shell/repaint.h"
#include "shell/surface_handler.h"
#include "surface_control.h"

namespace tomo::win32 {

namespace {

constexpr DWORD kMainStyle = 0x94CA00D4;  // pop-up, caption, system menu, minimise box, ...
// Control parent. Not a tool window (0x80): under Wine a tool window gets no pointer input,
// and no keyboard focus back, once a dialog or message box has been shown.
constexpr DWORD kMainExStyle = 0x00010000;
constexpr int kFirstSurfaceWidth = 746;  // before the window takes the screen's size
constexpr int kFirstSurfaceHeight = 587;

// What the window procedures need to reach; it lives in RunMainWindow's frame.
struct MainWindowContext {
  HINSTANCE instance;
  App& app;
  ProgramWindows& windows;
  WNDPROC PreviousSurfaceHandler = nullptr;
  HWND SavedFocus = nullptr;
};

MainWindowContext* ContextOf(HWND mainWindow) {
  return reinterpret_cast<MainWindowContext*>(GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
}

// The in-memory dialog template: no controls, caption "TOMO BD". The window is created
// hidden and shown when the loop starts.
std::vector<DWORD> MainWindowTemplate() {
  std::vector<WORD> words;
  const auto putDword = [&words](DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  };
  const auto putText = [&words](std::wstring_view text) {
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
  };
  putDword(kMainStyle & ~WS_VISIBLE);
  putDword(kMainExStyle);
  words.push_back(0);  // no controls: the surface is added on initialisation
  for (WORD coordinate : {105, 114, 746, 587}) words.push_back(coordinate);
  words.push_back(0);  // no menu
  words.push_back(0);  // the dialog class
  putText(L"TOMO BD");
  words.push_back(8);  // dialog font; the window shows no text controls
  putText(L"MS Shell Dlg");
  std::vector<DWORD> aligned((words.size() + 1) / 2);
  std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
  return aligned;
}

LRESULT CALLBACK SurfaceSubclass(HWND surface, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowContext* context = ContextOf(GetParent(surface));
  SurfaceHandler(context->app, message, wParam, lParam);
  return CallWindowProcW(context->PreviousSurfaceHandler, surface, message, wParam, lParam);
}

void AddSurface(HWND mainWindow, MainWindowContext& context) {
  HWND surface =
      CreateSurface(mainWindow, context.instance, kFirstSurfaceWidth, kFirstSurfaceHeight);
  context.windows.surface = surface;
  DrawingSurface& draw = context.app.platform.draw;
  draw.SelectTarget(kGridSurface);
  draw.SetForeground(kBlack);
  draw.SetBackground(kWhite);
  draw.Clear();
  context.PreviousSurfaceHandler = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(surface, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SurfaceSubclass)));
}

// The window covers the screen from (1, 1); the core then sizes the surface and paints the
// empty grid.
void Initialise(HWND mainWindow, MainWindowContext& context) {
  SetWindowLongPtrW(mainWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&context));
  context.windows.main = mainWindow;
  AddSurface(mainWindow, context);
  const ScreenSize screen = context.app.platform.ui.GetScreenSize();
  SetWindowPos(mainWindow, nullptr, 1, 1, screen.width, screen.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InitialiseWindow(context.app);
  DragAcceptFiles(mainWindow, TRUE);
}

// A dropped folder or database file is linked as the browser's choice would be; the drop
// is refused while the program is busy, as a right-click is.
void Dropped(MainWindowContext& context, HDROP drop) {
  if (const auto path = FirstDroppedPath(DroppedFiles(drop))) OpenDatabase(context.app, *path);
}

// The focus goes back to where it was when the window is activated again.
void KeepFocus(MainWindowContext& context, bool activating) {
  if (!activating) {
    context.SavedFocus = GetFocus();
  } else if (context.SavedFocus != nullptr) {
    SetFocus(context.SavedFocus);
    context.SavedFocus = nullptr;
  }
}

// Answers 0 to every message, so the default dialog processing always runs too.
INT_PTR CALLBACK MainWindowHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(window, *reinterpret_cast<MainWindowContext*>(lParam));
      break;
    case WM_NCACTIVATE:
      if (MainWindowContext* context = ContextOf(window)) KeepFocus(*context, wParam != 0);
      break;
    case WM_DROPFILES:
      if (MainWindowContext* context = ContextOf(window)) {
        Dropped(*context, reinterpret_cast<HDROP>(wParam));
      }
      break;
    case WM_CLOSE:
      // Closing ends the program at once, also from inside a menu, a dialog, a scan or a
      // wait; nothing is saved.
      DestroyWindow(window);
      ExitProcess(0);
    default:
      break;
  }
  return 0;
}

}  // namespace

int RunMainWindow(HINSTANCE instance, App& app, ProgramWindows& windows,
                  const std::optional<std::string>& startPath) {
  MainWindowContext context{instance, app, windows};
  const std::vector<DWORD> dialogTemplate = MainWindowTemplate();
  HWND mainWindow =
      CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                 nullptr, MainWindowHandler, reinterpret_cast<LPARAM>(&context));
  if (mainWindow == nullptr) return 1;
  ShowWindow(mainWindow, SW_SHOW);
  SetFocus(windows.surface);
  if (startPath) OpenDatabase(app, *startPath);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(mainWindow, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}

}  // namespace tomo::win32

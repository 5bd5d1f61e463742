// The end-to-end tests' probe: a small console program that runs in the same Wine session as
// tomo.exe and reads back what a person would read off the screen but a screenshot cannot
// give exactly: window captions, message box texts, the clipboard and window positions.
// Every answer is one line of UTF-8 on standard output; a missing window exits with 1.
//
//   caption                 the main window's caption
//   window-rect             the main window's client origin on screen and client size
//   surface-rect            the grid surface's client origin on screen and client size
//   message                 the text of the open message box titled "TOMO"
//   close-message           presses the OK button of that message box
//   clipboard               the clipboard's Unicode text (exit 1 when it holds none)
//   set-clipboard TEXT      puts TEXT on the clipboard as Unicode text
//   windows                 every visible top-level window: handle, class, rect, caption
//   control-rect TITLE ID   screen rect of the control ID of the dialog captioned TITLE
//   class-rect TITLE CLASS  screen rect of the first descendant of class CLASS of that dialog
//   code-page               the system ANSI code page
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSurfaceId = 1001;
constexpr wchar_t kDialogClass[] = L"#32770";

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// Writes raw UTF-8 bytes, so the answer is not translated by a console code page.
void PrintLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsDialog(HWND window) {
  return ClassName(window) == kDialogClass;
}

// The main window is the dialog that holds the grid surface.
HWND FindMainWindow() {
  for (HWND window : TopLevelWindows()) {
    if (IsDialog(window) && GetDlgItem(window, kSurfaceId)) return window;
  }
  return nullptr;
}

HWND FindDialog(std::wstring_view title) {
  for (HWND window : TopLevelWindows()) {
    if (IsDialog(window) && WindowText(window) == title) return window;
  }
  return nullptr;
}

// The message box's text is its one static control with text (the icon static has none).
HWND FindMessageText(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) == L"Static" && GetWindowTextLengthW(child) > 0) return child;
  }
  return nullptr;
}

struct ClassSearch {
  std::wstring className;
  HWND found = nullptr;
};

HWND FindDescendant(HWND parent, std::wstring_view className) {
  ClassSearch search{std::wstring(className)};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<ClassSearch*>(param);
        if (ClassName(child) != s->className || !IsWindowVisible(child)) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

// Client origin on screen and client size: "x y width height".
std::string ClientRectText(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return RectText(RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

std::string WindowRectText(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return RectText(r);
}

int Answer(HWND window, std::string (*describe)(HWND)) {
  if (!window) return 1;
  PrintLine(describe(window));
  return 0;
}

int Clipboard() {
  if (!OpenClipboard(nullptr)) return 2;
  int status = 1;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      PrintLine(ToUtf8(text));
      GlobalUnlock(data);
      status = 0;
    }
  }
  CloseClipboard();
  return status;
}

int SetClipboard(std::string_view utf8) {
  const std::wstring text = FromUtf8(utf8);
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return 2;
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return 2;
  }
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(memory);
  return placed ? 0 : 2;
}

int ListWindows() {
  for (HWND window : TopLevelWindows()) {
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    PrintLine(std::string(handle) + " " + ToUtf8(ClassName(window)) + " " + WindowRectText(window) +
              " " + ToUtf8(WindowText(window)));
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return 2;
  const std::string& command = args[0];
  if (command == "caption") {
    return Answer(FindMainWindow(), [](HWND w) { return ToUtf8(WindowText(w)); });
  }
  if (command == "window-rect") return Answer(FindMainWindow(), ClientRectText);
  if (command == "surface-rect") {
    HWND main = FindMainWindow();
    return Answer(main ? GetDlgItem(main, kSurfaceId) : nullptr, ClientRectText);
  }
  if (command == "message" || command == "close-message") {
    HWND box = FindDialog(L"TOMO");
    HWND text = box ? FindMessageText(box) : nullptr;
    if (!text) return 1;
    if (command == "message") {
      PrintLine(ToUtf8(WindowText(text)));
    } else {
      HWND ok = GetDlgItem(box, IDOK);
      if (!ok) return 1;
      PostMessageW(ok, BM_CLICK, 0, 0);
    }
    return 0;
  }
  if (command == "clipboard") return Clipboard();
  if (command == "set-clipboard" && args.size() == 2) return SetClipboard(args[1]);
  if (command == "windows") return ListWindows();
  if (command == "control-rect" && args.size() == 3) {
    HWND dialog = FindDialog(FromUtf8(args[1]));
    return Answer(dialog ? GetDlgItem(dialog, std::atoi(args[2].c_str())) : nullptr,
                  WindowRectText);
  }
  if (command == "class-rect" && args.size() == 3) {
    HWND dialog = FindDialog(FromUtf8(args[1]));
    return Answer(dialog ? FindDescendant(dialog, FromUtf8(args[2])) : nullptr, WindowRectText);
  }
  if (command == "code-page") {
    PrintLine(std::to_string(GetACP()));
    return 0;
  }
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  return Run(args);
}

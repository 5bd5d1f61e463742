// The end-to-end tests' probe: a small console program that runs in the same Wine session as
// tomo.exe and reads back what a person would read off the screen but a screenshot cannot
// give exactly: window captions, message box texts, the clipboard and window positions.
// Every answer is one line of UTF-8 on standard output; a missing window exits with 1.
//
//   caption                 the main window's caption
//   window-rect             the main window's client origin on screen and client size
//   surface-rect            the grid surface's client origin on screen and client size
//   surface-frame           the grid surface's window rect on screen (border included)
//   message                 the text of the open message box titled "TOMO"
//   close-message           presses the OK button of that message box
//   clipboard               the clipboard's Unicode text (exit 1 when it holds none)
//   set-clipboard TEXT      puts TEXT on the clipboard as Unicode text
//   windows                 every visible top-level window: handle, class, rect, caption
//   control-rect TITLE ID   screen rect of the control ID of the dialog captioned TITLE
//   class-rect TITLE CLASS  screen rect of the first descendant of class CLASS of that dialog
//   tree-selection TITLE    the text of the selected item of that dialog's tree view
//   focus TITLE             class and control ID of the control that has the keyboard focus
//                           in that dialog's thread
//   texts TITLE             the texts of that dialog's static controls, one per line
//   code-page               the system ANSI code page
//   picture TITLE FILE      that dialog as it paints its window, written to FILE (PPM); prints
//                           its screen rect. Under Xvfb a screenshot often shows dialogs black.
// TITLE "*" names any open dialog other than the main window.
#include <windows.h>

// The common controls header needs the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
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

// The visible dialog with the caption; "*" stands for any dialog but the main window.
HWND FindDialog(std::wstring_view title) {
  for (HWND window : TopLevelWindows()) {
    if (!IsDialog(window)) continue;
    if (title == L"*" ? !GetDlgItem(window, kSurfaceId) : WindowText(window) == title) {
      return window;
    }
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

// The window's pixels as it paints them, written as a binary PPM.
int Picture(HWND window, const std::wstring& file) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return 1;
  const int width = r.right - r.left, height = r.bottom - r.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // Painted anew, then read from the window's own surface.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Sleep(500);
  HDC source = GetWindowDC(window);
  const bool painted = bitmap && BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  const auto* bgra = static_cast<const unsigned char*>(bits);
  for (int i = 0; painted && i < width * height; ++i) {
    ppm += {static_cast<char>(bgra[4 * i + 2]), static_cast<char>(bgra[4 * i + 1]),
            static_cast<char>(bgra[4 * i])};
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!painted) return 1;
  if (FILE* out = _wfopen(file.c_str(), L"wb")) {
    std::fwrite(ppm.data(), 1, ppm.size(), out);
    std::fclose(out);
    PrintLine(RectText(r));
    return 0;
  }
  return 1;
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

// The text of the selected item of a tree view in another process: the item request and its
// text buffer live in that process's memory.
std::optional<std::wstring> TreeSelection(HWND tree) {
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return std::nullopt;
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return std::nullopt;
  constexpr int kChars = 260;
  const std::size_t size = sizeof(TVITEMW) + kChars * sizeof(wchar_t);
  auto* remote =
      static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  std::optional<std::wstring> text;
  if (remote) {
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
    request.cchTextMax = kChars;
    wchar_t buffer[kChars] = {};
    if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote + sizeof(TVITEMW), buffer, sizeof buffer, nullptr)) {
      buffer[kChars - 1] = L'\0';
      text = buffer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
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
  if (command == "tree-selection" && args.size() == 2) {
    HWND dialog = FindDialog(FromUtf8(args[1]));
    HWND tree = dialog ? FindDescendant(dialog, L"SysTreeView32") : nullptr;
    const auto text = tree ? TreeSelection(tree) : std::nullopt;
    if (!text) return 1;
    PrintLine(ToUtf8(*text));
    return 0;
  }
  if (command == "focus" && args.size() == 2) {
    HWND dialog = FindDialog(FromUtf8(args[1]));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!dialog || !GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ||
        !info.hwndFocus) {
      return 1;
    }
    PrintLine(ToUtf8(ClassName(info.hwndFocus)) + " " +
              std::to_string(GetDlgCtrlID(info.hwndFocus)));
    return 0;
  }
  if (command == "surface-frame") {
    HWND main = FindMainWindow();
    return Answer(main ? GetDlgItem(main, kSurfaceId) : nullptr, WindowRectText);
  }
  if (command == "texts" && args.size() == 2) {
    HWND dialog = FindDialog(FromUtf8(args[1]));
    if (!dialog) return 1;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (ClassName(c) == L"Static" && GetWindowTextLengthW(c) > 0) {
        PrintLine(ToUtf8(WindowText(c)));
      }
    }
    return 0;
  }
  if (command == "picture" && args.size() == 3) {
    return Picture(FindDialog(FromUtf8(args[1])), FromUtf8(args[2]));
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

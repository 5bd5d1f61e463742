#include "win32_ui.h"

#include <algorithm>

#include "clipboard.h"
#include "dialogs.h"
#include "message_pump.h"
#include "popup_menu.h"
#include "save_dialog.h"
#include "surface_control.h"
#include "text.h"

namespace tomo::win32 {

namespace {

constexpr std::size_t kFolderPathLimit = 255;
constexpr UINT kTrackFlags = TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD;  // 0x0182

}  // namespace

void Win32Ui::ShowMessage(std::string_view text, std::string_view title) {
  MessageBoxW(nullptr, AnsiToWide(text).c_str(), AnsiToWide(title).c_str(), MB_OK);
}

void Win32Ui::ShowUtf8Message(std::string_view text, std::string_view title) {
  MessageBoxW(nullptr, Utf8ToWide(text).c_str(), AnsiToWide(title).c_str(), MB_OK);
}

std::optional<SaveChoice> Win32Ui::ChooseSaveFile(const std::vector<FileType>& types,
                                                  std::string_view name, std::string_view folder) {
  std::vector<SaveFilter> filters;
  for (const FileType& type : types) {
    filters.push_back({AnsiToWide(type.name), AnsiToWide(type.extension)});
  }
  const auto saved =
      win32::ChooseSaveFile(windows_.main, filters, Utf8ToWide(name), Utf8ToWide(folder));
  if (!saved) return std::nullopt;
  return SaveChoice{WideToUtf8(saved->path), saved->filter};
}

std::string Win32Ui::DocumentsFolder() {
  return WideToUtf8(win32::DocumentsFolder());
}

int Win32Ui::AnsiCodePage() {
  return static_cast<int>(GetACP());
}

std::optional<std::string> Win32Ui::BrowseForFolder(std::string_view title) {
  auto path = win32::BrowseForFolder(windows_.main, AnsiToWide(title));
  if (!path) return std::nullopt;
  return WideToUtf8(path->substr(0, kFolderPathLimit));
}

std::optional<Color> Win32Ui::ChooseColor(Color initial, std::array<Color, 16>& custom) {
  std::array<COLORREF, 16> slots{};
  std::copy(custom.begin(), custom.end(), slots.begin());
  const auto chosen = ChooseColorNear(windows_.main, initial, slots);
  std::copy(slots.begin(), slots.end(), custom.begin());
  if (!chosen) return std::nullopt;
  return static_cast<Color>(*chosen);
}

void Win32Ui::SetClipboardText(std::string_view text) {
  PutClipboardText(windows_.main, AnsiToWide(text));
}

void Win32Ui::PrepareMenu(const std::vector<MenuItem>& items, const std::string& swatchFile) {
  menu_.reset();
  swatch_.reset();
  if (!swatchFile.empty()) {
    swatch_.reset(static_cast<HBITMAP>(
        LoadImageW(nullptr, Utf8ToWide(swatchFile).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  }
  menu_ = BuildPopupMenu(items, swatch_.get());
}

std::int32_t Win32Ui::TrackMenu(int x, int y) {
  std::int32_t chosen = 0;
  if (menu_) {
    POINT at{x, y};
    ClientToScreen(windows_.surface, &at);
    chosen = static_cast<std::int32_t>(
        TrackPopupMenu(menu_.get(), kTrackFlags, at.x, at.y, 0, windows_.main, nullptr));
  }
  menu_.reset();
  swatch_.reset();
  return chosen;
}

void Win32Ui::SetCaption(std::string_view text) {
  SetWindowTextW(windows_.main, AnsiToWide(text).c_str());
}

ScreenSize Win32Ui::GetScreenSize() {
  RECT screen{};
  GetWindowRect(GetDesktopWindow(), &screen);
  return ScreenSize{screen.right - screen.left, screen.bottom - screen.top};
}

void Win32Ui::Sleep(int milliseconds) {
  SleepKeepingWindowAlive(windows_.main, milliseconds);
}

void Win32Ui::PumpMessages() {
  PumpPendingMessages(windows_.main);
}

std::int64_t Win32Ui::NowMicroseconds() {
  LARGE_INTEGER frequency{}, counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const std::int64_t f = frequency.QuadPart;
  // Split so that the multiplication cannot overflow.
  return counter.QuadPart / f * 1'000'000 + counter.QuadPart % f * 1'000'000 / f;
}

int Win32Ui::TakePendingCharacter() {
  return CharacterCode(TakeSlot(windows_.surface));
}

}  // namespace tomo::win32

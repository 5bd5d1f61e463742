// The window services over user32, the common dialogs and the clipboard.
#pragma once

#include "handles.h"
#include "platform/ui.h"
#include "program_windows.h"

namespace tomo::win32 {

class Win32Ui : public Ui {
 public:
  explicit Win32Ui(const ProgramWindows& windows) : windows_(windows) {}

  void ShowMessage(std::string_view text, std::string_view title) override;
  void ShowUtf8Message(std::string_view text, std::string_view title) override;
  std::optional<SaveChoice> ChooseSaveFile(const std::vector<FileType>& types,
                                           std::string_view name, std::string_view folder) override;
  std::string DocumentsFolder() override;
  int AnsiCodePage() override;
  std::optional<std::string> BrowseForFolder(std::string_view title) override;
  std::optional<Color> ChooseColor(Color initial, std::array<Color, 16>& custom) override;
  void SetClipboardText(std::string_view text) override;
  void PrepareMenu(const std::vector<MenuItem>& items, const std::string& swatchFile) override;
  std::int32_t TrackMenu(int x, int y) override;
  void SetCaption(std::string_view text) override;
  ScreenSize GetScreenSize() override;
  void Sleep(int milliseconds) override;
  void PumpMessages() override;
  std::int64_t NowMicroseconds() override;
  int TakePendingCharacter() override;

 private:
  const ProgramWindows& windows_;
  // The prepared menu shows the swatch, so the bitmap must outlive it.
  GdiObject<HBITMAP> swatch_;
  MenuHandle menu_;
};

}  // namespace tomo::win32

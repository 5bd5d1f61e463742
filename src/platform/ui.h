// Window services the core asks of the platform: message boxes, the folder browser, the
// colour dialog, the clipboard, the pop-up menu, the caption, the screen, time and the
// message pump.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drawing.h"
#include "platform/files.h"
#include "platform/scan_pump.h"

namespace tomo {

// One item of a pop-up menu. Text is in the system's ANSI code page; "-" is a separator.
struct MenuItem {
  std::string text;
  std::int32_t command = 0;       // 0 for separators and submenu items
  bool disabled = false;          // not selectable, drawn without greying (menu state 2)
  bool showsSwatch = false;       // carries the swatch picture as its check-mark picture
  std::vector<MenuItem> submenu;  // non-empty: the item opens this submenu
};

// A type of file the Save dialog offers: its name (ANSI) and its extension, without the dot.
struct FileType {
  std::string name;
  std::string extension;
};

struct SaveChoice {
  std::string path;      // UTF-8
  std::size_t type = 0;  // index of the chosen type
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

class Ui : public ScanPump {
 public:
  virtual ~Ui() = default;

  // A message box with the title, one OK button, no icon and no owner window.
  virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
  // The shell's folder browser owned by the main window, with the given title (ANSI).
  // Returns the chosen folder's path (UTF-8, cut to 255 characters), or nullopt when the
  // user cancelled or no path could be had.
  virtual std::optional<std::string> BrowseForFolder(std::string_view title) = 0;
  // A message box as ShowMessage, its text in UTF-8: for texts that hold a path.
  virtual void ShowUtf8Message(std::string_view text, std::string_view title) = 0;
  // The system's Save dialog owned by the main window, offering the types (the first one
  // proposed), opening in `folder` with the file name `name` (both UTF-8), asking before it
  // replaces a file. The chosen path and type, or nullopt when the user cancelled.
  virtual std::optional<SaveChoice> ChooseSaveFile(const std::vector<FileType>& types,
                                                   std::string_view name,
                                                   std::string_view folder) = 0;
  // The user's Documents folder (UTF-8), empty when the system has none.
  virtual std::string DocumentsFolder() = 0;
  // The system's ANSI code page: the one the program's texts are in.
  virtual int AnsiCodePage() = 0;
  // The colour dialog owned by the main window, opening on the initial colour with the
  // custom colours (which the user may change). The chosen colour, or nullopt unless OK.
  virtual std::optional<Color> ChooseColor(Color initial, std::array<Color, 16>& custom) = 0;
  // Places the text (ANSI) on the clipboard as Unicode text; failures are ignored.
  virtual void SetClipboardText(std::string_view text) = 0;
  // Builds the pop-up menu from the items, with the picture loaded from swatchFile (when not
  // empty) beside the item that shows the swatch. The file may be deleted afterwards.
  virtual void PrepareMenu(const std::vector<MenuItem>& items, const std::string& swatchFile) = 0;
  // Shows the prepared menu with its top-left corner at the surface point (x, y) and returns
  // the chosen command, 0 when the menu was dismissed.
  virtual std::int32_t TrackMenu(int x, int y) = 0;
  virtual void SetCaption(std::string_view text) = 0;
  virtual ScreenSize GetScreenSize() = 0;
  virtual void Sleep(int milliseconds) = 0;
  // Reads (and so empties) the surface's pending-character slot: the character's code in the
  // ANSI code page (0..255), an extended code for keys without a character, 0 when empty.
  virtual int TakePendingCharacter() = 0;
};

struct Platform {
  DrawingSurface& draw;
  Ui& ui;
  Files& files;
};

}  // namespace tomo

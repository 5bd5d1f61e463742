// The drawing operations over GDI: memory pictures (compatible bitmaps in memory DCs) and the
// grid surface, whose own bitmap receives the drawing and is shown on its next paint.
#pragma once

#include <windows.h>

#include <map>
#include <optional>

#include "font_cache.h"
#include "handles.h"
#include "platform/drawing.h"
#include "program_windows.h"

namespace tomo::win32 {

class GdiSurface : public DrawingSurface {
 public:
  explicit GdiSurface(const ProgramWindows& windows) : windows_(windows) {}

  PictureId CreatePicture(int width, int height) override;
  void DeletePicture(PictureId picture) override;
  void SelectTarget(PictureId target) override;
  void SetForeground(Color color) override;
  void SetBackground(std::optional<Color> color) override;
  void Clear(std::optional<Color> color) override;
  void SetPenWidth(int pixels) override;
  void SetFont(const Font& font) override;
  void SetPosition(int x, int y) override;
  void Print(std::string_view text, bool endLine) override;
  void PrintUtf8(std::string_view text, bool endLine) override;
  void Box(int x1, int y1, int x2, int y2, int cornerPercent, Color outline,
           std::optional<Color> fill) override;
  void CopyPicture(PictureId picture) override;
  void Redraw() override;
  void ResizeSurface(int width, int height) override;
  bool SavePicture(const std::string& path) override;

  // The device context of a picture (or of the surface's bitmap), for inspection.
  HDC DcOf(PictureId picture);

 private:
  void PrintWide(std::wstring_view text, bool endLine);
  struct Picture {
    // Declaration order matters: the selection is undone before the bitmap and DC go.
    MemoryDc dc;
    GdiObject<HBITMAP> bitmap;
    SelectionGuard selection{nullptr, nullptr};
    SIZE size{};
  };
  struct TargetState {
    Color foreground = 0x000000;
    std::optional<Color> background = 0xFFFFFF;
    int pen = 1;
    std::optional<Font> font;  // none: the device context's default font
    int x = 0;
    int y = 0;
  };
  struct Target {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    SIZE size{};
  };

  std::optional<Target> TargetOf(PictureId picture);
  // Drawing on the surface's bitmap shows at its next paint.
  void Drawn();

  const ProgramWindows& windows_;
  FontCache fonts_;
  std::map<PictureId, Picture> pictures_;
  std::map<PictureId, TargetState> states_;
  PictureId target_ = kGridSurface;
  PictureId nextPicture_ = 1;
};

}  // namespace tomo::win32

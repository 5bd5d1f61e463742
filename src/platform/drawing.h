// Drawing operations the core asks of the platform: memory pictures, the grid surface,
// colours, fonts, printed text, boxes, picture copies and saving a picture as a bitmap file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tomo {

// A colour as 0x00BBGGRR.
using Color = std::uint32_t;

// A drawing target: the grid surface or a memory picture. 0 is never a valid picture.
using PictureId = std::uint32_t;
inline constexpr PictureId kGridSurface = 0xFFFFFFFFu;

// Font style bits.
inline constexpr int kFontBold = 1;
inline constexpr int kFontItalic = 2;
inline constexpr int kFontUnderline = 4;
inline constexpr int kFontStrikeOut = 8;

struct Font {
  std::string face;    // at most 31 characters
  float points = 0.f;  // 0 means 8 points
  int style = 0;       // kFont* bits
  bool operator==(const Font&) const = default;
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // A new memory picture of the given size, cleared to white; 0 when it cannot be had.
  virtual PictureId CreatePicture(int width, int height) = 0;
  virtual void DeletePicture(PictureId picture) = 0;
  // Makes the picture (or kGridSurface) the target of the following operations.
  virtual void SelectTarget(PictureId target) = 0;
  virtual void SetForeground(Color color) = 0;
  // nullopt: transparent, printed text draws only its glyphs.
  virtual void SetBackground(std::optional<Color> color) = 0;
  // Fills the whole target with the background colour, or with the colour given.
  virtual void Clear(std::optional<Color> color = std::nullopt) = 0;
  virtual void SetPenWidth(int pixels) = 0;
  // Selects the font; the platform keeps one font object per distinct font, so
  // selecting the same font again never piles up objects.
  virtual void SetFont(const Font& font) = 0;
  virtual void SetPosition(int x, int y) = 0;
  // Prints text in the system's ANSI code page at the print position, clipped at the
  // target's right edge and one line high. With endLine the position moves to the new-line
  // x (0 on a memory picture) one text line (height plus external leading) lower.
  virtual void Print(std::string_view text, bool endLine) = 0;
  // Prints UTF-8 text as Print does: for paths, whose characters need not exist in the ANSI
  // code page.
  virtual void PrintUtf8(std::string_view text, bool endLine) = 0;
  // Outlines the rectangle with the current pen width and fills it solid (or not at all).
  // Corners are rounded by an ellipse of cornerPercent * min(width, height) / 100 pixels.
  virtual void Box(int x1, int y1, int x2, int y2, int cornerPercent, Color outline,
                   std::optional<Color> fill) = 0;
  // Copies the whole picture onto the target at (0, 0).
  virtual void CopyPicture(PictureId picture) = 0;
  // Has the grid surface repainted on screen at once.
  virtual void Redraw() = 0;
  virtual void ResizeSurface(int width, int height) = 0;
  // Writes the target picture as a 24-bit bottom-up bitmap file; false when not written.
  virtual bool SavePicture(const std::string& path) = 0;
};

}  // namespace tomo

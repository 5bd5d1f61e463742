// A drawing surface for tests: boxes and clears are rasterised into pixel buffers, and every
// printed text is logged with its target, position, font and colour.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/drawing.h"

namespace tomo::testing {

struct PrintedText {
  PictureId target;
  int x, y;
  std::string text;
  Font font;
  Color color;
  bool transparent;
  bool endLine;
  bool utf8;  // printed with PrintUtf8
};

struct FakePicture {
  int width = 0, height = 0;
  std::vector<Color> pixels;
  Color At(int x, int y) const {
    return (x >= 0 && y >= 0 && x < width && y < height)
               ? pixels[static_cast<std::size_t>(y * width + x)]
               : 0xFF000000u;
  }
};

class FakeSurface : public DrawingSurface {
 public:
  // Character width and line height of the fake font at 9 points, scaled with the size.
  static int CharWidth(const Font& font);
  static int LineHeight(const Font& font);

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
  void Redraw() override { ++redraws; }
  void ResizeSurface(int width, int height) override;
  bool SavePicture(const std::string& path) override;

  const FakePicture& Picture(PictureId id) { return pictures_[id]; }
  // Texts printed on a target since the last clear of that target.
  std::vector<PrintedText> TextsOn(PictureId target) const;

  std::vector<PrintedText> printed;  // everything printed, in order
  int redraws = 0;
  int copies = 0;

 private:
  struct TargetState {
    Color foreground = 0;
    std::optional<Color> background = 0xFFFFFF;
    int pen = 1;
    Font font{"System", 0.f, 0};
    int x = 0, y = 0;
  };
  FakePicture& Target() { return pictures_[target_]; }
  TargetState& State() { return states_[target_]; }
  void Fill(int x1, int y1, int x2, int y2, Color color);
  void Log(std::string_view text, bool endLine, bool utf8, int characters);

  std::map<PictureId, FakePicture> pictures_;
  std::map<PictureId, TargetState> states_;
  PictureId target_ = kGridSurface;
  PictureId next_ = 1;
};

}  // namespace tomo::testing

#include "fakes/fake_surface.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "views/bitmap_file.h"

namespace tomo::testing {

int FakeSurface::LineHeight(const Font& font) {
  const float points = font.points == 0.f ? 8.f : font.points;
  return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

int FakeSurface::CharWidth(const Font& font) {
  return std::max(1, LineHeight(font) / 2);
}

PictureId FakeSurface::CreatePicture(int width, int height) {
  const PictureId id = next_++;
  FakePicture& p = pictures_[id];
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<std::size_t>(std::max(0, width) * std::max(0, height)), 0xFFFFFF);
  return id;
}

void FakeSurface::DeletePicture(PictureId picture) {
  pictures_.erase(picture);
  states_.erase(picture);
}

void FakeSurface::SelectTarget(PictureId target) {
  target_ = target;
}
void FakeSurface::SetForeground(Color color) {
  State().foreground = color;
}
void FakeSurface::SetBackground(std::optional<Color> color) {
  State().background = color;
}
void FakeSurface::SetPenWidth(int pixels) {
  State().pen = pixels;
}
void FakeSurface::SetFont(const Font& font) {
  State().font = font;
}

void FakeSurface::SetPosition(int x, int y) {
  State().x = x;
  State().y = y;
}

void FakeSurface::Fill(int x1, int y1, int x2, int y2, Color color) {
  FakePicture& p = Target();
  for (int y = std::max(0, y1); y < std::min(p.height, y2); ++y) {
    for (int x = std::max(0, x1); x < std::min(p.width, x2); ++x) {
      p.pixels[static_cast<std::size_t>(y * p.width + x)] = color;
    }
  }
}

void FakeSurface::Clear(std::optional<Color> color) {
  const FakePicture& p = Target();
  Fill(0, 0, p.width, p.height, color.value_or(State().background.value_or(0xFFFFFF)));
  std::erase_if(printed, [this](const PrintedText& t) { return t.target == target_; });
}

void FakeSurface::Print(std::string_view text, bool endLine) {
  Log(text, endLine, false, static_cast<int>(text.size()));
}

void FakeSurface::PrintUtf8(std::string_view text, bool endLine) {
  // Every byte but a continuation byte starts a character.
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  });
  Log(text, endLine, true, static_cast<int>(characters));
}

void FakeSurface::Log(std::string_view text, bool endLine, bool utf8, int characters) {
  TargetState& s = State();
  printed.push_back(PrintedText{target_, s.x, s.y, std::string(text), s.font, s.foreground,
                                !s.background.has_value(), endLine, utf8});
  s.x += CharWidth(s.font) * characters;
  if (endLine) {
    s.x = 0;
    s.y += LineHeight(s.font);
  }
}

// The outline covers the pen width inside [x1, x2) x [y1, y2); the fill lies within it.
void FakeSurface::Box(int x1, int y1, int x2, int y2, int, Color outline,
                      std::optional<Color> fill) {
  const int w = std::max(1, State().pen);
  Fill(x1, y1, x2, y2, outline);
  if (x2 - x1 > 2 * w && y2 - y1 > 2 * w) {
    Fill(x1 + w, y1 + w, x2 - w, y2 - w, fill.value_or(0xFFFFFF));
    if (!fill) Fill(x1 + w, y1 + w, x2 - w, y2 - w, 0xFFFFFF);
  }
}

void FakeSurface::CopyPicture(PictureId picture) {
  ++copies;
  const FakePicture source = pictures_[picture];
  FakePicture& p = Target();
  for (int y = 0; y < std::min(p.height, source.height); ++y) {
    for (int x = 0; x < std::min(p.width, source.width); ++x) {
      p.pixels[static_cast<std::size_t>(y * p.width + x)] = source.At(x, y);
    }
  }
  std::erase_if(printed, [this](const PrintedText& t) { return t.target == target_; });
  std::vector<PrintedText> copied;
  for (const PrintedText& t : printed) {
    if (t.target == picture) {
      copied.push_back(t);
      copied.back().target = target_;
    }
  }
  printed.insert(printed.end(), copied.begin(), copied.end());
}

void FakeSurface::ResizeSurface(int width, int height) {
  FakePicture& p = pictures_[kGridSurface];
  p.width = width;
  p.height = height;
  p.pixels.assign(static_cast<std::size_t>(std::max(0, width) * std::max(0, height)), 0xFFFFFF);
}

bool FakeSurface::SavePicture(const std::string& path) {
  const FakePicture& p = Target();
  const auto bytes = EncodeBitmapFile(p.width, p.height, [&p](int x, int y) { return p.At(x, y); });
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::vector<PrintedText> FakeSurface::TextsOn(PictureId target) const {
  std::vector<PrintedText> out;
  for (const PrintedText& t : printed) {
    if (t.target == target) out.push_back(t);
  }
  return out;
}

}  // namespace tomo::testing

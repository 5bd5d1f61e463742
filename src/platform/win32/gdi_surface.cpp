#include "gdi_surface.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "surface_control.h"
#include "text.h"
#include "views/bitmap_file.h"

namespace tomo::win32 {

namespace {

void FillWith(HDC dc, SIZE size, Color color) {
  GdiObject<HBRUSH> brush(CreateSolidBrush(color));
  RECT all{0, 0, size.cx, size.cy};
  FillRect(dc, &all, brush.get());
}

// The bitmap's pixels as 0x00BBGGRR, top row first. GetDIBits wants the bitmap out of every
// device context, so a one-pixel stand-in takes its place meanwhile.
std::vector<Color> ReadPixels(HDC dc, HBITMAP bitmap, SIZE size) {
  std::vector<Color> pixels(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy));
  if (pixels.empty()) return pixels;
  GdiObject<HBITMAP> standIn(CreateCompatibleBitmap(dc, 1, 1));
  SelectionGuard swap(dc, standIn.get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS) ==
      0) {
    return {};
  }
  // 32-bit DIB pixels are 0x00RRGGBB; colours are 0x00BBGGRR.
  for (Color& p : pixels) p = RGB(GetBValue(p), GetGValue(p), GetRValue(p));
  return pixels;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

std::optional<GdiSurface::Target> GdiSurface::TargetOf(PictureId picture) {
  if (picture == kGridSurface) {
    HDC dc = SurfaceDc(windows_.surface);
    if (dc == nullptr) return std::nullopt;
    return Target{dc, SurfaceBitmap(windows_.surface), SurfaceBitmapSize(windows_.surface)};
  }
  const auto found = pictures_.find(picture);
  if (found == pictures_.end()) return std::nullopt;
  return Target{found->second.dc.get(), found->second.bitmap.get(), found->second.size};
}

void GdiSurface::Drawn() {
  if (target_ == kGridSurface && windows_.surface != nullptr) {
    InvalidateRect(windows_.surface, nullptr, FALSE);
  }
}

HDC GdiSurface::DcOf(PictureId picture) {
  const auto target = TargetOf(picture);
  return target ? target->dc : nullptr;
}

PictureId GdiSurface::CreatePicture(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  WindowDc screen(nullptr);
  Picture picture;
  picture.dc.reset(CreateCompatibleDC(screen.get()));
  picture.bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
  if (!picture.dc || !picture.bitmap) return 0;
  picture.selection = SelectionGuard(picture.dc.get(), picture.bitmap.get());
  picture.size = SIZE{width, height};
  FillWith(picture.dc.get(), picture.size, 0xFFFFFF);
  const PictureId id = nextPicture_++;
  pictures_.emplace(id, std::move(picture));
  return id;
}

void GdiSurface::DeletePicture(PictureId picture) {
  pictures_.erase(picture);
  states_.erase(picture);
}

void GdiSurface::SelectTarget(PictureId target) {
  target_ = target;
}

void GdiSurface::SetForeground(Color color) {
  states_[target_].foreground = color;
}

void GdiSurface::SetBackground(std::optional<Color> color) {
  states_[target_].background = color;
}

void GdiSurface::SetPenWidth(int pixels) {
  states_[target_].pen = pixels;
}

void GdiSurface::SetFont(const Font& font) {
  // A font that cannot be created leaves the previous one in use.
  if (fonts_.Get(font) != nullptr) states_[target_].font = font;
}

void GdiSurface::SetPosition(int x, int y) {
  states_[target_].x = x;
  states_[target_].y = y;
}

void GdiSurface::Clear(std::optional<Color> color) {
  const auto target = TargetOf(target_);
  if (!target) return;
  FillWith(target->dc, target->size,
           color.value_or(states_[target_].background.value_or(0xFFFFFF)));
  Drawn();
}

void GdiSurface::Print(std::string_view text, bool endLine) {
  PrintWide(AnsiToWide(text), endLine);
}

void GdiSurface::PrintUtf8(std::string_view text, bool endLine) {
  PrintWide(Utf8ToWide(text), endLine);
}

void GdiSurface::PrintWide(std::wstring_view wide, bool endLine) {
  const auto target = TargetOf(target_);
  if (!target) return;
  TargetState& state = states_[target_];
  HDC dc = target->dc;
  HGDIOBJ font = state.font ? static_cast<HGDIOBJ>(fonts_.Get(*state.font)) : nullptr;
  SelectionGuard selected(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SetTextColor(dc, state.foreground);
  SetBkMode(dc, state.background ? OPAQUE : TRANSPARENT);
  if (state.background) SetBkColor(dc, *state.background);
  const auto length = static_cast<UINT>(wide.size());
  // One line high, up to the right edge: a long text is cut there, never wrapped.
  const RECT clip{state.x, state.y, target->size.cx, state.y + metrics.tmHeight};
  if (clip.left < clip.right) {
    ExtTextOutW(dc, state.x, state.y, ETO_CLIPPED, &clip, wide.data(), length, nullptr);
  }
  SIZE extent{};
  GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(length), &extent);
  state.x += extent.cx;
  if (endLine) {
    state.x = 0;
    state.y += metrics.tmHeight + metrics.tmExternalLeading;
  }
  Drawn();
}

void GdiSurface::Box(int x1, int y1, int x2, int y2, int cornerPercent, Color outline,
                     std::optional<Color> fill) {
  const auto target = TargetOf(target_);
  if (!target) return;
  HDC dc = target->dc;
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max(0, states_[target_].pen), outline));
  GdiObject<HBRUSH> brush(fill ? CreateSolidBrush(*fill) : nullptr);
  SelectionGuard penSelected(dc, pen.get());
  SelectionGuard brushSelected(
      dc, fill ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
  const int percent = std::min(cornerPercent, 100);
  if (percent > 0) {
    const int corner = percent * std::min(std::abs(x2 - x1), std::abs(y2 - y1)) / 100;
    RoundRect(dc, x1, y1, x2, y2, corner, corner);
  } else {
    Rectangle(dc, x1, y1, x2, y2);
  }
  Drawn();
}

void GdiSurface::CopyPicture(PictureId picture) {
  const auto target = TargetOf(target_);
  const auto source = TargetOf(picture);
  if (!target || !source) return;
  BitBlt(target->dc, 0, 0, source->size.cx, source->size.cy, source->dc, 0, 0, SRCCOPY);
  Drawn();
}

void GdiSurface::Redraw() {
  if (windows_.surface != nullptr) UpdateWindow(windows_.surface);
}

void GdiSurface::ResizeSurface(int width, int height) {
  if (windows_.surface == nullptr) return;
  SetWindowPos(windows_.surface, nullptr, 1, 1, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ResizeSurfaceBitmap(windows_.surface, width, height);
}

bool GdiSurface::SavePicture(const std::string& path) {
  const auto target = TargetOf(target_);
  if (!target) return false;
  const std::vector<Color> pixels = ReadPixels(target->dc, target->bitmap, target->size);
  if (pixels.empty()) return false;
  const int width = target->size.cx;
  const auto bytes = EncodeBitmapFile(width, target->size.cy, [&](int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  });
  return WriteWholeFile(path, bytes);
}

}  // namespace tomo::win32

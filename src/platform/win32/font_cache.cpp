#include "font_cache.h"

#include <cmath>

#include "text.h"

namespace tomo::win32 {

LOGFONTW DescribeFont(const Font& font, int dpiY) {
  const double points = font.points == 0.f ? 8.0 : static_cast<double>(font.points);
  LOGFONTW description{};
  // Negative: the character height, not the cell height.
  description.lfHeight = -static_cast<LONG>(std::lround(points * dpiY / 72.0));
  description.lfWeight = (font.style & kFontBold) != 0 ? FW_BOLD : FW_NORMAL;
  description.lfItalic = (font.style & kFontItalic) != 0 ? TRUE : FALSE;
  description.lfUnderline = (font.style & kFontUnderline) != 0 ? TRUE : FALSE;
  description.lfStrikeOut = (font.style & kFontStrikeOut) != 0 ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = AnsiToWide(font.face).substr(0, LF_FACESIZE - 1);
  face.copy(description.lfFaceName, face.size());
  return description;
}

HFONT FontCache::Get(const Font& font) {
  for (const Entry& entry : entries_) {
    if (entry.font == font) return entry.handle.get();
  }
  if (dpiY_ == 0) {
    WindowDc screen(nullptr);
    dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
  }
  const LOGFONTW description = DescribeFont(font, dpiY_);
  GdiObject<HFONT> handle(CreateFontIndirectW(&description));
  if (!handle) return nullptr;
  entries_.push_back(Entry{font, std::move(handle)});
  return entries_.back().handle.get();
}

}  // namespace tomo::win32

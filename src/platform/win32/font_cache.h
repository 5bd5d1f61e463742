// GDI fonts by face name, size in points and style bits: one font object per distinct font,
// so repeated drawing never piles up font objects.
#pragma once

#include <windows.h>

#include <vector>

#include "handles.h"
#include "platform/drawing.h"

namespace tomo::win32 {

// The font's description: height -round(points * dpiY / 72), 0 points meaning 8; weight 700
// when bold, else 400; italic, underline and strike-out from the style bits.
LOGFONTW DescribeFont(const Font& font, int dpiY);

class FontCache {
 public:
  // The font for the screen's vertical resolution; nullptr when it cannot be created.
  HFONT Get(const Font& font);

 private:
  struct Entry {
    Font font;
    GdiObject<HFONT> handle;
  };
  std::vector<Entry> entries_;
  int dpiY_ = 0;
};

}  // namespace tomo::win32

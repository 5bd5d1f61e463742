#include "font_cache.h"

#include <gtest/gtest.h>

namespace tomo::win32 {
namespace {

LOGFONTW Described(HFONT font) {
  LOGFONTW description{};
  GetObjectW(font, sizeof description, &description);
  return description;
}

TEST(FontCache, HeightsAreCharacterHeightsAtTheScreenResolution) {
  WindowDc screen(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
  FontCache fonts;
  const std::pair<float, LONG> expected[] = {
      {9.f, -12}, {11.f, -15}, {19.f, -25}, {39.f, -52}, {0.f, -11}};  // 0 points means 8
  for (const auto& [points, height] : expected) {
    HFONT font = fonts.Get(Font{"New Courier", points, 0});
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Described(font).lfHeight, height) << points << " points";
  }
}

TEST(FontCache, StyleBitsGiveWeightAndAttributes) {
  FontCache fonts;
  const LOGFONTW plain = Described(fonts.Get(Font{"Arial", 10.f, 0}));
  EXPECT_EQ(plain.lfWeight, 400);
  EXPECT_FALSE(plain.lfItalic || plain.lfUnderline || plain.lfStrikeOut);
  const LOGFONTW all = Described(
      fonts.Get(Font{"Arial", 10.f, kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut}));
  EXPECT_EQ(all.lfWeight, 700);
  EXPECT_TRUE(all.lfItalic && all.lfUnderline && all.lfStrikeOut);
  EXPECT_STREQ(all.lfFaceName, L"Arial");
}

TEST(FontCache, KeepsOneObjectPerDistinctFont) {
  FontCache fonts;
  HFONT first = fonts.Get(Font{"New Courier", 9.f, 0});
  EXPECT_EQ(fonts.Get(Font{"New Courier", 9.f, 0}), first);
  EXPECT_NE(fonts.Get(Font{"New Courier", 9.f, kFontBold}), first);
  EXPECT_NE(fonts.Get(Font{"New Courier", 11.f, 0}), first);
}

TEST(FontCache, LongFaceNamesAreCutToTheSystemLimit) {
  const LOGFONTW description = DescribeFont(Font{std::string(40, 'F'), 9.f, 0}, 96);
  EXPECT_EQ(std::wstring(description.lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));
}

}  // namespace
}  // namespace tomo::win32

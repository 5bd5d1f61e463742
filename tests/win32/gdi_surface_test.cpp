#include "gdi_surface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "win32_files.h"

namespace tomo::win32 {
namespace {

constexpr Color kSilverColor = 0xC0C0C0;

class GdiSurfaceTest : public ::testing::Test {
 protected:
  Color Pixel(PictureId picture, int x, int y) {
    return GetPixel(draw.DcOf(picture), x, y) & 0xFFFFFF;
  }
  // True when a pixel of the rectangle [x1, x2) x [y1, y2) is not white.
  bool Inked(PictureId picture, int x1, int y1, int x2, int y2) {
    for (int y = y1; y < y2; ++y) {
      for (int x = x1; x < x2; ++x) {
        if (Pixel(picture, x, y) != 0xFFFFFF) return true;
      }
    }
    return false;
  }
  TEXTMETRICW Metrics(const Font& wanted) {
    WindowDc screen(nullptr);
    SelectionGuard selected(screen.get(), fonts.Get(wanted));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    return metrics;
  }

  ProgramWindows windows;  // no windows: only memory pictures are drawn on
  GdiSurface draw{windows};
  FontCache fonts;
  const Font font{"New Courier", 11.f, 0};
};

TEST_F(GdiSurfaceTest, NewPicturesAreWhite) {
  const PictureId picture = draw.CreatePicture(20, 10);
  ASSERT_NE(picture, 0u);
  EXPECT_FALSE(Inked(picture, 0, 0, 20, 10));
  EXPECT_EQ(draw.CreatePicture(0, 10), 0u);
}

TEST_F(GdiSurfaceTest, LongTextIsCutAtTheRightEdgeAndNeverWraps) {
  const PictureId picture = draw.CreatePicture(120, 60);
  draw.SelectTarget(picture);
  draw.SetFont(font);
  draw.SetPosition(80, 0);
  draw.Print(std::string(40, 'W'), false);
  const int line = Metrics(font).tmHeight;
  EXPECT_TRUE(Inked(picture, 80, 0, 120, line));
  EXPECT_TRUE(Inked(picture, 115, 0, 120, line)) << "the text reaches the edge";
  EXPECT_FALSE(Inked(picture, 0, 0, 78, 60)) << "nothing left of the print position";
  EXPECT_FALSE(Inked(picture, 0, line, 120, 60)) << "nothing below the line";
}

TEST_F(GdiSurfaceTest, ANewLineStartsAtTheLeftEdgeOneLineLower) {
  const PictureId printed = draw.CreatePicture(200, 80);
  draw.SelectTarget(printed);
  draw.SetFont(font);
  draw.SetBackground(std::nullopt);
  draw.SetPosition(1, 1);
  draw.Print("Total :", true);
  draw.Print("Fields", false);
  draw.Print(" tail", true);

  // The same lines drawn directly where they belong.
  const PictureId expected = draw.CreatePicture(200, 80);
  HDC dc = draw.DcOf(expected);
  SelectionGuard selected(dc, fonts.Get(font));
  SetBkMode(dc, TRANSPARENT);
  const TEXTMETRICW metrics = Metrics(font);
  const int step = metrics.tmHeight + metrics.tmExternalLeading;
  TextOutW(dc, 1, 1, L"Total :", 7);
  TextOutW(dc, 0, 1 + step, L"Fields tail", 11);
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(Pixel(printed, x, y), Pixel(expected, x, y)) << x << "," << y;
  }
}

TEST_F(GdiSurfaceTest, Utf8TextIsDrawnWithItsOwnCharacters) {
  const PictureId printed = draw.CreatePicture(200, 40);
  draw.SelectTarget(printed);
  draw.SetFont(font);
  draw.SetPosition(1, 1);
  draw.PrintUtf8("Base : \xD0\x91\xD0\x94", false);  // two Cyrillic capitals
  draw.PrintUtf8(" \xC3\xB1", false);
  const PictureId expected = draw.CreatePicture(200, 40);
  HDC dc = draw.DcOf(expected);
  SelectionGuard selected(dc, fonts.Get(font));
  TextOutW(dc, 1, 1, L"Base : \u0411\u0414 \u00F1", 11);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(Pixel(printed, x, y), Pixel(expected, x, y)) << x << "," << y;
  }
}

TEST_F(GdiSurfaceTest, OpaqueTextFillsItsBackground) {
  const PictureId picture = draw.CreatePicture(60, 30);
  draw.SelectTarget(picture);
  draw.SetFont(font);
  draw.SetForeground(0x0000FF);
  draw.SetBackground(0x00FF00);
  draw.SetPosition(0, 0);
  draw.Print("ab", false);
  EXPECT_EQ(Pixel(picture, 0, 0), 0x00FF00u);
}

// The grid's cell frames: a pen of width 2 from (2, 2) to (105, 31) blackens the columns
// 1, 2, 103, 104 and the rows 1, 2, 29, 30; the fill lies between.
TEST_F(GdiSurfaceTest, BoxWithWidePenCoversTheseExactPixels) {
  const PictureId picture = draw.CreatePicture(110, 40);
  draw.SelectTarget(picture);
  draw.SetPenWidth(2);
  draw.Box(2, 2, 105, 31, 0, 0x000000, kSilverColor);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 110; ++x) {
      const bool inside = x >= 1 && x <= 104 && y >= 1 && y <= 30;
      const bool frame = inside && (x <= 2 || x >= 103 || y <= 2 || y >= 29);
      const Color want = frame ? 0x000000 : inside ? kSilverColor : 0xFFFFFF;
      ASSERT_EQ(Pixel(picture, x, y), want) << x << "," << y;
    }
  }
}

TEST_F(GdiSurfaceTest, HollowBoxKeepsWhatIsInside) {
  const PictureId picture = draw.CreatePicture(20, 20);
  draw.SelectTarget(picture);
  draw.Clear(0x123456);
  draw.Box(0, 0, 20, 20, 0, 0x0000FF, std::nullopt);
  EXPECT_EQ(Pixel(picture, 0, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(picture, 10, 10), 0x123456u);
}

TEST_F(GdiSurfaceTest, RoundedCornersLeaveTheCornerPixelOut) {
  const PictureId picture = draw.CreatePicture(40, 40);
  draw.SelectTarget(picture);
  draw.Box(0, 0, 40, 40, 50, 0x000000, 0x0000FF);  // 20 x 20 corner ellipses
  EXPECT_EQ(Pixel(picture, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(picture, 20, 20), 0x0000FFu);
  draw.Box(0, 0, 40, 40, 500, 0x000000, 0x0000FF);  // counts as 100
  EXPECT_EQ(Pixel(picture, 2, 2), 0xFFFFFFu);
}

TEST_F(GdiSurfaceTest, CopyPictureCopiesPixelForPixel) {
  const PictureId source = draw.CreatePicture(10, 10);
  const PictureId target = draw.CreatePicture(10, 10);
  draw.SelectTarget(source);
  draw.Clear(0x00FF00);
  draw.SelectTarget(target);
  draw.CopyPicture(source);
  EXPECT_EQ(Pixel(target, 9, 9), 0x00FF00u);
}

TEST_F(GdiSurfaceTest, DrawingWithoutATargetDoesNothing) {
  draw.SelectTarget(kGridSurface);  // no surface window exists here
  draw.Clear(0x00FF00);
  draw.Print("text", true);
  draw.Box(0, 0, 5, 5, 0, 0, 0);
  EXPECT_FALSE(draw.SavePicture("unused.bmp"));
  draw.SelectTarget(42);
  draw.Print("text", true);
}

TEST_F(GdiSurfaceTest, SavedPictureIsA24BitBottomUpBitmapFile) {
  Win32Files files;
  const PictureId picture = draw.CreatePicture(16, 16);
  draw.SelectTarget(picture);
  draw.Clear(0x0000FF);                                                        // red
  for (int x = 0; x < 16; ++x) SetPixelV(draw.DcOf(picture), x, 0, 0xFF0000);  // blue top row
  const std::string path = files.CreateTempFile();
  ASSERT_FALSE(path.empty());
  ASSERT_TRUE(draw.SavePicture(path));
  std::vector<unsigned char> bytes;
  {
    auto file = files.OpenForReading(path);
    bytes.resize(static_cast<std::size_t>(file->Length()));
    file->ReadAt(0, bytes.data(), bytes.size());
  }
  files.DeleteTempFile(path);
  ASSERT_EQ(bytes.size(), 822u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes[2] | bytes[3] << 8, 822);
  EXPECT_EQ(bytes[10], 54);
  EXPECT_EQ(bytes[14], 40);
  EXPECT_EQ(bytes[28], 24);
  // Rows run bottom-up: the first row in the file is red, the last one blue (B, G, R).
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 54, bytes.begin() + 57),
            (std::vector<unsigned char>{0x00, 0x00, 0xFF}));
  EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 3, bytes.end()),
            (std::vector<unsigned char>{0xFF, 0x00, 0x00}));
}

}  // namespace
}  // namespace tomo::win32

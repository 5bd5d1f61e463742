#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "fakes/fake_platform.h"
#include "shell/repaint.h"
#include "views/bitmap_file.h"
#include "views/paint_grid.h"

namespace tomo::testing {
namespace {

// The colour of a cell's frame and of its inside, read from the surface's pixels.
struct CellLook {
  Color frame, inside;
};

CellLook LookOf(TestApp& t, int column, int row) {
  const CellBox box = CellBoxAt(t.app, column, row, 1, 1);
  const FakePicture& p = t.surface().Picture(kGridSurface);
  return CellLook{p.At(box.left, box.top), p.At(box.left + 10, box.top + 10)};
}

TEST(GridPainter, EmptyGridBeforeAnyDatabase) {
  TestApp t;
  for (int c = 0; c <= t.app.LastColumn; ++c) {
    for (int r = 0; r <= t.app.LastRow; ++r) {
      const CellLook look = LookOf(t, c, r);
      const bool header = c == 0 || r == 0;
      EXPECT_EQ(look.frame, header ? kBlack : kSilver) << c << "," << r;
      EXPECT_EQ(look.inside, header ? kSilver : kWhite) << c << "," << r;
    }
  }
  // No text at all, and white right of and below the grid.
  EXPECT_TRUE(t.surface().TextsOn(kGridSurface).empty());
  const FakePicture& p = t.surface().Picture(kGridSurface);
  EXPECT_EQ(p.At(p.width - 1, p.height - 1), kWhite);
}

TEST(GridPainter, TextsOfALinkedDatabaseShowThirteenCharacters) {
  TestApp t;
  t.app.DatabaseLinked = 1;
  RecreateCellGrid(t.app);
  t.app.Cells.Set(0, 1, "Nombre");
  t.app.Cells.Set(1, 1, "ABCDEFGHIJKLMNOPQRST");
  Repaint(t.app);
  const auto texts = t.surface().TextsOn(kGridSurface);
  // Every cell prints, header cells and empty cells included.
  ASSERT_EQ(texts.size(), static_cast<std::size_t>((t.app.LastColumn + 1) * (t.app.LastRow + 1)));
  const PrintedText* value = nullptr;
  for (const auto& text : texts) {
    if (text.x == 106 + 2 + 3 && text.y == 32 + 2 + 8) value = &text;
  }
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->text, "ABCDEFGHIJKLM");
  EXPECT_EQ(value->font, (Font{"New Courier", 9.f, 0}));
  EXPECT_EQ(value->color, kBlack);
  EXPECT_TRUE(value->transparent);
  EXPECT_EQ(texts.front().x, 5);  // the top-left cell's text starts at (5, 10)
  EXPECT_EQ(texts.front().y, 10);
}

TEST(GridPainter, MarksFrameExactlyTheirCells) {
  TestApp t;
  t.app.DatabaseLinked = 1;
  t.app.FirstRecord = 3;
  const Color green = 0x00FF00, blue = 0xFF0000, stale = 0x123456;
  t.app.RecordColors[4] = ColorMark{0, 1, 4, green, 2, 5};  // record 4: whole column 2
  t.app.RecordColors[5] = ColorMark{1, 0, 5, blue, 3, 5};   // record 5: grid row 5 only
  t.app.RecordColors[6] = ColorMark{1, 0, 1, stale, 4, 2};  // made for another record
  RecreateCellGrid(t.app);
  Repaint(t.app);
  for (int c = 1; c <= t.app.LastColumn; ++c) {
    for (int r = 1; r <= t.app.LastRow; ++r) {
      Color expected = kSilver;
      if (c == 2) expected = green;
      if (c == 3 && r == 5) expected = blue;
      EXPECT_EQ(LookOf(t, c, r).frame, expected) << c << "," << r;
      EXPECT_EQ(LookOf(t, c, r).inside, kWhite);
    }
  }
  // Header cells never take a mark, and columns of unmarked records or of record 0 stay plain.
  EXPECT_EQ(LookOf(t, 2, 0).frame, kBlack);
  t.app.FirstRecord = -1;  // columns show records -1, 0, 1, ...: marks move with records
  Repaint(t.app);
  EXPECT_EQ(LookOf(t, 1, 5).frame, kSilver);
  EXPECT_EQ(LookOf(t, 2, 5).frame, kSilver);
  EXPECT_EQ(LookOf(t, 6, 1).frame, green);
  EXPECT_EQ(LookOf(t, 7, 5).frame, blue);
  EXPECT_EQ(LookOf(t, 7, 4).frame, kSilver);
  t.app.FirstRecord = 5;  // record 7 and beyond have no mark
  Repaint(t.app);
  EXPECT_EQ(LookOf(t, 1, 5).frame, blue);
  for (int c = 2; c <= t.app.LastColumn; ++c) EXPECT_EQ(LookOf(t, c, 1).frame, kSilver);
}

TEST(GridPainter, MarksNeedALinkedDatabase) {
  TestApp t;
  t.app.FirstRecord = 1;
  t.app.RecordColors[1] = ColorMark{0, 1, 1, 0x00FF00, 1, 1};
  Repaint(t.app);
  EXPECT_EQ(LookOf(t, 1, 1).frame, kSilver);
}

TEST(BitmapFile, SixteenBySixteenPictureIs822Bytes) {
  const auto bytes = EncodeBitmapFile(
      16, 16, [](int x, int y) { return x == 0 && y == 0 ? Color{0x0000FF} : Color{0x00FF00}; });
  ASSERT_EQ(bytes.size(), 822u);
  const std::vector<std::uint8_t> header = {
      'B', 'M', 0x36, 0x03, 0,  0, 0, 0, 0,  0, 54, 0, 0, 0,         // file header
      40,  0,   0,    0,    16, 0, 0, 0, 16, 0, 0,  0, 1, 0, 24, 0,  // size, width, height, ...
      0,   0,   0,    0,    0,  0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 54), header);
  // Rows run bottom-up: the top-left red pixel is the first pixel of the last row.
  const std::size_t topRow = 54 + 15 * 48;
  EXPECT_EQ(bytes[topRow], 0x00);      // blue
  EXPECT_EQ(bytes[topRow + 1], 0x00);  // green
  EXPECT_EQ(bytes[topRow + 2], 0xFF);  // red
  EXPECT_EQ(bytes[54], 0x00);
  EXPECT_EQ(bytes[55], 0xFF);
  // Odd widths pad each row to a multiple of 4 bytes.
  EXPECT_EQ(EncodeBitmapFile(3, 2, [](int, int) { return kWhite; }).size(), 54u + 2 * 12);
}

}  // namespace
}  // namespace tomo::testing

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/repaint.h"
#include "views/paint_grid.h"

namespace tomo::testing {
namespace {

TEST(GridGeometry, GridSizeFollowsTheScreen) {
  TestApp t;
  GridSize big = ComputeGridSize(t.app, 1920 - 3, 1080 - 25);
  EXPECT_EQ(big.columns, 18);
  EXPECT_EQ(big.rows, 33);
  GridSize small = ComputeGridSize(t.app, 1024 - 3, 768 - 25);
  EXPECT_EQ(small.columns, 9);
  EXPECT_EQ(small.rows, 23);
  // Column 0 and row 0 are always there, even on a tiny surface.
  GridSize tiny = ComputeGridSize(t.app, 10, 10);
  EXPECT_EQ(tiny.columns, 1);
  EXPECT_EQ(tiny.rows, 1);
}

TEST(GridGeometry, StartValuesAfterInitialisation) {
  TestApp t(ScreenSize{1920, 1080});
  EXPECT_EQ(t.app.LastColumn, 17);
  EXPECT_EQ(t.app.LastRow, 32);
  EXPECT_EQ(t.app.CurrentColumn, 3);
  EXPECT_EQ(t.app.CurrentRow, 13);
  EXPECT_EQ(t.app.FirstField, 1);
  EXPECT_EQ(t.app.UseEnglish, 0);
  EXPECT_EQ(t.app.SwatchColor, kRed);
  EXPECT_EQ(t.app.DatabaseLinked, 0);
  const FakePicture& surface = t.surface().Picture(kGridSurface);
  EXPECT_EQ(surface.width, 1917);
  EXPECT_EQ(surface.height, 1055);
}

TEST(GridGeometry, CellBoxesIncludeEachMarginTwice) {
  TestApp t;
  CellBox first = CellBoxAt(t.app, 0, 0, 1, 1);
  EXPECT_EQ(first.left, 2);
  EXPECT_EQ(first.top, 2);
  EXPECT_EQ(first.right, 105);
  EXPECT_EQ(first.bottom, 31);
  CellBox other = CellBoxAt(t.app, 4, 7, 1, 1);
  EXPECT_EQ(other.left, 106 * 4 + 2);
  EXPECT_EQ(other.top, 32 * 7 + 2);
}

}  // namespace
}  // namespace tomo::testing

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/surface_handler.h"

namespace tomo::testing {
namespace {

std::int64_t At(int x, int y) {
  return (static_cast<std::int64_t>(y) << 16) | x;
}

TEST(Pointer, HitTestUsesWholeCellsWithoutTheMargins) {
  TestApp t;
  SurfaceHandler(t.app, kPointerMoved, 0, At(105, 31));
  EXPECT_EQ(t.ui().caption, "0x0");
  SurfaceHandler(t.app, kPointerMoved, 0, At(106, 32));
  EXPECT_EQ(t.ui().caption, "1x1");
  SurfaceHandler(t.app, kPointerMoved, 0, At(4 * 106 + 50, 7 * 32 + 1));
  EXPECT_EQ(t.ui().caption, "4x7");
}

TEST(Pointer, OutsideTheGridTheCaptionStays) {
  TestApp t;  // 1024 x 768: columns 0..8, rows 0..22
  SurfaceHandler(t.app, kPointerMoved, 0, At(4 * 106, 7 * 32));
  SurfaceHandler(t.app, kPointerMoved, 0, At(9 * 106 + 5, 7 * 32));
  EXPECT_EQ(t.ui().caption, "4x7");
  EXPECT_EQ(t.app.CurrentColumn, 9);  // stored even outside the grid
  SurfaceHandler(t.app, kPointerMoved, 0, At(10, 23 * 32));
  EXPECT_EQ(t.ui().caption, "4x7");
  EXPECT_EQ(t.app.CurrentRow, 23);
  // A right-click outside the grid opens no menu.
  SurfaceHandler(t.app, kRightButtonDown, 0, At(9 * 106 + 5, 10));
  EXPECT_TRUE(t.ui().menus.empty());
  EXPECT_EQ(t.app.InputActive, 0);
}

TEST(Pointer, NotTrackedWhileInputIsActive) {
  TestApp t;
  t.app.InputActive = 1;
  SurfaceHandler(t.app, kPointerMoved, 0, At(300, 300));
  EXPECT_EQ(t.ui().caption, "TOMO BD");
  EXPECT_EQ(t.app.CurrentColumn, 3);
  SurfaceHandler(t.app, kRightButtonDown, 0, At(10, 10));
  EXPECT_TRUE(t.ui().menus.empty());
  // While an arrow move refills the grid the pointer is tracked, but no menu opens.
  t.app.InputActive = 0;
  t.app.NavigationBusy = 1;
  SurfaceHandler(t.app, kPointerMoved, 0, At(300, 300));
  EXPECT_EQ(t.ui().caption, "2x9");
  SurfaceHandler(t.app, kRightButtonDown, 0, At(10, 10));
  EXPECT_TRUE(t.ui().menus.empty());
}

TEST(Pointer, LeftButtonAndWheelDoNothing) {
  TestApp t;
  SurfaceHandler(t.app, kLeftButtonDown, 0, At(300, 300));
  SurfaceHandler(t.app, kWheel, 0x00780000, At(300, 300));
  EXPECT_EQ(t.app.CurrentColumn, 3);
  EXPECT_EQ(t.app.CurrentRow, 13);
  EXPECT_EQ(t.ui().caption, "TOMO BD");
}

}  // namespace
}  // namespace tomo::testing

#include <gtest/gtest.h>

#include "shell/surface_handler.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

constexpr std::uint64_t kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;

void Press(App& app, std::uint64_t key, int times = 1) {
  for (int i = 0; i < times; ++i) SurfaceHandler(app, kKeyDown, key, 0);
}

TEST(Navigation, RecordsMoveOneAtATimeAndStopAtTheEnds) {
  LinkedApp db(NumberedDatabase(50, 3));
  App& app = db.app();
  EXPECT_EQ(app.Cells.At(1, 1), "1.1");
  Press(app, kRight);
  EXPECT_EQ(app.FirstRecord, 2);
  EXPECT_EQ(app.Cells.At(1, 0), "2");
  EXPECT_EQ(app.Cells.At(1, 2), "2.2");
  Press(app, kRight, 60);
  EXPECT_EQ(app.FirstRecord, 50);
  // The last record stands in column 1; the columns right of it show absent values.
  EXPECT_EQ(app.Cells.At(1, 1), "50.1");
  EXPECT_EQ(app.Cells.At(2, 0), "51");
  EXPECT_EQ(app.Cells.At(2, 1), "No datos");
  Press(app, kLeft, 60);
  EXPECT_EQ(app.FirstRecord, 1);
  EXPECT_EQ(app.NavigationBusy, 0);
  EXPECT_EQ(app.InputActive, 0);
}

TEST(Navigation, FieldsMoveUntilTheLastFieldReachesTheLastRow) {
  LinkedApp db(NumberedDatabase(3, 40), ScreenSize{1920, 1080});
  App& app = db.app();
  ASSERT_EQ(app.LastRow, 32);
  Press(app, kDown, 20);
  EXPECT_EQ(app.FirstField, 9);
  EXPECT_EQ(app.Cells.At(0, 1), "F9");
  EXPECT_EQ(app.Cells.At(0, 32), "F40");
  Press(app, kUp, 20);
  EXPECT_EQ(app.FirstField, 1);
  EXPECT_EQ(app.Cells.At(1, 1), "1.1");
}

TEST(Navigation, FieldsThatAllFitDoNotMove) {
  LinkedApp db(NumberedDatabase(3, 20));
  Press(db.app(), kDown, 3);
  EXPECT_EQ(db.app().FirstField, 1);
}

TEST(Navigation, RefusedWhileMenuInputOrMoveIsActive) {
  LinkedApp db(NumberedDatabase(5, 3));
  App& app = db.app();
  app.InputActive = 1;
  Press(app, kRight);
  Press(app, kDown);
  EXPECT_EQ(app.FirstRecord, 1);
  app.InputActive = 0;
  app.NavigationBusy = 1;
  Press(app, kRight);
  EXPECT_EQ(app.FirstRecord, 1);
  // Other keys do nothing (the page keys are tested with the wheel, in page_keys_test).
  app.NavigationBusy = 0;
  for (std::uint64_t key : {0x09, 0x2D, 0x2E, 0x70}) Press(app, key);
  EXPECT_EQ(app.FirstRecord, 1);
  EXPECT_EQ(app.FirstField, 1);
}

TEST(Navigation, NothingMovesWithoutADatabaseAndNoFileIsTouched) {
  TestApp t;
  Press(t.app, kRight);
  Press(t.app, kLeft);
  Press(t.app, kDown);
  Press(t.app, kUp);
  EXPECT_EQ(t.app.FirstRecord, 0);
  EXPECT_EQ(t.app.FirstField, 1);
  EXPECT_EQ(t.fake->files.bytesRead, 0);
  // Typed characters are read from the slot and dropped.
  t.ui().pendingCharacter = 'a';
  SurfaceHandler(t.app, kKeyUp, 'A', 0);
  EXPECT_EQ(t.ui().pendingCharacter, 0);
  EXPECT_TRUE(t.app.TypedText.empty());
}

}  // namespace
}  // namespace tomo::testing

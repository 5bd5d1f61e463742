// Page keys, Home, End and the wheel: the arrow moves' bounds and refusals, by many records or
// fields at once.
#include <gtest/gtest.h>

#include "shell/surface_handler.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

constexpr std::uint64_t kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24;
constexpr std::uint64_t kShift = 0x0004;

std::uint64_t Turn(int delta, std::uint64_t keys = 0) {
  return (static_cast<std::uint64_t>(static_cast<std::uint16_t>(delta)) << 16) | keys;
}

TEST(PageKeysAndWheel, MoveWithinTheArrowBoundsAndAreRefusedWhereTheArrowsAre) {
  constexpr std::int64_t kRecords = 50;
  constexpr int kFields = 40;
  LinkedApp db(NumberedDatabase(kRecords, kFields));
  App& app = db.app();
  const std::int64_t page = app.LastColumn;
  const std::int32_t lastFirstField = kFields - app.LastRow + 1;
  ASSERT_GT(page, 1);
  ASSERT_GT(lastFirstField, 5);
  struct Case {
    const char* what;
    std::int64_t firstRecord;
    std::int32_t firstField;
    std::uint32_t message;
    std::uint64_t wParam;
    std::int64_t expectRecord;
    std::int32_t expectField;
    int inputActive = 0;
    int busy = 0;
  };
  const std::vector<Case> cases = {
      {"Page Down", 1, 1, kKeyDown, kPageDown, 1 + page, 1},
      {"Page Down stops at the last record", kRecords - 1, 1, kKeyDown, kPageDown, kRecords, 1},
      {"Page Down at the last record", kRecords, 1, kKeyDown, kPageDown, kRecords, 1},
      {"Page Up", 1 + 2 * page, 3, kKeyDown, kPageUp, 1 + page, 3},
      {"Page Up stops at record 1", 2, 1, kKeyDown, kPageUp, 1, 1},
      {"Page Up at record 1", 1, 1, kKeyDown, kPageUp, 1, 1},
      {"Home", 30, 2, kKeyDown, kHome, 1, 2},
      {"End", 1, 2, kKeyDown, kEnd, kRecords, 2},
      {"End at the last record", kRecords, 1, kKeyDown, kEnd, kRecords, 1},
      {"wheel down, one notch", 4, 1, kWheel, Turn(-120), 4, 2},
      {"wheel down, three notches", 4, 1, kWheel, Turn(-360), 4, 4},
      {"wheel down stops at the last field row", 4, lastFirstField - 1, kWheel, Turn(-360), 4,
       lastFirstField},
      {"wheel down at the last field row", 4, lastFirstField, kWheel, Turn(-120), 4,
       lastFirstField},
      {"wheel up", 4, 5, kWheel, Turn(240), 4, 3},
      {"wheel up stops at field 1", 4, 2, kWheel, Turn(360), 4, 1},
      {"Shift+wheel down", 4, 2, kWheel, Turn(-120, kShift), 5, 2},
      {"Shift+wheel up", 4, 2, kWheel, Turn(240, kShift), 2, 2},
      {"Shift+wheel up at record 1", 1, 2, kWheel, Turn(120, kShift), 1, 2},
      {"horizontal wheel right", 4, 2, kHorizontalWheel, Turn(240), 6, 2},
      {"horizontal wheel left", 4, 2, kHorizontalWheel, Turn(-120), 3, 2},
      {"horizontal wheel right at the last record", kRecords, 2, kHorizontalWheel, Turn(120),
       kRecords, 2},
      {"half a notch", 4, 2, kWheel, Turn(-60), 4, 2},
      {"Page Down while a menu or input is open", 1, 1, kKeyDown, kPageDown, 1, 1, 1},
      {"End while a move refills", 1, 1, kKeyDown, kEnd, 1, 1, 0, 1},
      {"wheel while a menu or input is open", 4, 2, kWheel, Turn(-120), 4, 2, 1},
      {"horizontal wheel while a move refills", 4, 2, kHorizontalWheel, Turn(120), 4, 2, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app.FirstRecord = c.firstRecord;
    app.FirstField = c.firstField;
    app.WheelRest = {};
    app.InputActive = c.inputActive;
    app.NavigationBusy = c.busy;
    app.TypedText = "typed";
    app.Cells.Set(1, 0, "untouched");
    SurfaceHandler(app, c.message, c.wParam, 0);
    EXPECT_EQ(app.FirstRecord, c.expectRecord);
    EXPECT_EQ(app.FirstField, c.expectField);
    EXPECT_EQ(app.TypedText, "typed");
    EXPECT_EQ(app.InputActive, c.inputActive);
    EXPECT_EQ(app.NavigationBusy, c.busy);
    const bool moved = c.expectRecord != c.firstRecord || c.expectField != c.firstField;
    // A move refills the grid from the new first record and field; a refused one leaves it.
    EXPECT_EQ(app.Cells.At(1, 0), moved ? std::to_string(c.expectRecord) : "untouched");
    if (moved) {
      EXPECT_EQ(app.Cells.At(0, 1), "F" + std::to_string(c.expectField));
    }
  }
  // Two halves of a notch make one.
  app.FirstField = 2;
  app.WheelRest = {};
  app.InputActive = app.NavigationBusy = 0;
  SurfaceHandler(app, kWheel, Turn(-60), 0);
  SurfaceHandler(app, kWheel, Turn(-60), 0);
  EXPECT_EQ(app.FirstField, 3);
}

TEST(PageKeysAndWheel, NothingMovesWithoutADatabase) {
  TestApp t;
  for (std::uint64_t key : {kPageUp, kPageDown, kHome, kEnd})
    SurfaceHandler(t.app, kKeyDown, key, 0);
  SurfaceHandler(t.app, kWheel, Turn(-120), 0);
  SurfaceHandler(t.app, kHorizontalWheel, Turn(120), 0);
  EXPECT_EQ(t.app.FirstRecord, 0);
  EXPECT_EQ(t.app.FirstField, 1);
}

}  // namespace
}  // namespace tomo::testing

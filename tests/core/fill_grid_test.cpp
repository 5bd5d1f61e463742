#include "storage/fill_grid.h"

#include <gtest/gtest.h>

#include <limits>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "support/database_writer.h"

namespace tomo::testing {
namespace {

class FillGridTest : public ::testing::Test {
 protected:
  void Use(const DatabaseSpec& database) {
    t.app.DatabaseFolder = WriteDatabase(temp.path(), "db" + std::to_string(++databases), database);
  }
  void Fill(std::int64_t first, int lastColumn, int lastRow) {
    t.app.LastColumn = static_cast<std::int16_t>(lastColumn);
    t.app.LastRow = static_cast<std::int16_t>(lastRow);
    t.app.Cells = CellGrid(lastColumn, lastRow);
    FillGrid(t.app, first);
  }
  const std::string& Cell(int column, int row) { return t.app.Cells.At(column, row); }
  bool GridIsEmpty() {
    for (int r = 0; r < t.app.Cells.Rows(); ++r) {
      for (int c = 0; c < t.app.Cells.Columns(); ++c) {
        if (!Cell(c, r).empty()) return false;
      }
    }
    return true;
  }

  TempFolder temp;
  TestApp t;
  int databases = 0;
};

TEST_F(FillGridTest, ShowsNamesRecordNumbersAndRenderedValues) {
  Use(DatabaseSpec{
      {{"Nombre"},
       {"Activo", kLogic},
       {"Color", kArray, "rojo|verde|azul"},
       {"Nacido", kDateOfAntiquity}},
      Records({{"Ana", "1", "102", "  12/05/1990 "}, {"Eva", "0.5", "&H65", std::nullopt}})});
  Fill(1, 3, 5);
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_EQ(Cell(1, 0), "1");
  EXPECT_EQ(Cell(2, 0), "2");
  EXPECT_EQ(Cell(3, 0), "3");
  EXPECT_EQ(Cell(0, 1), "Nombre");
  EXPECT_EQ(Cell(0, 4), "Nacido");
  EXPECT_EQ(Cell(1, 1), "Ana");
  EXPECT_EQ(Cell(1, 2), "si");
  EXPECT_EQ(Cell(1, 3), "azul");
  EXPECT_EQ(Cell(1, 4), "12/05/1990");
  EXPECT_EQ(Cell(2, 2), "no");
  EXPECT_EQ(Cell(2, 3), "verde");
  EXPECT_EQ(Cell(2, 4), "No datos");
  // A record beyond the last shows absent values.
  EXPECT_EQ(Cell(3, 1), "No datos");
  EXPECT_EQ(Cell(3, 2), "no");
  EXPECT_EQ(Cell(3, 3), "");
  // The row below the last field stays empty, its name cell too.
  for (int c = 0; c <= 3; ++c) EXPECT_EQ(Cell(c, 5), "") << c;
  EXPECT_EQ(t.app.ViewStart, 1);
  // From record 2 on, the view starts at Eva's first entry.
  Fill(2, 1, 1);
  EXPECT_EQ(t.app.ViewStart, 3 + 1 + 3 + 13 + 1);
  EXPECT_EQ(Cell(1, 1), "Eva");
}

TEST_F(FillGridTest, RowsFollowTheFirstFieldAndTheFieldTable) {
  Use(DatabaseSpec{{{"F1"}, {"F2"}, {"F3"}, {"F4"}}, Records({{"a", "b", "c", "d"}})});
  t.app.FirstField = 3;
  Fill(1, 2, 3);
  EXPECT_EQ(Cell(0, 1), "F3");
  EXPECT_EQ(Cell(1, 1), "c");
  EXPECT_EQ(Cell(0, 2), "F4");
  EXPECT_EQ(Cell(1, 2), "d");
  EXPECT_EQ(Cell(0, 3), "");
  EXPECT_EQ(Cell(1, 3), "");
  EXPECT_EQ(Cell(1, 0), "1");
  // A first field beyond the table: nothing at all, and no view start.
  t.app.FirstField = 5;
  t.app.ViewStart = 99;
  Fill(1, 2, 3);
  EXPECT_TRUE(GridIsEmpty());
  EXPECT_EQ(t.app.ViewStart, 0);
  // No fields: the whole grid stays empty, record numbers included.
  t.app.FirstField = 1;
  Use(DatabaseSpec{{}, {}});
  Fill(1, 2, 3);
  EXPECT_TRUE(GridIsEmpty());
}

TEST_F(FillGridTest, RecordNumbersNearTheEndOfTheRangeWrapAround) {
  Use(DatabaseSpec{{{"Nombre"}}, Records({{"Ana"}})});
  Fill(std::numeric_limits<std::int64_t>::max() - 1, 3, 1);
  EXPECT_EQ(Cell(1, 0), "9223372036854775806");
  EXPECT_EQ(Cell(2, 0), "9223372036854775807");
  EXPECT_EQ(Cell(3, 0), "-9223372036854775808");
  EXPECT_EQ(Cell(3, 1), "No datos");
  Fill(0, 2, 1);
  EXPECT_EQ(Cell(1, 0), "0");
  EXPECT_EQ(Cell(2, 1), "Ana");
}

}  // namespace
}  // namespace tomo::testing

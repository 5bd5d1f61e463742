#include "commands/colors.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/run_command.h"
#include "support/linked_app.h"
#include "views/paint_grid.h"

namespace tomo::testing {
namespace {

constexpr Color kGreen = 0x00FF00;
constexpr Color kBlue = 0xFF0000;

struct Colored : LinkedApp {
  Colored() : LinkedApp(NumberedDatabase(12, 3)) {}
  // Makes the column showing `record` current and runs the command there.
  void At(std::int64_t record, int row, std::int32_t command) {
    app().CurrentColumn = static_cast<std::int16_t>(record - app().FirstRecord + 1);
    app().CurrentRow = static_cast<std::int16_t>(row);
    RunMenuCommand(app(), command);
  }
  // The record's mark; an unmarked record has none in the table.
  ColorMark Mark(std::int64_t record) {
    const auto marked = app().RecordColors.find(record);
    return marked == app().RecordColors.end() ? ColorMark{} : marked->second;
  }
};

TEST(ColorDialog, OpensOnGreyAndKeepsTheCustomColoursOfTheRun) {
  Colored c;
  std::array<Color, 16> stored{};
  stored[0] = 0x112233;
  c.ui().customColorsToStore = stored;
  c.ui().colorAnswers.push_back(std::nullopt);  // cancelled
  RunMenuCommand(c.app(), kChooseColor);
  EXPECT_EQ(c.app().SwatchColor, kRed);
  c.ui().customColorsToStore.reset();
  c.ui().colorAnswers.push_back(kGreen);
  RunMenuCommand(c.app(), kChooseColor);
  EXPECT_EQ(c.app().SwatchColor, kGreen);
  EXPECT_EQ(c.ui().colorDialogInitial, (std::vector<Color>{0x808080, 0x808080}));
  EXPECT_EQ(c.ui().colorDialogCustom[0], (std::array<Color, 16>{}));
  EXPECT_EQ(c.ui().colorDialogCustom[1], stored);
  EXPECT_EQ(c.app().InputActive, 0);
}

TEST(ColorMarks, ANewMarkReplacesTheRecordsMarkAndUndoHasOneLevel) {
  Colored c;
  c.app().SwatchColor = kGreen;
  c.At(7, 4, kMarkCell);
  EXPECT_EQ(c.Mark(7).CellMarked, 1);
  EXPECT_EQ(c.Mark(7).MarkRow, 4);
  EXPECT_EQ(c.Mark(7).MarkColumn, 7);
  EXPECT_EQ(c.Mark(7).MarkColor, kGreen);
  c.app().SwatchColor = kBlue;
  c.At(7, 2, kMarkRecord);
  EXPECT_EQ(c.Mark(7).CellMarked, 0);
  EXPECT_EQ(c.Mark(7).RecordMarked, 1);
  EXPECT_EQ(c.Mark(7).MarkColor, kBlue);
  EXPECT_EQ(c.app().LastColoredRecord, 7);
  RunMenuCommand(c.app(), kUndoColor);
  EXPECT_EQ(c.Mark(7).CellMarked, 0);  // the cell mark does not come back
  EXPECT_EQ(c.Mark(7).RecordMarked, 0);
  EXPECT_EQ(c.app().LastColoredRecord, 0);
}

TEST(ColorMarks, UndoRemovesOnlyTheLatestMark) {
  Colored c;
  c.app().FirstRecord = 3;
  c.At(7, 1, kMarkCell);
  c.At(9, 1, kMarkCell);
  RunMenuCommand(c.app(), kUndoColor);
  EXPECT_EQ(c.Mark(7).CellMarked, 1);
  EXPECT_EQ(c.Mark(9).CellMarked, 0);
}

TEST(ColorMarks, ResetClearsEveryMarkButKeepsUndoAndColour) {
  Colored c;
  c.app().SwatchColor = kGreen;
  c.At(2, 1, kMarkRecord);
  c.At(3, 1, kMarkCell);
  RunMenuCommand(c.app(), kResetColors);
  EXPECT_EQ(c.Mark(2).RecordMarked, 0);
  EXPECT_EQ(c.Mark(3).CellMarked, 0);
  EXPECT_EQ(c.app().LastColoredRecord, 3);
  EXPECT_EQ(c.app().SwatchColor, kGreen);
  RunMenuCommand(c.app(), kUndoColor);  // changes nothing visible
  EXPECT_EQ(c.app().LastColoredRecord, 0);
}

TEST(ColorMarks, ColumnsWithoutAnElementAreIgnored) {
  Colored c;
  c.app().FirstRecord = 10;  // columns show 10, 11, 12, 13 ...
  c.At(13, 1, kMarkCell);
  c.At(14, 1, kMarkRecord);
  EXPECT_EQ(c.app().LastColoredRecord, 0);
  c.app().FirstRecord = 0;  // the column of record 0
  c.At(0, 1, kMarkRecord);
  EXPECT_EQ(c.app().LastColoredRecord, 0);
  EXPECT_TRUE(c.app().RecordColors.empty());
  // The field-name column and no database: nothing happens.
  c.app().CurrentColumn = 0;
  RunMenuCommand(c.app(), kMarkCell);
  EXPECT_EQ(c.app().LastColoredRecord, 0);
  TestApp fresh;
  fresh.app.CurrentColumn = 1;
  RunMenuCommand(fresh.app, kMarkRecord);
  EXPECT_EQ(fresh.app.LastColoredRecord, 0);
  // Undo of a mark made in a larger database before the last link only resets the undo.
  c.app().LastColoredRecord = 500;
  RunMenuCommand(c.app(), kUndoColor);
  EXPECT_EQ(c.app().LastColoredRecord, 0);
}

TEST(ColorMarks, LinkingRemovesEveryMarkButKeepsTheColours) {
  Colored c;
  c.app().SwatchColor = kGreen;
  c.app().CustomColors[3] = kBlue;
  c.At(2, 1, kMarkRecord);
  RunMenuCommand(c.app(), kLinkDatabase);  // cancelled browser: the same database again
  EXPECT_EQ(c.Mark(2).RecordMarked, 0);
  EXPECT_EQ(c.app().SwatchColor, kGreen);
  EXPECT_EQ(c.app().CustomColors[3], kBlue);
}

// A sparse database is legal: records 1 to 3 and `last`, one entry each. Every record up to
// the last can be marked, and the table holds one element per mark whatever the numbers.
TEST(ColorMarks, SparseRecordNumbersAreMarkedAtTheCostOfTheMarks) {
  for (const std::int64_t last : {std::int64_t{2'000'000}, (std::int64_t{1} << 62) + 5}) {
    SCOPED_TRACE(last);
    DatabaseSpec database{{{"Nombre"}}, Records({{"Ana"}, {"Eva"}, {"Luz"}, {"Sol"}})};
    database.records[3].number = last;
    LinkedApp db(database);
    App& app = db.app();
    EXPECT_EQ(app.RecordColorsCount, last);
    EXPECT_TRUE(app.RecordColors.empty());  // linking costs nothing
    app.SwatchColor = kGreen;
    app.FirstRecord = last;
    app.CurrentColumn = 1;
    app.CurrentRow = 1;
    RunMenuCommand(app, kMarkRecord);
    EXPECT_EQ(app.LastColoredRecord, last);
    EXPECT_EQ(MarkColorFor(app, last, 1), kGreen);
    const CellBox box = CellBoxAt(app, 1, 1, 1, 1);
    EXPECT_EQ(db.surface().Picture(kGridSurface).At(box.left, box.top), kGreen);  // framed
    app.CurrentColumn = 2;  // the column after the last record
    RunMenuCommand(app, kMarkCell);
    EXPECT_EQ(app.LastColoredRecord, last);
    app.FirstRecord = 2;
    RunMenuCommand(app, kMarkCell);  // record 3
    EXPECT_EQ(app.RecordColors.size(), 2u);
    RunMenuCommand(app, kUndoColor);
    EXPECT_EQ(app.RecordColors.size(), 1u);
    EXPECT_EQ(MarkColorFor(app, last, 1), kGreen);  // the older mark stays
    RunMenuCommand(app, kResetColors);
    EXPECT_TRUE(app.RecordColors.empty());
    EXPECT_EQ(MarkColorFor(app, last, 1), std::nullopt);
    EXPECT_EQ(app.RecordColorsCount, last);
  }
}

TEST(Swatch, TheFileIsFreshAndDeletedAgain) {
  TestApp t;
  const std::string path = MakeSwatch(t.app, kGreen);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(std::filesystem::file_size(path), 822u);
  const std::string other = MakeSwatch(t.app, kGreen);
  EXPECT_NE(other, path);
  DeleteSwatch(t.app, path);
  DeleteSwatch(t.app, other);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(other));
}

}  // namespace
}  // namespace tomo::testing

#include "commands/colors.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commands/run_command.h"
#include "support/linked_app.h"

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
  const ColorMark& Mark(std::int64_t record) {
    return app().RecordColors[static_cast<std::size_t>(record - 1)];
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
  EXPECT_EQ(c.app().RecordColors.size(), 12u);
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

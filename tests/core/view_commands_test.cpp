#include <gtest/gtest.h>

#include "commands/run_command.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

TEST(LinkCommand, LinksFromRecordOneAndClearsMarks) {
  LinkedApp db(NumberedDatabase(5, 3));
  App& app = db.app();
  EXPECT_EQ(app.FirstRecord, 1);
  EXPECT_EQ(app.InputActive, 0);
  EXPECT_EQ(app.Cells.At(0, 1), "F1");
  EXPECT_EQ(app.Cells.At(3, 2), "3.2");
  EXPECT_EQ(app.RecordColorsCount, 5);
  app.RecordColors[2] = ColorMark{0, 1, 2, 0x00FF00, 1, 1};
  app.FirstField = 2;
  // Cancelling the folder browser links the same database again from record 1.
  RunMenuCommand(app, kLinkDatabase);
  EXPECT_EQ(app.FirstField, 1);
  EXPECT_TRUE(app.RecordColors.empty());
  EXPECT_TRUE(db.ui().messages.empty());
  EXPECT_EQ(db.ui().browseTitles[0], "Elige Carpeta de Base Datos ...\r\n\xAE www.tomo.example");
}

TEST(LinkCommand, AFolderWithoutADatabaseIsReportedInTheCurrentLanguage) {
  LinkedApp db(NumberedDatabase(5, 3));
  TempFolder empty;
  const auto before = FolderSnapshot(empty.path());
  db.ui().folderAnswers.push_back(BackslashPath(empty.path()));
  db.app().FirstRecord = 3;
  RunMenuCommand(db.app(), kLinkDatabase);
  ASSERT_EQ(db.ui().messages.size(), 1u);
  EXPECT_EQ(db.ui().messages[0].text, "NO es Base de Datos ...");
  EXPECT_EQ(db.ui().messages[0].title, "TOMO");
  EXPECT_EQ(db.app().FirstRecord, 3);  // the grid stays as it was
  EXPECT_EQ(db.app().Cells.At(1, 1), "1.1");
  EXPECT_EQ(FolderSnapshot(empty.path()), before);  // nothing created there
  db.app().UseEnglish = 1;
  RunMenuCommand(db.app(), kLinkDatabase);  // cancelled: the chosen folder is tested again
  EXPECT_EQ(db.ui().messages.back().text, "It's not a Database");
  EXPECT_EQ(db.ui().browseTitles.back(), "Choose database folder ...\r\n\xAE www.tomo.example");
}

TEST(ViewCommands, UpdateReadsTheFilesAfreshAndFirstRecordGoesBack) {
  DatabaseSpec database = NumberedDatabase(5, 3);
  LinkedApp db(database);
  App& app = db.app();
  app.FirstRecord = 2;
  database.records[2].values[0] = "changed";
  WriteDatabase(db.folder.path(), "db", database);
  RunMenuCommand(app, kUpdate);
  EXPECT_EQ(app.Cells.At(2, 1), "changed");
  EXPECT_EQ(app.FirstRecord, 2);
  app.FirstField = 2;
  RunMenuCommand(app, kFirstRecordCommand);
  EXPECT_EQ(app.FirstRecord, 1);
  EXPECT_EQ(app.FirstField, 2);  // not changed
  EXPECT_EQ(app.Cells.At(1, 1), "1.2");
  EXPECT_EQ(app.InputActive, 0);
}

TEST(ViewCommands, NeedALinkedDatabase) {
  TestApp t;
  for (std::int32_t command : {kUpdate, kFirstRecordCommand, kScrollData, kGoToRecord, kSearch,
                               kCopy, kInfoDatabase, kAuthor}) {
    RunMenuCommand(t.app, command);
    EXPECT_EQ(t.app.InputActive, 0) << command;
  }
  EXPECT_EQ(t.app.FirstRecord, 0);
  EXPECT_FALSE(t.ui().clipboard.has_value());
  EXPECT_EQ(t.fake->files.bytesRead, 0);
}

TEST(ScrollData, SlidesALongValueThroughItsCell) {
  DatabaseSpec database = NumberedDatabase(2, 2);
  database.records[0].values[0] = "ABCDEFGHIJKLMNO";  // 15 characters
  LinkedApp db(database);
  App& app = db.app();
  app.CurrentColumn = 1;
  app.CurrentRow = 1;
  std::vector<std::string> shown;
  // The cell text printed at every pause of the slide.
  auto cellText = [&] {
    for (const auto& text : db.surface().TextsOn(kGridSurface)) {
      if (text.x == 106 + 5 && text.y == 32 + 10) return text.text;
    }
    return std::string("?");
  };
  const std::size_t before = db.ui().slept.size();
  RunMenuCommand(app, kScrollData);
  ASSERT_EQ(db.ui().slept.size() - before, 15u);
  for (std::size_t i = before; i < db.ui().slept.size(); ++i) EXPECT_EQ(db.ui().slept[i], 200);
  EXPECT_EQ(cellText(), "ABCDEFGHIJKLM");  // back at its start
  EXPECT_EQ(app.Cells.At(1, 1), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(app.InputActive, 0);

  // The steps, seen at each pause.
  std::vector<std::string> steps;
  std::vector<std::string> expected;
  const std::string value = "ABCDEFGHIJKLMNO";
  for (std::size_t s = 0; s < value.size(); ++s) expected.push_back(value.substr(s, 13));
  db.ui().onSleep = [&] { steps.push_back(cellText()); };
  RunMenuCommand(app, kScrollData);
  EXPECT_EQ(steps, expected);
}

TEST(ScrollData, ShortValuesAndReportsDoNotSlide) {
  LinkedApp db(NumberedDatabase(2, 2));
  db.app().CurrentColumn = 1;
  db.app().CurrentRow = 1;
  const std::size_t before = db.ui().slept.size();
  RunMenuCommand(db.app(), kScrollData);
  EXPECT_EQ(db.ui().slept.size(), before);
}

TEST(TypedInputStart, GoToRecordStartsOnAnyCell) {
  LinkedApp db(NumberedDatabase(3, 3));
  App& app = db.app();
  app.CurrentColumn = 0;
  app.CurrentRow = 0;
  RunMenuCommand(app, kGoToRecord);
  EXPECT_EQ(app.InputActive, 1);
  EXPECT_EQ(app.EntryIsRecordNumber, 1);
  // The echo is a lone caret 2 pixels left of and above the cell text's place.
  const auto texts = db.surface().TextsOn(kGridSurface);
  EXPECT_EQ(texts.back().text, "|");
  EXPECT_EQ(texts.back().x, 3);
  EXPECT_EQ(texts.back().y, 8);
}

TEST(TypedInputStart, SearchOnlyOnTheNameCellOfASearchableField) {
  DatabaseSpec database = NumberedDatabase(3, 8);
  database.fields[5].searchFlag = 0;  // field 6
  database.fields[6].searchFlag = 2;  // field 7: only 1 allows searching
  LinkedApp db(database);
  App& app = db.app();
  auto trySearch = [&](int column, int row) {
    app.CurrentColumn = static_cast<std::int16_t>(column);
    app.CurrentRow = static_cast<std::int16_t>(row);
    app.TypedText = "x";
    RunMenuCommand(app, kSearch);
    const bool started = app.InputActive == 1;
    app.InputActive = 0;
    return started;
  };
  EXPECT_TRUE(trySearch(0, 1));
  EXPECT_FALSE(trySearch(1, 1));  // a data cell
  EXPECT_FALSE(trySearch(0, 0));  // the record-number row
  EXPECT_FALSE(trySearch(0, 9));  // below the last field
  EXPECT_FALSE(trySearch(0, 6));
  EXPECT_FALSE(trySearch(0, 7));
  app.FirstField = 5;
  EXPECT_FALSE(trySearch(0, 2));  // grid row 2 shows field 6
  EXPECT_TRUE(trySearch(0, 4));   // field 8
  EXPECT_EQ(app.EntryIsRecordNumber, 0);
  EXPECT_TRUE(app.TypedText.empty());
}

TEST(ReportView, StopsTheCellCommandsUntilTheGridComesBack) {
  LinkedApp db(NumberedDatabase(3, 3));
  App& app = db.app();
  RunMenuCommand(app, kInfoDatabase);
  EXPECT_EQ(app.ReportShown, 1);
  app.CurrentColumn = 1;
  app.CurrentRow = 1;
  for (std::int32_t command : {kGoToRecord, kSearch, kCopy, kScrollData}) {
    RunMenuCommand(app, command);
    EXPECT_EQ(app.InputActive, 0);
  }
  EXPECT_FALSE(db.ui().clipboard.has_value());
  RunMenuCommand(app, kUpdate);
  EXPECT_EQ(app.ReportShown, 0);
  RunMenuCommand(app, kCopy);
  EXPECT_EQ(db.ui().clipboard, "1.1");
}

}  // namespace
}  // namespace tomo::testing

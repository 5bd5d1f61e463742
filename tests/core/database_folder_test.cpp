#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "shell/maker.h"
#include "storage/field_table.h"
#include "support/database_writer.h"

namespace tomo::testing {
namespace {

TEST(ChooseDatabaseFolder, TitleInTheCurrentLanguageWithTheMakersAddress) {
  TestApp t;
  t.ui().folderAnswers = {std::nullopt, std::nullopt};
  ChooseDatabaseFolder(t.app);
  t.app.UseEnglish = 1;
  ChooseDatabaseFolder(t.app);
  const std::string tail = std::string("\r\n\xAE ") + std::string(kMakerAddress);
  EXPECT_EQ(t.ui().browseTitles.at(0), "Elige Carpeta de Base Datos ..." + tail);
  EXPECT_EQ(t.ui().browseTitles.at(1), "Choose database folder ..." + tail);
}

TEST(ChooseDatabaseFolder, SetsTheFolderAndAnswersItWithATrailingBackslash) {
  TestApp t;
  t.ui().folderAnswers = {"C:\\data\\agenda", std::nullopt, "D:\\", std::string()};
  EXPECT_EQ(ChooseDatabaseFolder(t.app), "C:\\data\\agenda\\");
  EXPECT_EQ(t.app.DatabaseFolder, "C:\\data\\agenda");
  // Cancelled: empty answer, the folder stays.
  EXPECT_EQ(ChooseDatabaseFolder(t.app), "");
  EXPECT_EQ(t.app.DatabaseFolder, "C:\\data\\agenda");
  // A drive root keeps its one backslash.
  EXPECT_EQ(ChooseDatabaseFolder(t.app), "D:\\");
  EXPECT_EQ(t.app.DatabaseFolder, "D:\\");
  // No path could be had.
  EXPECT_EQ(ChooseDatabaseFolder(t.app), "");
  EXPECT_EQ(t.app.DatabaseFolder, "D:\\");
}

TEST(ChooseDatabaseFolder, CutsLongPathsTo255CharactersWithoutSplittingOne) {
  TestApp t;
  const std::string ascii = "C:\\" + std::string(300, 'a');
  const std::string enye = "\xC3\xB1";          // ñ: two bytes, one character
  const std::string clef = "\xF0\x9D\x84\x9E";  // beyond the basic plane: two characters
  t.ui().folderAnswers = {ascii, "C:\\" + std::string(251, 'a') + enye + enye + enye,
                          "C:\\" + std::string(251, 'a') + clef, std::string("C:\\x\0y", 6)};
  ChooseDatabaseFolder(t.app);
  EXPECT_EQ(t.app.DatabaseFolder, ascii.substr(0, 255));
  ChooseDatabaseFolder(t.app);
  EXPECT_EQ(t.app.DatabaseFolder, "C:\\" + std::string(251, 'a') + enye);
  ChooseDatabaseFolder(t.app);
  EXPECT_EQ(t.app.DatabaseFolder, "C:\\" + std::string(251, 'a'));  // 254 + 2 would be 256
  ChooseDatabaseFolder(t.app);
  EXPECT_EQ(t.app.DatabaseFolder, "C:\\x");  // up to the first zero byte
}

TEST(DatabasePaths, NameAndFilesFollowTheFolder) {
  EXPECT_EQ(DatabaseName("C:\\data\\agenda"), "agenda");
  EXPECT_EQ(DatabaseName("agenda"), "agenda");
  EXPECT_EQ(DatabaseName("D:\\"), "");
  TestApp t;
  EXPECT_EQ(DatabasePath(t.app, ".z04"), "");  // no folder: no file anywhere
  t.app.DatabaseFolder = "C:\\data\\agenda";
  EXPECT_EQ(DatabasePath(t.app, kFieldFileExtension), "C:\\data\\agenda\\agenda.z04");
  EXPECT_EQ(DatabasePath(t.app, kRecordFileExtension), "C:\\data\\agenda\\agenda.zbd");
  t.app.DatabaseFolder = "D:\\";
  EXPECT_EQ(DatabasePath(t.app, ".z04"), "D:\\\\.z04");
}

TEST(IsDatabase, AFieldFileOfWholeRecordsMakesADatabase) {
  TempFolder temp;
  TestApp t;
  const auto check = [&](std::optional<std::size_t> length) {
    t.app.DatabaseFolder = WriteDatabaseFiles(
        temp.path(), "db" + std::to_string(length.value_or(999)),
        length ? std::optional<std::string>(std::string(*length, '\0')) : std::nullopt,
        std::nullopt);
    return IsDatabase(t.app);
  };
  EXPECT_EQ(check(12042), 1);
  EXPECT_EQ(check(24084), 1);
  EXPECT_EQ(check(0), 0);
  EXPECT_EQ(check(12041), 0);
  EXPECT_EQ(check(12043), 0);
  EXPECT_EQ(check(std::nullopt), 0);  // no field file at all
  t.app.DatabaseFolder.clear();
  EXPECT_EQ(IsDatabase(t.app), 0);
}

TEST(ResetRecordColors, NoMarksAndEveryRecordOfTheCountMarkable) {
  TempFolder temp;
  TestApp t;
  DatabaseSpec database{{{"Nombre"}}, Records({{"Ana"}, {"Eva"}})};
  database.records[1].number = 7;
  t.app.DatabaseFolder = WriteDatabase(temp.path(), "db", database);
  t.app.RecordColors[1] = ColorMark{1, 0, 1, 0xFF, 1, 1};
  ResetRecordColors(t.app);
  EXPECT_TRUE(t.app.RecordColors.empty());
  EXPECT_EQ(t.app.RecordColorsCount, 7);
  // A damaged last entry with a huge record number costs nothing; a negative one leaves no
  // record markable.
  database.records[1].number = std::int64_t{1} << 62;
  t.app.DatabaseFolder = WriteDatabase(temp.path(), "huge", database);
  ResetRecordColors(t.app);
  EXPECT_TRUE(t.app.RecordColors.empty());
  EXPECT_EQ(t.app.RecordColorsCount, std::int64_t{1} << 62);
  database.records[1].number = -5;
  t.app.DatabaseFolder = WriteDatabase(temp.path(), "negative", database);
  ResetRecordColors(t.app);
  EXPECT_EQ(t.app.RecordColorsCount, 0);
}

}  // namespace
}  // namespace tomo::testing

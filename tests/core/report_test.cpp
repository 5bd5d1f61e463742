#include <gtest/gtest.h>

#include "commands/run_command.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

DatabaseSpec ThreeFields() {
  DatabaseSpec database;
  database.fields = {FieldSpec{"NOMBRE", kString, "", 1}, FieldSpec{"EDAD", kInteger, "", 1},
                     FieldSpec{"ALTA", kCurrentDate, "", 0},
                     FieldSpec{"ANTES", kDateOfAntiquity, "", 0}};
  database.records = Records({{"Ana", "30", "01/02/2003", "x"}, {"Luis", "41", "05/06/2007", "y"}});
  return database;
}

struct Line {
  std::string text;
  int x, y;
  Font font;
};

std::vector<Line> Page(LinkedApp& db) {
  std::vector<Line> lines;
  for (const auto& t : db.surface().TextsOn(kGridSurface))
    lines.push_back({t.text, t.x, t.y, t.font});
  return lines;
}

TEST(DatabaseReport, EnglishLinesFontsAndPositions) {
  LinkedApp db(ThreeFields());
  db.app().UseEnglish = 1;
  RunMenuCommand(db.app(), kInfoDatabase);
  const auto lines = Page(db);
  ASSERT_EQ(lines.size(), 5u + 4 * 2);
  const Font regular{"New Courier", 11.f, 0}, bold{"New Courier", 11.f, kFontBold};
  const int h = FakeSurface::LineHeight(regular);
  EXPECT_EQ(lines[0].text, "Database name : db");
  EXPECT_EQ(lines[0].x, 1);
  EXPECT_EQ(lines[0].y, 1);
  EXPECT_EQ(lines[1].text, "Total number of records : 2");
  EXPECT_EQ(lines[1].x, 0);  // only the first line starts at x = 1
  EXPECT_EQ(lines[1].y, 1 + h);
  EXPECT_EQ(lines[2].text, "Total number of fields : 4");
  EXPECT_EQ(lines[3].text, "Field names : ");
  EXPECT_EQ(lines[4].text, "");
  EXPECT_EQ(lines[5].text, "NOMBRE");
  EXPECT_EQ(lines[5].font, bold);
  EXPECT_EQ(lines[5].y, 1 + 5 * h);
  EXPECT_EQ(lines[6].text, " as string");
  EXPECT_EQ(lines[6].font, regular);
  EXPECT_EQ(lines[6].y, lines[5].y);  // the type follows the bold name on its line
  EXPECT_EQ(lines[6].x, 6 * FakeSurface::CharWidth(bold));
  EXPECT_EQ(lines[8].text, " as integer");
  EXPECT_EQ(lines[10].text, " as current date");
  EXPECT_EQ(lines[12].text, " as date of antiquity");
  EXPECT_EQ(db.app().ReportShown, 1);
  EXPECT_EQ(db.app().InputActive, 0);
}

TEST(DatabaseReport, SpanishLowerCasesAccentedTypeNames) {
  LinkedApp db(ThreeFields());
  RunMenuCommand(db.app(), kInfoDatabase);
  const auto lines = Page(db);
  EXPECT_EQ(lines[0].text, "Base de Datos : db");
  EXPECT_EQ(lines[1].text, "N\xFAmero de Registros : 2");
  EXPECT_EQ(lines[2].text, "N\xFAmero de campos : 4");
  EXPECT_EQ(lines[3].text, "Nombre de los campos : ");
  EXPECT_EQ(lines[6].text, " tipo cadena");
  EXPECT_EQ(lines[8].text, " tipo entero");
  EXPECT_EQ(lines[10].text, " tipo fecha actual");
  EXPECT_EQ(lines[12].text,
            " tipo fecha de antig\xFC"
            "edad");
  // The page stays in its language when the language changes.
  RunMenuCommand(db.app(), kSwitchLanguage);
  EXPECT_EQ(Page(db)[0].text, "Base de Datos : db");
}

TEST(DatabaseReport, AFolderNameOutsideTheAnsiCodePageIsPrintedAsItIs) {
  const std::string name = "\xD0\x91\xD0\x94 \xE6\x9D\xB1";  // Cyrillic and CJK letters
  TempFolder folder;
  TestApp t;
  t.ui().folderAnswers.push_back(WriteDatabase(folder.path(), name, ThreeFields()));
  RunMenuCommand(t.app, kLinkDatabase);
  RunMenuCommand(t.app, kInfoDatabase);
  const PrintedText line = t.surface().TextsOn(kGridSurface).at(0);
  EXPECT_EQ(line.text, "Base de Datos : " + name);
  EXPECT_TRUE(line.utf8);
}

TEST(DatabaseReport, NoRecordsAndUnknownTypes) {
  DatabaseSpec database;
  database.fields = {FieldSpec{"X", 42, "", 0}};
  LinkedApp db(database);
  db.app().UseEnglish = 1;
  RunMenuCommand(db.app(), kInfoDatabase);
  const auto lines = Page(db);
  EXPECT_EQ(lines[1].text, "Total number of records : 0");
  EXPECT_EQ(lines[6].text, " as 42");
}

TEST(AuthorPage, ShowsTheMakersAddressInRed) {
  LinkedApp db(ThreeFields());
  RunMenuCommand(db.app(), kAuthor);
  const auto printed = db.surface().TextsOn(kGridSurface);
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0].text, "Programa Realizado por :");
  EXPECT_EQ(printed[0].font, (Font{"New Courier", 19.f, 0}));
  EXPECT_EQ(printed[0].color, kBlack);
  EXPECT_EQ(printed[1].text, "www.tomo.example");
  EXPECT_EQ(printed[1].font, (Font{"New Courier", 39.f, 0}));
  EXPECT_EQ(printed[1].color, kRed);
  EXPECT_EQ(printed[1].x, 0);
  EXPECT_EQ(printed[1].y, 1 + FakeSurface::LineHeight(printed[0].font));
  EXPECT_TRUE(printed[1].transparent);
  db.app().UseEnglish = 1;
  RunMenuCommand(db.app(), kAuthor);
  EXPECT_EQ(db.surface().TextsOn(kGridSurface)[0].text, "Program Produced by :");
}

TEST(Copy, TheWholeTextOfTheCurrentCell) {
  DatabaseSpec database = ThreeFields();
  database.records[0].values[0] = std::string(40, 'x');
  LinkedApp db(database);
  db.app().CurrentColumn = 1;
  db.app().CurrentRow = 1;
  RunMenuCommand(db.app(), kCopy);
  EXPECT_EQ(db.ui().clipboard, std::string(40, 'x'));
  db.app().CurrentColumn = 0;
  db.app().CurrentRow = 0;
  RunMenuCommand(db.app(), kCopy);
  EXPECT_EQ(db.ui().clipboard, "");
  db.app().CurrentRow = 2;
  RunMenuCommand(db.app(), kCopy);
  EXPECT_EQ(db.ui().clipboard, "EDAD");
  EXPECT_EQ(db.app().InputActive, 0);
}

}  // namespace
}  // namespace tomo::testing

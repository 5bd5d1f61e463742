#include <gtest/gtest.h>

#include "commands/open_database.h"
#include "commands/run_command.h"
#include "shell/surface_handler.h"
#include "storage/folder_path.h"
#include "support/linked_app.h"

namespace tomo::testing {
namespace {

TEST(DatabaseFolderOf, TakesADatabaseFileBackToItsFolderAndKeepsAnythingElse) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {R"(C:\data\agenda)", R"(C:\data\agenda)"},
      {R"(C:\data\agenda\)", R"(C:\data\agenda)"},
      {R"(C:\data\agenda\\/)", R"(C:\data\agenda)"},
      {R"(C:\data\agenda\agenda.z04)", R"(C:\data\agenda)"},
      {R"(C:\data\Agenda\AGENDA.ZBD)", R"(C:\data\Agenda)"},
      {R"(C:\data\agenda\agenda.Zbd\)", R"(C:\data\agenda)"},
      {R"(C:\data\agenda\notes.txt)", R"(C:\data\agenda\notes.txt)"},
      {R"(C:\data\agenda\other.z04)", R"(C:\data\agenda\other.z04)"},
      {R"(C:\data\agenda\agenda.z04.bak)", R"(C:\data\agenda\agenda.z04.bak)"},
      {R"(C:\data\agenda.z04)", R"(C:\data\agenda.z04)"},
      {"C:\\datos\\a\xC3\xB1o\\a\xC3\xB1o.z04", "C:\\datos\\a\xC3\xB1o"},
      {R"(agenda\agenda.z04)", "agenda"},
      {"agenda.z04", "agenda.z04"},
      {"/home/u/agenda/agenda.zbd", "/home/u/agenda"},
      {R"(D:\)", R"(D:\)"},
      {R"(D:\\)", R"(D:\)"},
      {R"(D:\.z04)", R"(D:\)"},
      {R"(\\server\share\db\DB.z04)", R"(\\server\share\db)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DatabaseFolderOf(c.path), c.folder) << c.path;
}

// What a link leaves: the state, the cells and the picture that reaches the screen.
std::string Shown(TestApp& t) {
  std::string shown = t.app.DatabaseFolder + "|" + std::to_string(t.app.DatabaseLinked) + "|" +
                      std::to_string(t.app.FirstRecord) + "|" + std::to_string(t.app.InputActive) +
                      "|" + std::to_string(t.app.RecordColorsCount) + "\n";
  for (int r = 0; r <= t.app.LastRow; ++r) {
    for (int c = 0; c <= t.app.LastColumn; ++c) shown += t.app.Cells.At(c, r) + "|";
    shown += "\n";
  }
  for (const PrintedText& p : t.surface().TextsOn(t.app.OffscreenPicture)) {
    shown += std::to_string(p.x) + "," + std::to_string(p.y) + " " + p.text + "\n";
  }
  const FakePicture& picture = t.surface().Picture(t.app.OffscreenPicture);
  shown += std::to_string(std::hash<std::string_view>{}(std::string_view(
      reinterpret_cast<const char*>(picture.pixels.data()), picture.pixels.size() * 4)));
  return shown + " copies " + std::to_string(t.surface().copies);
}

TEST(OpenDatabase, APathToADatabaseLinksItAsTheBrowsersChoiceDoes) {
  TempFolder parent;
  const std::string folder = WriteDatabase(parent.path(), "db", NumberedDatabase(30, 4));
  TestApp browsed;
  browsed.ui().folderAnswers.push_back(folder);
  RunMenuCommand(browsed.app, kLinkDatabase);
  ASSERT_EQ(browsed.app.DatabaseLinked, 1);
  for (const std::string& path :
       {folder, folder + "\\", folder + "\\DB.Z04", folder + "\\db.zbd"}) {
    TestApp opened;
    EXPECT_TRUE(OpenDatabase(opened.app, path));
    EXPECT_EQ(Shown(opened), Shown(browsed)) << path;
    EXPECT_TRUE(opened.ui().browseTitles.empty()) << "no browser";
    EXPECT_TRUE(opened.ui().messages.empty());
  }
}

TEST(OpenDatabase, AFolderWithoutADatabaseGetsTheBoxAndIsLeftAlone) {
  TempFolder empty;
  const auto before = FolderSnapshot(empty.path());
  TestApp t;
  EXPECT_TRUE(OpenDatabase(t.app, BackslashPath(empty.path())));
  ASSERT_EQ(t.ui().messages.size(), 1u);
  EXPECT_EQ(t.ui().messages[0].text, "NO es Base de Datos ...");
  EXPECT_EQ(t.ui().messages[0].title, "TOMO");
  EXPECT_EQ(t.app.DatabaseLinked, 0);
  EXPECT_EQ(t.app.InputActive, 0);
  EXPECT_EQ(FolderSnapshot(empty.path()), before);
}

TEST(OpenDatabase, IsRefusedWhileAMenuAnEntryOrAScanIsUnderWay) {
  TempFolder parent;
  const std::string other = WriteDatabase(parent.path(), "other", NumberedDatabase(3, 2));
  const struct {
    const char* state;
    std::int32_t App::*flag;
  } busy[] = {{"menu or entry", &App::InputActive},
              {"scan of a move", &App::NavigationBusy},
              {"scan of an ending entry", &App::HoldingInput}};
  for (const auto& b : busy) {
    LinkedApp db(NumberedDatabase(5, 3));
    db.app().*b.flag = 1;
    const int opens = db.t.fake->files.opens;
    EXPECT_FALSE(OpenDatabase(db.app(), other)) << b.state;
    EXPECT_EQ(db.app().DatabaseFolder, db.path) << b.state;
    EXPECT_EQ(db.t.fake->files.opens, opens) << b.state << ": nothing read";
  }

  // A real scan: the drop arrives while → refills the grid.
  LinkedApp db(NumberedDatabase(40, 3));
  db.app().ScanBlockEntries = 4;
  db.app().ScanPumpMicroseconds = 0;
  int refused = 0;
  db.ui().onPump = [&](int) { refused += OpenDatabase(db.app(), other) ? 0 : 1; };
  SurfaceHandler(db.app(), kKeyDown, 0x27, 0);
  db.ui().onPump = nullptr;
  EXPECT_GT(refused, 0);
  EXPECT_EQ(db.app().DatabaseFolder, db.path);
  EXPECT_EQ(db.app().Cells.At(1, 1), "2.1");
  EXPECT_TRUE(OpenDatabase(db.app(), other)) << "once the scan is done";
  EXPECT_EQ(db.app().DatabaseFolder, other);
  EXPECT_EQ(db.app().Cells.At(1, 1), "1.1");
}

}  // namespace
}  // namespace tomo::testing

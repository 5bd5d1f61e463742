// The program never creates, writes or deletes a database file.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/record_reads.h"

namespace tomo::testing {
namespace {

// Every operation on the database folder, each followed by `check`.
template <typename Check>
void RunEveryOperation(App& app, FakeUi& ui, Check check) {
  ui.folderAnswers.push_back(app.DatabaseFolder);
  ChooseDatabaseFolder(app);
  check("ChooseDatabaseFolder");
  IsDatabase(app);
  check("IsDatabase");
  LoadFieldTable(app);
  check("LoadFieldTable");
  CountRecords(app);
  check("CountRecords");
  ResetRecordColors(app);
  check("ResetRecordColors");
  ReadValue(app, "Nombre", 1);
  check("ReadValue");
  FindValueStart(app, "Nombre", 1);
  check("FindValueStart");
  app.FirstField = 1;
  app.CurrentRow = 1;
  app.TypedText = "Eva";
  FindRecordByValue(app);
  check("FindRecordByValue");
  app.Cells = CellGrid(app.LastColumn, app.LastRow);
  FillGrid(app, 1);
  check("FillGrid");
}

TEST(ReadOnly, NoOperationCreatesOrChangesAFile) {
  TempFolder temp;
  const DatabaseSpec database{{{"Nombre"}}, Records({{"Ana"}, {"Eva"}})};
  const std::vector<std::string> folders = {
      WriteDatabase(temp.path(), "whole", database),
      WriteDatabaseFiles(temp.path(), "fieldsonly", format::FieldFileBytes(database.fields),
                         std::nullopt),
      WriteDatabaseFiles(temp.path(), "nothing", std::nullopt, std::nullopt),
      BackslashPath(temp.path() / "missing"),
  };
  const auto before = FolderSnapshot(temp.path());
  for (const std::string& folder : folders) {
    TestApp t;
    t.app.DatabaseFolder = folder;
    RunEveryOperation(t.app, t.ui(), [&](const char* operation) {
      EXPECT_EQ(FolderSnapshot(temp.path()), before) << folder << ": " << operation;
    });
  }
}

TEST(ReadOnly, WithoutAFolderNoFileIsAskedFor) {
  TestApp t;
  ASSERT_TRUE(t.app.DatabaseFolder.empty());
  RunEveryOperation(t.app, t.ui(), [](const char*) {});
  EXPECT_TRUE(t.app.DatabaseFolder.empty());
  EXPECT_GT(t.fake->files.opens, 0);
  for (const std::string& path : t.fake->files.paths) EXPECT_EQ(path, "");
  EXPECT_EQ(t.fake->files.bytesRead, 0);
}

}  // namespace
}  // namespace tomo::testing

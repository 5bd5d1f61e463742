#include "support/linked_app.h"

#include <gtest/gtest.h>

#include "commands/run_command.h"

namespace tomo::testing {

DatabaseSpec NumberedDatabase(int records, int fields) {
  DatabaseSpec database;
  for (int f = 1; f <= fields; ++f)
    database.fields.push_back(FieldSpec{"F" + std::to_string(f), 3, "", 1});
  for (int r = 1; r <= records; ++r) {
    RecordSpec record{r, {}};
    for (int f = 1; f <= fields; ++f) {
      record.values.push_back(std::to_string(r) + "." + std::to_string(f));
    }
    database.records.push_back(record);
  }
  return database;
}

LinkedApp::LinkedApp(const DatabaseSpec& database, ScreenSize screen)
    : path(WriteDatabase(folder.path(), "db", database)), t(screen) {
  t.ui().folderAnswers.push_back(path);
  RunMenuCommand(t.app, 1);
  EXPECT_EQ(t.app.DatabaseLinked, 1);
}

void RunMenuCommand(App& app, std::int32_t command) {
  app.InputActive = 1;
  RunCommand(app, command);
}

}  // namespace tomo::testing

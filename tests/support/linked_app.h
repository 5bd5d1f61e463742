// A program state with a database written into a temporary folder and linked through the
// "Link to database" command, as a user would link it.
#pragma once

#include <string>

#include "fakes/fake_platform.h"
#include "support/database_writer.h"

namespace tomo::testing {

// A database of `fields` STRING fields named F1, F2, ... and `records` records whose value in
// field f of record r is "r.f".
DatabaseSpec NumberedDatabase(int records, int fields);

struct LinkedApp {
  explicit LinkedApp(const DatabaseSpec& database, ScreenSize screen = {1024, 768});
  TempFolder folder;
  std::string path;  // the database folder as the program holds it
  TestApp t;
  App& app() { return t.app; }
  FakeUi& ui() { return t.ui(); }
  FakeSurface& surface() { return t.surface(); }
};

// Runs a menu command as the right-click on the current cell would.
void RunMenuCommand(App& app, std::int32_t command);

}  // namespace tomo::testing

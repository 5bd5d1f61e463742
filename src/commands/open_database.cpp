#include "commands/open_database.h"

#include <string>

#include "commands/view_commands.h"
#include "shell/surface_handler.h"
#include "storage/folder_path.h"

namespace tomo {

bool OpenDatabase(App& app, std::string_view path) {
  if (Busy(app)) return false;
  // As while a menu command runs: keys, pointer and menus wait for the link's scan.
  app.InputActive = 1;
  const std::string folder = CutPath(DatabaseFolderOf(path), kFolderCharacters);
  if (!folder.empty()) app.DatabaseFolder = folder;
  LinkDatabaseFolder(app);
  app.InputActive = 0;
  return true;
}

}  // namespace tomo

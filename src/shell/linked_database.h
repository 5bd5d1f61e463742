// The database folder, the paths of its two files, the database test and the colour table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app.h"
#include "storage/database.h"
#include "storage/file_names.h"

namespace tomo {

// Shows the folder browser; on success sets DatabaseFolder and returns it with a trailing
// backslash. Returns empty text when the user cancels (DatabaseFolder keeps its value).
std::string ChooseDatabaseFolder(App& app);
// The part of the path after its last backslash (the whole path when it has none).
std::string DatabaseName(std::string_view path);
// DatabaseFolder + "\" + DatabaseName(DatabaseFolder) + extension; empty text while no
// folder has been chosen, so that no file is ever looked for in a drive root.
std::string DatabasePath(const App& app, std::string_view extension);
// The database of DatabaseFolder, read with the program's platform and read state.
Database DatabaseOf(App& app);
// 1 when the field definition file's length is a positive multiple of 12042 bytes.
std::int32_t IsDatabase(App& app);
// Creates RecordColors anew, without marks, for the records 1..RecordCount of the record
// file as it is now.
void ResetRecordColors(App& app);

}  // namespace tomo

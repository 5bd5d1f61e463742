// The viewer's linked database: its state turned into a Database for the storage core and
// the results put back into it. The folder browser, the paths of the two files, the
// database test, the colour table, the field table, the grid and the value search.
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
// DatabaseFilePath(DatabaseFolder, extension); empty text while no
// folder has been chosen, so that no file is ever looked for in a drive root.
std::string DatabasePath(const App& app, std::string_view extension);
// The database of DatabaseFolder, read with the program's platform and read state.
Database DatabaseOf(App& app);
// 1 when the field definition file's length is a positive multiple of 12042 bytes.
std::int32_t IsDatabase(App& app);
// Creates RecordColors anew, without marks, for the records 1..RecordCount of the record
// file as it is now.
void ResetRecordColors(App& app);
// Re-reads the field definition file into app.Fields and returns the number of fields.
std::int64_t LoadFieldTable(App& app);
// The record number of the record file's last whole entry; 0 for an empty file.
std::int64_t CountRecords(App& app);
// Fills app.Cells (already created empty) with field names, record numbers from `first` on
// and the rendered values of the visible fields of the field table read anew.
void FillGrid(App& app, std::int64_t first);
// Searches the field shown in the current row (of the field table as last loaded) for
// TypedText; on success sets FirstRecord and returns 1, else returns 0.
std::int32_t FindRecordByValue(App& app);

}  // namespace tomo

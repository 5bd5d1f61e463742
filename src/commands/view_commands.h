// The commands that link a database and refresh or slide the grid.
#pragma once

#include "shell/app.h"

namespace tomo {

void LinkDatabase(App& app);
// Links the database of DatabaseFolder from record 1, or says that the folder holds none.
void LinkDatabaseFolder(App& app);
void Update(App& app);
void ShowFirstRecord(App& app);
void ScrollData(App& app);

}  // namespace tomo

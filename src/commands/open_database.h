// Linking a database named by a path (the command line, a dropped file or folder) instead of
// the folder browser's answer.
#pragma once

#include <string_view>

#include "shell/app.h"

namespace tomo {

// Links the database that the path names (its folder, or either of its two files) exactly as
// if the browser had returned that folder. Returns false, doing nothing, while the program is
// busy with a menu, an entry or a scan.
bool OpenDatabase(App& app, std::string_view path);

}  // namespace tomo

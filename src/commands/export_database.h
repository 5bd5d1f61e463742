// "Export ...": the linked database written to a file chosen in the system's Save dialog,
// exactly as tomodb's export writes it.
#pragma once

#include "shell/app.h"

namespace tomo {

void ExportDatabase(App& app);

}  // namespace tomo

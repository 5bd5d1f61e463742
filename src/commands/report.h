// The database report, the author page and Copy.
#pragma once

#include "shell/app.h"

namespace tomo {

void ShowDatabaseReport(App& app);
void ShowAuthorPage(App& app);
void CopyCell(App& app);

}  // namespace tomo

// The program's only window: a dialog-style window made from an in-memory template, holding
// the grid surface, whose messages go through the core's SurfaceHandler first.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "program_windows.h"
#include "shell/app.h"

namespace tomo::win32 {

// Creates the main window, shows it, links the database at startPath when there is one, and
// runs the modal loop. Closing the window ends the
// process at once with exit code 0, whatever is running, so this never returns normally.
int RunMainWindow(HINSTANCE instance, App& app, ProgramWindows& windows,
                  const std::optional<std::string>& startPath);

}  // namespace tomo::win32

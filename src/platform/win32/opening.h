// The paths that name a database to open instead of the folder browser's answer: the command
// line's argument and the first file or folder dropped on the window. Both come back as the
// browser's answer does: absolute, in the program's UTF-8 text.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "handles.h"

namespace tomo::win32 {

// The path after the program's name, quoted or not; nothing when there is none.
std::optional<std::string> PathOnCommandLine(const wchar_t* commandLine);
// The first of the dropped paths; the drop is finished before the path is returned.
std::optional<std::string> FirstDroppedPath(DroppedFiles drop);

}  // namespace tomo::win32

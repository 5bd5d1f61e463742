// Handling window messages while the program works or waits.
#pragma once

#include <windows.h>

namespace tomo::win32 {

// Handles every pending message of the thread, with the dialog keys of the main window;
// gives up the rest of the time slice when there is none.
void PumpPendingMessages(HWND mainWindow);

// Waits the given time while the window keeps painting and can still be closed. Keyboard
// and client-area pointer input stay queued and reach the program afterwards, as after a
// plain sleep; Alt combinations (Alt+F4) are handled at once.
void SleepKeepingWindowAlive(HWND mainWindow, int milliseconds);

}  // namespace tomo::win32

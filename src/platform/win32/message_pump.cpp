#include "message_pump.h"

#include <algorithm>

namespace tomo::win32 {

namespace {

// Message ranges handled during a sleep: everything but the keys the program reads
// (WM_KEYDOWN..WM_DEADCHAR and WM_UNICHAR) and the client-area pointer messages.
struct Range {
  UINT first, last;
};
constexpr Range kHandledWhileSleeping[] = {
    {0, WM_KEYFIRST - 1},
    {WM_SYSKEYDOWN, WM_SYSDEADCHAR},
    {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
    {WM_MOUSELAST + 1, 0xFFFFFFFF},
};

void Handle(HWND mainWindow, MSG& message) {
  if (mainWindow != nullptr && IsDialogMessageW(mainWindow, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

// Handles the pending messages of the ranges; true when there was at least one.
bool HandleRanges(HWND mainWindow) {
  bool handled = false;
  MSG message{};
  for (const Range& range : kHandledWhileSleeping) {
    while (PeekMessageW(&message, nullptr, range.first, range.last, PM_REMOVE)) {
      Handle(mainWindow, message);
      handled = true;
    }
  }
  return handled;
}

}  // namespace

void PumpPendingMessages(HWND mainWindow) {
  MSG message{};
  bool any = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    Handle(mainWindow, message);
    any = true;
  }
  if (!any) SwitchToThread();
}

void SleepKeepingWindowAlive(HWND mainWindow, int milliseconds) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::max(0, milliseconds));
  // Queued input that is left for later may wake the wait again; then it waits in short steps.
  bool wokeForNothing = false;
  for (;;) {
    const bool handled = HandleRanges(mainWindow);
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    if (handled) wokeForNothing = false;
    const auto left = static_cast<DWORD>(end - now);
    const DWORD wait = wokeForNothing ? std::min<DWORD>(left, 10) : left;
    const DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, 0);
    wokeForNothing = woke == WAIT_OBJECT_0;
  }
}

}  // namespace tomo::win32

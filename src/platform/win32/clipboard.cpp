#include "clipboard.h"

#include <cstring>

#include "handles.h"

namespace tomo::win32 {

void PutClipboardText(HWND owner, const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return;
  {
    GlobalLockGuard<wchar_t> locked(memory.get());
    if (locked.get() == nullptr) return;
    std::memcpy(locked.get(), text.c_str(), bytes);
  }
  // Another program may hold the clipboard for a moment.
  for (int attempt = 0; attempt < 5; ++attempt) {
    ClipboardLock clipboard(owner);
    if (clipboard.IsOpen()) {
      EmptyClipboard();
      if (SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr) memory.release();
      return;
    }
    Sleep(10);
  }
}

}  // namespace tomo::win32

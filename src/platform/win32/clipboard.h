// Writing text to the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace tomo::win32 {

// Replaces the clipboard's contents with the text as Unicode text; failures are ignored.
void PutClipboardText(HWND owner, const std::wstring& text);

}  // namespace tomo::win32

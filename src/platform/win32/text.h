// Conversions at the edge of the program: the core keeps text as bytes of the system's ANSI
// code page and paths as UTF-8; the system takes UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tomo::win32 {

std::wstring Widen(std::string_view text, UINT codePage);
// Characters the code page lacks become its default character.
std::string Narrow(std::wstring_view text, UINT codePage);

inline std::wstring AnsiToWide(std::string_view text) {
  return Widen(text, CP_ACP);
}
inline std::wstring Utf8ToWide(std::string_view text) {
  return Widen(text, CP_UTF8);
}
inline std::string WideToUtf8(std::wstring_view text) {
  return Narrow(text, CP_UTF8);
}

}  // namespace tomo::win32

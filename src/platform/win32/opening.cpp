#include "opening.h"

#include <string>

#include "text.h"

namespace tomo::win32 {

namespace {

// Relative to the current folder, as a shortcut's "Start in" or a console leaves it.
std::string Absolute(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return WideToUtf8(path);
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return WideToUtf8(path);
  full.resize(length);
  return WideToUtf8(full);
}

}  // namespace

std::optional<std::string> PathOnCommandLine(const wchar_t* commandLine) {
  int count = 0;
  const ArgumentList arguments(CommandLineToArgvW(commandLine, &count));
  if (!arguments || count < 2) return std::nullopt;
  // Several words are one unquoted path with spaces, as a shortcut's target may hold it.
  std::wstring path = arguments.get()[1];
  for (int i = 2; i < count; ++i) path += std::wstring(L" ") + arguments.get()[i];
  // No path holds a quote: one left over is a folder's closing backslash read as escaping
  // the closing quote ("C:\my data\").
  std::erase(path, L'"');
  if (path.empty()) return std::nullopt;
  return Absolute(path);
}

std::optional<std::string> FirstDroppedPath(DroppedFiles drop) {
  if (!drop || DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
  const UINT length = DragQueryFileW(drop.get(), 0, nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring path(length + 1, L'\0');
  path.resize(DragQueryFileW(drop.get(), 0, path.data(), length + 1));
  return Absolute(path);
}

}  // namespace tomo::win32

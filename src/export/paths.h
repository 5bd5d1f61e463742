// Paths in UTF-8, as tomodb's arguments and the storage core hold them, to the system's
// path type and back (on Windows a std::string path would be read in the ANSI code page).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tomo {

namespace fs = std::filesystem;

inline fs::path PathOf(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// In plain words, what stands at a path that is not the folder or file tomodb wants there:
// "a folder", "a named pipe", "a device", ..., or why it cannot be told.
std::string WhatStandsAt(const fs::path& path);

// Opens a file with the C runtime by its full (wide on Windows) path.
std::FILE* OpenFile(const fs::path& path, const char* mode);

}  // namespace tomo

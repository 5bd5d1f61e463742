// Paths that name a database folder: the browser's answer cut to the folder's length limit,
// and a path given by name (command line, drop) taken back to its folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tomo {

inline constexpr std::size_t kFolderCharacters = 255;  // longest DatabaseFolder, in path characters

// The first `limit` characters of a UTF-8 path, counted as the system counts path
// characters (UTF-16 units: a character beyond the basic plane counts two). A character is
// never split, and the path ends at its first zero byte.
std::string CutPath(std::string_view path, std::size_t limit);

// The database folder a path names: the folder X for its own files X\X.z04 and X\X.zbd (in
// any letter case), without trailing separators except for a drive root; any other path is
// kept as the folder, so that the database test judges it.
std::string DatabaseFolderOf(std::string_view path);

}  // namespace tomo

// The names of a database's two files: the folder's own name with these extensions. The
// viewer and tomodb both name the files by it.
#pragma once

#include <string>
#include <string_view>

namespace tomo {

inline constexpr std::string_view kFieldFileExtension = ".z04";
inline constexpr std::string_view kRecordFileExtension = ".zbd";

// The name of the database file of a folder named `folderName`.
std::string DatabaseFileName(std::string_view folderName, std::string_view extension);
// The part of a backslash path after its last backslash (the whole path when it has none).
std::string DatabaseName(std::string_view path);
// folder + "\" + DatabaseFileName(DatabaseName(folder), extension): the viewer's paths.
std::string DatabaseFilePath(std::string_view folder, std::string_view extension);

}  // namespace tomo

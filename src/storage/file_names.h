// The names of a database's two files: the folder's name with these extensions.
#pragma once

#include <string_view>

namespace tomo {

inline constexpr std::string_view kFieldFileExtension = ".z04";
inline constexpr std::string_view kRecordFileExtension = ".zbd";

}  // namespace tomo

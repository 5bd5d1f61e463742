#include "storage/file_names.h"

namespace tomo {

std::string DatabaseFileName(std::string_view folderName, std::string_view extension) {
  std::string name(folderName);
  name += extension;
  return name;
}

std::string DatabaseName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DatabaseFilePath(std::string_view folder, std::string_view extension) {
  std::string path(folder);
  path += '\\';
  path += DatabaseFileName(DatabaseName(folder), extension);
  return path;
}

}  // namespace tomo

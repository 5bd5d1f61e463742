#include "storage/folder_path.h"

#include <algorithm>

#include "storage/file_names.h"

namespace tomo {

namespace {

constexpr std::string_view kSeparators = "\\/";

bool IsSeparator(char c) {
  return kSeparators.find(c) != std::string_view::npos;
}

// "D:" alone names the drive's current folder, not its root: the root keeps its separator.
bool IsDriveRoot(std::string_view path) {
  return path.size() == 3 && path[1] == ':' && IsSeparator(path[2]);
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letter case is ignored as the file system ignores it, for the ASCII letters only.
bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

std::string CutPath(std::string_view path, std::size_t limit) {
  path = path.substr(0, std::min(path.find('\0'), path.size()));
  std::size_t units = 0;
  std::size_t i = 0;
  while (i < path.size()) {
    const auto lead = static_cast<unsigned char>(path[i]);
    std::size_t length = 1;
    if (lead >= 0xF0) {
      length = 4;
    } else if (lead >= 0xE0) {
      length = 3;
    } else if (lead >= 0xC0) {
      length = 2;
    }
    const std::size_t width = length == 4 ? 2 : 1;
    if (units + width > limit) break;
    units += width;
    i = std::min(i + length, path.size());
  }
  return std::string(path.substr(0, i));
}

std::string DatabaseFolderOf(std::string_view path) {
  while (path.size() > 1 && IsSeparator(path.back()) && !IsDriveRoot(path)) {
    path.remove_suffix(1);
  }
  const std::size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string_view::npos) return std::string(path);
  std::string folder(path.substr(0, slash));
  if (folder.size() == 2 && folder[1] == ':') folder += path[slash];
  const std::string_view file = path.substr(slash + 1);
  const std::size_t base = folder.find_last_of(kSeparators);
  const std::string_view name =
      std::string_view(folder).substr(base == std::string::npos ? 0 : base + 1);
  for (std::string_view extension : {kFieldFileExtension, kRecordFileExtension}) {
    if (SameName(file, std::string(name) + std::string(extension))) return folder;
  }
  return std::string(path);
}

}  // namespace tomo

#include "storage/database_folder.h"

#include <algorithm>
#include <cstddef>

#include "shell/maker.h"
#include "storage/field_table.h"
#include "storage/record_file.h"

namespace tomo {

namespace {

constexpr std::size_t kTitleLimit = 259;        // the browser's title buffer holds 260 bytes
constexpr std::size_t kFolderCharacters = 255;  // longest DatabaseFolder, in path characters

std::string BrowseTitle(const App& app) {
  std::string title =
      app.UseEnglish != 0 ? "Choose database folder ..." : "Elige Carpeta de Base Datos ...";
  title += "\r\n";
  title += '\xAE';  // the registered sign in the ANSI code page
  title += ' ';
  title += kMakerAddress;
  if (title.size() > kTitleLimit) title.resize(kTitleLimit);
  return title;
}

// The first `limit` characters of a UTF-8 path, counted as the system counts path
// characters (UTF-16 units: a character beyond the basic plane counts two). A character is
// never split, and the path ends at its first zero byte.
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

}  // namespace

std::string ChooseDatabaseFolder(App& app) {
  const std::optional<std::string> chosen = app.platform.ui.BrowseForFolder(BrowseTitle(app));
  if (!chosen) return {};
  std::string folder = CutPath(*chosen, kFolderCharacters);
  if (folder.empty()) return {};
  app.DatabaseFolder = folder;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

std::string DatabaseName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DatabasePath(const App& app, std::string_view extension) {
  if (app.DatabaseFolder.empty()) return {};
  return app.DatabaseFolder + "\\" + DatabaseName(app.DatabaseFolder) + std::string(extension);
}

Database DatabaseOf(App& app) {
  return Database{app.platform.files, app.platform.ui, DatabasePath(app, kFieldFileExtension),
                  DatabasePath(app, kRecordFileExtension), app};
}

std::int32_t IsDatabase(App& app) {
  const std::int64_t length =
      app.platform.files.OpenForReading(DatabasePath(app, kFieldFileExtension))->Length();
  return IsFieldFileLength(length) ? 1 : 0;
}

void ResetRecordColors(App& app) {
  app.RecordColors.clear();
  // The table holds no element per record, so even a damaged last entry with a huge record
  // number costs nothing here.
  app.RecordColorsCount = std::max<std::int64_t>(CountRecords(app), 0);
}

}  // namespace tomo

#include "storage/database_folder.h"

#include <algorithm>
#include <cstddef>

#include "shell/maker.h"
#include "storage/field_table.h"
#include "storage/folder_path.h"
#include "storage/record_file.h"

namespace tomo {

namespace {

constexpr std::size_t kTitleLimit = 259;  // the browser's title buffer holds 260 bytes

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
  return length > 0 && length % kFieldRecordSize == 0 ? 1 : 0;
}

void ResetRecordColors(App& app) {
  app.RecordColors.clear();
  // The table holds no element per record, so even a damaged last entry with a huge record
  // number costs nothing here.
  app.RecordColorsCount = std::max<std::int64_t>(CountRecords(app), 0);
}

}  // namespace tomo

#include "shell/linked_database.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "shell/maker.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/folder_path.h"
#include "storage/record_file.h"
#include "storage/value_rendering.h"

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

std::string DatabasePath(const App& app, std::string_view extension) {
  if (app.DatabaseFolder.empty()) return {};
  return DatabaseFilePath(app.DatabaseFolder, extension);
}

Database DatabaseOf(App& app) {
  return Database{app.platform.files, app.platform.ui, DatabasePath(app, kFieldFileExtension),
                  DatabasePath(app, kRecordFileExtension), app};
}

std::int32_t IsDatabase(App& app) {
  return IsDatabase(DatabaseOf(app)) ? 1 : 0;
}

void ResetRecordColors(App& app) {
  app.RecordColors.clear();
  // The table holds no element per record, so even a damaged last entry with a huge record
  // number costs nothing here.
  app.RecordColorsCount = std::max<std::int64_t>(CountRecords(app), 0);
}

std::int64_t LoadFieldTable(App& app) {
  app.Fields = ReadFieldTable(DatabaseOf(app));
  return static_cast<std::int64_t>(app.Fields.size());
}

std::int64_t CountRecords(App& app) {
  return CountRecords(DatabaseOf(app));
}

void FillGrid(App& app, std::int64_t first) {
  LoadFieldTable(app);
  // The fill's own copy: a message handled during its scan may load the field table anew.
  const std::vector<FieldDef> fields = app.Fields;
  const FillWindow window{app.FirstField, app.LastRow, first, app.LastColumn};
  FillValues(DatabaseOf(app), fields, window, [&app](const ShownValue& value) {
    const int column = static_cast<int>(value.column);
    app.Cells.Set(column, value.row,
                  std::string(RenderValue(value.field, value.stored.value_or(kNoData))));
    app.Cells.Set(column, 0, std::to_string(value.record));
  });
  for (int r = 1; r <= window.rows; ++r) {
    const std::int64_t f = window.firstField + r - 1;
    if (f >= 1 && f <= static_cast<std::int64_t>(fields.size())) {
      app.Cells.Set(0, r, fields[static_cast<std::size_t>(f - 1)].Name);
    }
  }
}

std::int32_t FindRecordByValue(App& app) {
  const std::int64_t field = static_cast<std::int64_t>(app.FirstField) + app.CurrentRow - 1;
  if (field < 1 || field > static_cast<std::int64_t>(app.Fields.size())) return 0;
  const std::int64_t found = FindRecordByValue(
      DatabaseOf(app), app.Fields[static_cast<std::size_t>(field - 1)].Name, app.TypedText);
  if (found == 0) return 0;
  app.FirstRecord = found;
  return 1;
}

}  // namespace tomo

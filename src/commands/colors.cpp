#include "commands/colors.h"

#include "shell/repaint.h"
#include "storage/database_folder.h"

namespace tomo {

namespace {

constexpr Color kColorDialogStart = 0x808080;
constexpr int kSwatchSize = 16;
constexpr int kSwatchCornerPercent = 15;

// The mark of a record that has an element in the colour table; nullptr for any other
// record number (record 0, or records beyond the count when the table was made).
ColorMark* MarkOf(App& app, std::int64_t record) {
  if (record < 1 || record > static_cast<std::int64_t>(app.RecordColors.size())) return nullptr;
  return &app.RecordColors[static_cast<std::size_t>(record - 1)];
}

void Mark(App& app, bool wholeRecord) {
  if (app.DatabaseLinked != 1 || app.CurrentColumn < 1 || app.CurrentColumn > app.LastColumn) {
    return;
  }
  const auto record = static_cast<std::int64_t>(static_cast<std::uint64_t>(app.FirstRecord) +
                                                static_cast<std::uint64_t>(app.CurrentColumn - 1));
  ColorMark* mark = MarkOf(app, record);
  if (mark == nullptr) return;  // nothing is ever written outside the table
  *mark = ColorMark{wholeRecord ? 0 : 1, wholeRecord ? 1 : 0, record,
                    app.SwatchColor,     app.CurrentColumn,   app.CurrentRow};
  app.LastColoredRecord = record;
  Repaint(app);
}

}  // namespace

void ChooseColorCommand(App& app) {
  if (auto chosen = app.platform.ui.ChooseColor(kColorDialogStart, app.CustomColors)) {
    app.SwatchColor = *chosen;
  }
}

void MarkCell(App& app) {
  Mark(app, false);
}

void MarkRecord(App& app) {
  Mark(app, true);
}

void UndoColor(App& app) {
  if (ColorMark* mark = MarkOf(app, app.LastColoredRecord)) {
    mark->CellMarked = 0;
    mark->RecordMarked = 0;
  }
  app.LastColoredRecord = 0;
  Repaint(app);
}

void ResetColors(App& app) {
  ResetRecordColors(app);
  Repaint(app);
}

std::string MakeSwatch(App& app, const Color& color) {
  DrawingSurface& draw = app.platform.draw;
  const PictureId picture = draw.CreatePicture(kSwatchSize, kSwatchSize);
  if (picture == 0) return {};
  draw.SelectTarget(picture);
  draw.Box(0, 0, kSwatchSize, kSwatchSize, kSwatchCornerPercent, kBlack, color);
  std::string path = app.platform.files.CreateTempFile();
  if (!path.empty() && !draw.SavePicture(path)) {
    app.platform.files.DeleteTempFile(path);
    path.clear();
  }
  draw.DeletePicture(picture);
  draw.SelectTarget(kGridSurface);
  return path;
}

void DeleteSwatch(App& app, const std::string& path) {
  app.platform.files.DeleteTempFile(path);
}

}  // namespace tomo

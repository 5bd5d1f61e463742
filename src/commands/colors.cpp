#include "commands/colors.h"

#include "shell/linked_database.h"
#include "shell/repaint.h"

namespace tomo {

namespace {

constexpr Color kColorDialogStart = 0x808080;
constexpr int kSwatchSize = 16;
constexpr int kSwatchCornerPercent = 15;

// True for the records that can carry a mark: 1..RecordColorsCount. Record 0 and records
// beyond the count when the table was made are never marked.
bool Markable(const App& app, std::int64_t record) {
  return record >= 1 && record <= app.RecordColorsCount;
}

void Mark(App& app, bool wholeRecord) {
  if (app.DatabaseLinked != 1 || app.CurrentColumn < 1 || app.CurrentColumn > app.LastColumn) {
    return;
  }
  const auto record = static_cast<std::int64_t>(static_cast<std::uint64_t>(app.FirstRecord) +
                                                static_cast<std::uint64_t>(app.CurrentColumn - 1));
  if (!Markable(app, record)) return;
  app.RecordColors[record] = ColorMark{wholeRecord ? 0 : 1, wholeRecord ? 1 : 0, record,
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
  // An unmarked record keeps no element; the mark it replaced does not come back.
  app.RecordColors.erase(app.LastColoredRecord);
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

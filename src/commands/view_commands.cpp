#include "commands/view_commands.h"

#include "shell/linked_database.h"
#include "shell/repaint.h"
#include "shell/texts.h"
#include "storage/fill_grid.h"
#include "views/paint_grid.h"

namespace tomo {

namespace {

void RefillFromFirstRecord(App& app) {
  RecreateCellGrid(app);
  FillGrid(app, app.FirstRecord);
  app.ReportShown = 0;
  Repaint(app);
}

}  // namespace

void LinkDatabase(App& app) {
  // What counts is the folder named afterwards: the new one, or the old one on cancel.
  ChooseDatabaseFolder(app);
  LinkDatabaseFolder(app);
}

void LinkDatabaseFolder(App& app) {
  if (IsDatabase(app) == 0) {
    app.platform.ui.ShowMessage(Say(app, {"It's not a Database", "NO es Base de Datos ..."}),
                                kMessageTitle);
    return;
  }
  ResetRecordColors(app);
  app.Summary.reset();
  RecreateCellGrid(app);
  app.FirstRecord = 1;
  app.FirstField = 1;
  FillGrid(app, 1);
  app.DatabaseLinked = 1;
  app.ReportShown = 0;
  Repaint(app);
}

// Reads the record file anew, whatever the file system says of it: the file may have
// changed without its length or last-write time showing it.
void Update(App& app) {
  if (app.DatabaseLinked != 1) return;
  app.Summary.reset();
  RefillFromFirstRecord(app);
}

void ShowFirstRecord(App& app) {
  if (app.DatabaseLinked != 1) return;
  app.FirstRecord = 1;
  RefillFromFirstRecord(app);
}

void ScrollData(App& app) {
  if (app.DatabaseLinked != 1 || app.ReportShown != 0) return;
  const std::string whole = app.Cells.At(app.CurrentColumn, app.CurrentRow);
  if (whole.size() <= kCellTextLength) return;
  for (std::size_t start = 0; start < whole.size(); ++start) {
    app.Cells.Set(app.CurrentColumn, app.CurrentRow, whole.substr(start, kCellTextLength));
    Repaint(app);
    app.platform.ui.Sleep(200);
  }
  app.Cells.Set(app.CurrentColumn, app.CurrentRow, whole);
  Repaint(app);
}

}  // namespace tomo

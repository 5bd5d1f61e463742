#include "storage/fill_grid.h"

#include <algorithm>

#include "storage/field_table.h"
#include "storage/record_file.h"
#include "storage/value_rendering.h"
#include "storage/visible_values.h"

namespace tomo {

namespace {

struct ShownRow {
  int gridRow;
  FieldDef field;
  std::size_t name;  // index among the distinct names shown
};

}  // namespace

void FillGrid(App& app, std::int64_t first) {
  const std::int64_t fieldCount = LoadFieldTable(app);
  // Everything the fill depends on is taken now: a message handled during the scan may run
  // another operation, and this fill still shows what it would have shown alone.
  const std::int64_t firstField = app.FirstField;
  const std::int64_t columns = std::max<std::int64_t>(app.LastColumn, 0);
  const int rows = app.LastRow;
  if (rows < 1) return;
  const auto exists = [&](std::int64_t f) { return f >= 1 && f <= fieldCount; };

  std::vector<ShownRow> shown;
  std::vector<std::string> names;
  for (int r = 1; r <= rows; ++r) {
    const std::int64_t f = firstField + r - 1;
    if (!exists(f)) continue;
    const FieldDef& field = app.Fields[static_cast<std::size_t>(f - 1)];
    const auto name = std::find(names.begin(), names.end(), field.Name);
    shown.push_back(ShownRow{r, field, static_cast<std::size_t>(name - names.begin())});
    if (name == names.end()) names.push_back(field.Name);
  }
  const bool firstExists = exists(firstField);
  std::string viewName =
      firstExists ? app.Fields[static_cast<std::size_t>(firstField - 1)].Name : std::string();
  std::int64_t scanStart = app.ScanStart;
  std::int64_t scanRecord = app.ScanRecord;

  const VisibleValues values(app, std::move(names), first, columns, firstExists,
                             std::move(viewName));
  const std::int64_t viewStart = values.ViewStart();

  // The reads of the fill, row by row from ViewStart and record by record.
  for (const ShownRow& row : shown) {
    app.Cells.Set(0, row.gridRow, row.field.Name);
    scanStart = viewStart;
    for (std::int64_t c = 1; c <= columns; ++c) {
      const auto record = static_cast<std::int64_t>(static_cast<std::uint64_t>(first) +
                                                    static_cast<std::uint64_t>(c - 1));
      const VisibleValues::Read read =
          values.ReadFrom(row.name, c - 1, std::max<std::int64_t>(scanStart, 1));
      if (read.found && record != scanRecord) {
        scanStart = read.completion;
        scanRecord = record;
      }
      const int gridColumn = static_cast<int>(c);
      app.Cells.Set(gridColumn, row.gridRow,
                    RenderValue(row.field, read.found ? read.text : kNoData));
      app.Cells.Set(gridColumn, 0, std::to_string(record));
    }
  }
  app.ViewStart = viewStart;
  app.ScanStart = scanStart;
  app.ScanRecord = scanRecord;
}

}  // namespace tomo

#include "storage/fill_grid.h"

#include <algorithm>
#include <string>

#include "storage/record_file.h"
#include "storage/visible_values.h"

namespace tomo {

namespace {

struct ShownRow {
  int gridRow;
  const FieldDef* field;
  std::size_t name;  // index among the distinct names shown
};

}  // namespace

void FillValues(const Database& database, const std::vector<FieldDef>& fields,
                const FillWindow& window, const std::function<void(const ShownValue&)>& shown) {
  // Everything the fill depends on is taken now: a message handled during the scan may run
  // another operation, and this fill still shows what it would have shown alone.
  const auto fieldCount = static_cast<std::int64_t>(fields.size());
  const std::int64_t firstField = window.firstField;
  const std::int64_t columns = std::max<std::int64_t>(window.columns, 0);
  const std::int64_t first = window.first;
  if (window.rows < 1) return;
  const auto exists = [&](std::int64_t f) { return f >= 1 && f <= fieldCount; };

  std::vector<ShownRow> rows;
  std::vector<std::string> names;
  for (int r = 1; r <= window.rows; ++r) {
    const std::int64_t f = firstField + r - 1;
    if (!exists(f)) continue;
    const FieldDef& field = fields[static_cast<std::size_t>(f - 1)];
    const auto name = std::find(names.begin(), names.end(), field.Name);
    rows.push_back(ShownRow{r, &field, static_cast<std::size_t>(name - names.begin())});
    if (name == names.end()) names.push_back(field.Name);
  }
  const bool firstExists = exists(firstField);
  std::string viewName =
      firstExists ? fields[static_cast<std::size_t>(firstField - 1)].Name : std::string();
  ReadState& state = database.state;
  std::int64_t scanStart = state.ScanStart;
  std::int64_t scanRecord = state.ScanRecord;

  const VisibleValues values(database, std::move(names), first, columns, firstExists,
                             std::move(viewName));
  const std::int64_t viewStart = values.ViewStart();

  // The reads of the fill, row by row from ViewStart and record by record.
  for (const ShownRow& row : rows) {
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
      shown(ShownValue{row.gridRow, c, record, *row.field,
                       read.found ? std::optional<std::string_view>(read.text) : std::nullopt});
    }
  }
  state.ViewStart = viewStart;
  state.ScanStart = scanStart;
  state.ScanRecord = scanRecord;
}

}  // namespace tomo

#include "support/reference_shown.h"

#include <algorithm>
#include <set>

#include "storage/shown_records.h"
#include "support/reference_files.h"
#include "support/reference_reader.h"
#include "support/reference_values.h"

namespace tomo::testing {

Shown ReferenceShown(App& app) {
  const std::vector<FieldDef> fields = reference::LoadFields(app);
  std::set<std::int64_t> numbers;
  reference::RecordFile file(app);
  for (std::int64_t i = 1; i <= file.Entries(); ++i) numbers.insert(file.Read(i).record);
  const std::int64_t count = std::max<std::int64_t>(reference::CountRecords(app), 0);
  std::set<std::int64_t> rows;
  for (std::int64_t r : numbers) {
    if (r >= 1) rows.insert(r);
  }
  const auto withEntries = static_cast<std::int64_t>(rows.size());
  const std::int64_t empty =
      count - static_cast<std::int64_t>(std::distance(rows.begin(), rows.upper_bound(count)));
  if (!TooManyEmptyRecords(empty, withEntries)) {
    for (std::int64_t r = 1; r <= count; ++r) rows.insert(r);
  }
  Shown shown;
  for (std::int64_t r : rows) {
    shown.records.push_back(r);
    const std::int64_t start =
        fields.empty() ? 0 : reference::FindValueStart(app, fields[0].Name, r);
    auto& row = shown.values.emplace_back();
    for (const FieldDef& field : fields) {
      app.ScanStart = start;
      std::string value = reference::ReadValue(app, field.Name, r);
      row.emplace_back(value == reference::kNoData ? std::nullopt
                                                   : std::optional(std::move(value)));
    }
  }
  return shown;
}

}  // namespace tomo::testing

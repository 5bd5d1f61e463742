#include "support/reference_reader.h"

#include <algorithm>

#include "support/reference_files.h"
#include "support/reference_values.h"

namespace tomo::testing::reference {

std::int64_t CountRecords(App& app) {
  RecordFile file(app);
  return file.Entries() == 0 ? 0 : file.Read(file.Entries()).record;
}

std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record) {
  std::string collected;
  std::string result;
  RecordFile file(app);
  for (std::int64_t i = std::max<std::int64_t>(app.ScanStart, 1); i <= file.Entries(); ++i) {
    const Entry entry = file.Read(i);
    if (!entry.Is(fieldName)) {
      collected.clear();
      continue;
    }
    if (entry.record != record) continue;
    collected += entry.character;
    if (entry.mark == 1) {
      result = collected;
      if (record != app.ScanRecord) {
        app.ScanStart = i;
        app.ScanRecord = record;
      }
      break;
    }
  }
  return result.empty() ? std::string(kNoData) : result;
}

std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record) {
  RecordFile file(app);
  for (std::int64_t i = 1; i <= file.Entries(); ++i) {
    const Entry entry = file.Read(i);
    if (entry.Is(fieldName) && entry.record == record) return i;
  }
  return 0;
}

std::int32_t FindRecordByValue(App& app) {
  const std::vector<FieldDef> fields = LoadFields(app);
  const std::int64_t field = static_cast<std::int64_t>(app.FirstField) + app.CurrentRow - 1;
  if (field < 1 || field > static_cast<std::int64_t>(fields.size())) return 0;
  const std::string& name = fields[static_cast<std::size_t>(field - 1)].Name;
  app.ScanStart = 1;
  const std::int64_t count = CountRecords(app);
  for (std::int64_t r = 1; r <= count; ++r) {
    if (ReadValue(app, name, r) == app.TypedText) {
      app.FirstRecord = r;
      return 1;
    }
    if (r == count) break;  // the largest record number has no successor
  }
  return 0;
}

void FillGrid(App& app, std::int64_t first) {
  app.Fields = LoadFields(app);
  const auto fieldCount = static_cast<std::int64_t>(app.Fields.size());
  const std::int64_t lastField = static_cast<std::int64_t>(app.FirstField) + app.LastRow - 1;
  for (std::int64_t f = app.FirstField; f <= lastField; ++f) {
    const int row = static_cast<int>(f - app.FirstField + 1);
    const bool exists = f >= 1 && f <= fieldCount;
    const FieldDef* field = exists ? &app.Fields[static_cast<std::size_t>(f - 1)] : nullptr;
    if (f == app.FirstField) app.ViewStart = exists ? FindValueStart(app, field->Name, first) : 0;
    if (!exists) continue;
    app.Cells.Set(0, row, field->Name);
    app.ScanStart = app.ViewStart;
    for (int c = 1; c <= app.LastColumn; ++c) {
      // Record numbers past the largest one wrap around, as the program's do.
      const auto record = static_cast<std::int64_t>(static_cast<std::uint64_t>(first) +
                                                    static_cast<std::uint64_t>(c - 1));
      app.Cells.Set(c, row, ShownText(*field, ReadValue(app, field->Name, record)));
      app.Cells.Set(c, 0, std::to_string(record));
    }
  }
}

}  // namespace tomo::testing::reference

#include "storage/record_file.h"

#include "storage/entry_blocks.h"

namespace tomo {

RecordFileSize MeasureRecordFile(App& app) {
  EntryBlocks file(app, 1);
  return RecordFileSize{file.Entries(), file.LastRecord()};
}

std::int64_t CountRecords(App& app) {
  return MeasureRecordFile(app).lastRecord;
}

std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record) {
  // The read positions as they were when the read began: an operation run meanwhile by a
  // message handled during the scan does not change what this read finds.
  const std::int64_t scanRecord = app.ScanRecord;
  std::string collected;
  EntryBlocks blocks(app, app.ScanStart);
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      const CharEntry entry = blocks.At(k);
      if (!entry.Is(fieldName)) {
        collected.clear();
        continue;
      }
      if (entry.record != record) continue;
      collected += entry.character;
      if (entry.mark != 1) continue;
      if (record != scanRecord) {
        app.ScanStart = blocks.First() + k;
        app.ScanRecord = record;
      }
      return collected;
    }
  }
  return std::string(kNoData);
}

std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record) {
  EntryBlocks blocks(app, 1);
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      const CharEntry entry = blocks.At(k);
      if (entry.record == record && entry.Is(fieldName)) return blocks.First() + k;
    }
  }
  return 0;
}

}  // namespace tomo

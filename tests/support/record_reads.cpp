#include "support/record_reads.h"

#include "shell/linked_database.h"
#include "storage/entry_blocks.h"
#include "storage/record_file.h"

namespace tomo {

std::string ReadValue(const Database& database, std::string_view fieldName, std::int64_t record) {
  ReadState& state = database.state;
  // The read positions as they were when the read began: an operation run meanwhile by a
  // message handled during the scan does not change what this read finds.
  const std::int64_t scanRecord = state.ScanRecord;
  std::string collected;
  EntryBlocks blocks(database, state.ScanStart);
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
        state.ScanStart = blocks.First() + k;
        state.ScanRecord = record;
      }
      return collected;
    }
  }
  return std::string(kNoData);
}

std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record) {
  return ReadValue(DatabaseOf(app), fieldName, record);
}

std::int64_t FindValueStart(const Database& database, std::string_view fieldName,
                            std::int64_t record) {
  EntryBlocks blocks(database, 1);
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      const CharEntry entry = blocks.At(k);
      if (entry.record == record && entry.Is(fieldName)) return blocks.First() + k;
    }
  }
  return 0;
}

std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record) {
  return FindValueStart(DatabaseOf(app), fieldName, record);
}

}  // namespace tomo

#include "storage/record_file.h"

#include <algorithm>
#include <limits>

#include "storage/char_entry.h"
#include "storage/entry_blocks.h"

namespace tomo {

RecordFileSize MeasureRecordFile(const Database& database) {
  EntryBlocks file(database, 1);
  return RecordFileSize{file.Entries(), file.LastRecord(),
                        std::max<std::int64_t>(file.Stamp().length, 0) % kEntrySize};
}

std::int64_t HighestRecord(const Database& database) {
  EntryBlocks file(database, 1);
  file.ReadAhead();
  std::int64_t highest = std::numeric_limits<std::int64_t>::min();
  while (file.Next()) {
    for (std::int64_t k = 0; k < file.Count(); ++k) {
      highest = std::max(highest, EntryRecord(file.Bytes(k)));
    }
  }
  return highest == std::numeric_limits<std::int64_t>::min() ? 0 : highest;
}

std::int64_t CountRecords(const Database& database) {
  return MeasureRecordFile(database).lastRecord;
}

}  // namespace tomo

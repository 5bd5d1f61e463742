#include "storage/record_file.h"

#include "storage/entry_blocks.h"

namespace tomo {

RecordFileSize MeasureRecordFile(const Database& database) {
  EntryBlocks file(database, 1);
  return RecordFileSize{file.Entries(), file.LastRecord()};
}

std::int64_t CountRecords(const Database& database) {
  return MeasureRecordFile(database).lastRecord;
}

}  // namespace tomo

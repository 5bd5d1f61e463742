// The record file: 54-byte character entries, read in large blocks (entry_blocks.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/char_entry.h"
#include "storage/database.h"

namespace tomo {

inline constexpr std::string_view kNoData = "No datos";

// The record file's size, in one look.
struct RecordFileSize {
  std::int64_t entries = 0;       // whole entries
  std::int64_t lastRecord = 0;    // the record number of the last whole entry, 0 without one
  std::int64_t partialBytes = 0;  // after the last whole entry: the start of an entry cut short
};
RecordFileSize MeasureRecordFile(const Database& database);

// The highest record number of the file's entries, in one pass; 0 for an empty file.
std::int64_t HighestRecord(const Database& database);

// The record number of the file's last whole entry; 0 for an empty file.
std::int64_t CountRecords(const Database& database);
// The first record, reading records 1, 2, ... each from ScanStart, whose value of the field
// equals `typed`; 0 when none does. Leaves ScanStart and ScanRecord where those reads leave
// them. One pass over the record file at most; an operation run by a message handled during
// the scan does not change what it finds.
std::int64_t FindRecordByValue(const Database& database, std::string_view fieldName,
                               const std::string& typed);
}  // namespace tomo

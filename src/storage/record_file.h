// The record file: 54-byte character entries, read in large blocks (entry_blocks.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app.h"
#include "storage/char_entry.h"

namespace tomo {

inline constexpr std::string_view kNoData = "No datos";

// The record file's size, in one look.
struct RecordFileSize {
  std::int64_t entries = 0;     // whole entries
  std::int64_t lastRecord = 0;  // the record number of the last whole entry, 0 without one
};
RecordFileSize MeasureRecordFile(App& app);

// The record number of the file's last whole entry; 0 for an empty file.
std::int64_t CountRecords(App& app);
// The value of the field in the record, or "No datos"; scans from ScanStart and may advance
// ScanStart and ScanRecord.
std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record);
// The entry number of the first entry of the field in the record; 0 when there is none.
std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record);
// Searches the field shown in the current row (of the field table as last loaded) for the
// first record whose value equals TypedText; on success sets FirstRecord and returns 1, else
// returns 0. One pass over the record file at most; an operation run by a message handled
// during the scan does not change what it finds.
std::int32_t FindRecordByValue(App& app);

}  // namespace tomo

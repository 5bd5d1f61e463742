// The record file: 54-byte character entries, read in large blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app.h"
#include "storage/char_entry.h"

namespace tomo {

inline constexpr std::string_view kNoData = "No datos";

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
// Searches the field shown in the current row for the first record whose value equals
// TypedText; on success sets FirstRecord and returns 1, else returns 0.
std::int32_t FindRecordByValue(App& app);

}  // namespace tomo

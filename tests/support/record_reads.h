// Reads of one value and of one value's start, through the program's block reading. The
// viewer no longer reads a value at a time; the tests keep these to hold the block reading
// to the entry-by-entry reference (reference_reader.h) one read at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app.h"
#include "storage/database.h"

namespace tomo {

// The value of the field in the record, or "No datos"; scans from ScanStart and may advance
// ScanStart and ScanRecord.
std::string ReadValue(const Database& database, std::string_view fieldName, std::int64_t record);
std::string ReadValue(App& app, std::string_view fieldName, std::int64_t record);
// The entry number of the first entry of the field in the record; 0 when there is none.
std::int64_t FindValueStart(const Database& database, std::string_view fieldName,
                            std::int64_t record);
std::int64_t FindValueStart(App& app, std::string_view fieldName, std::int64_t record);

}  // namespace tomo

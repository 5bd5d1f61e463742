// The one pass over the record file behind ReadShownRecords (shown_records.h): every value a
// ReadValue could return (an entry marked 1, its character and those of its name and record
// before it, back to the last entry of another name), and where each record's value of
// field 1 starts. Choosing among them is left to the caller.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/field_names.h"
#include "storage/found_values.h"
#include "storage/record_batch.h"
#include "storage/well_formed.h"

namespace tomo {

struct RecordStart {
  std::int64_t record = 0;
  std::int64_t start = 0;  // its first entry of field 1's name; 0 for none
};

struct ShownValues {
  // Only the first value of a record within a stretch of entries of one name is kept: a scan
  // that reaches a later one stops at the first.
  FoundValues values;
  std::vector<RecordStart> records;  // every record number that has an entry, ascending
  std::int64_t lastRecord = 0;       // of the last entry read
  bool cutShort = false;
};

// Reads the record file from entry `first` on.
// The first of the records, in ascending order, above record number `number`.
inline std::vector<RecordStart>::const_iterator RecordsAbove(
    const std::vector<RecordStart>& records, std::int64_t number) {
  return std::upper_bound(records.begin(), records.end(), number,
                          [](std::int64_t n, const RecordStart& r) { return n < r.record; });
}

ShownValues FindShownValues(const Database& database, const FieldNames& names,
                            const ReadProgress& progress, std::int64_t first = 1);

// The value of each name that `record` shows, by name, out of those `found` holds: the first
// that ends after the record's start, or the first of all when the values are read from
// before them all (`fromBefore`: the record has no start, or one before the entries read).
// Records asked for must ascend.
void PickShownValues(ShownValues& found, const RecordStart& record, bool fromBefore,
                     RecordValues& byName);

}  // namespace tomo

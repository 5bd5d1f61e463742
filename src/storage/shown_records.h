// Every record as the viewer shows it when the user goes to it with field 1 at the top: its
// values are read from the start of its value of field 1 on (FindValueStart, then ScanStart
// = ViewStart and ReadValue for each field). A record shown that way depends on nothing
// before it, so one damaged or appended value cannot blank the records after it, as it
// can in a fill of the whole database from record 1.
//
// ReadShownRecords reads the record file once, in time and memory linear in its entries,
// whatever their order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/record_stream.h"
#include "storage/well_formed.h"

namespace tomo {

// Records without entries are left out when there would be more of them than this and ten
// times the records with entries: a damaged record number (a last entry naming record 4e18,
// a jump from 64 to 4,000,000) must not turn into millions of empty rows.
inline constexpr std::int64_t kFewEmptyRecords = 1000;
inline constexpr std::int64_t kEmptyRecordsPerRecord = 10;
inline bool TooManyEmptyRecords(std::int64_t empty, std::int64_t withEntries) {
  return empty > std::max(kFewEmptyRecords, kEmptyRecordsPerRecord * withEntries);
}

struct ShownRecordsReport {
  std::int64_t recordCount = 0;    // the record number of the last entry, as the viewer counts
  std::int64_t highest = 0;        // the highest record number that has an entry; 0 for none
  std::int64_t beyondCount = 0;    // records above recordCount that have entries, handed out
  std::int64_t belowOneCount = 0;  // record numbers below 1 that have entries: left out
  bool onlyWithEntries = false;    // records without entries were left out
  std::int64_t handedOut = 0;
  bool cutShort = false;  // the file ended before the entries it had when opened
  bool operator==(const ShownRecordsReport&) const = default;
};

// Hands out, in ascending order, records 1..recordCount and then every record above it that
// has an entry, or, when records without entries would be far too many, only the records
// that have entries. Values are as stored; none when ReadValue would find no complete value.
ShownRecordsReport ReadShownRecords(const Database& database, const std::vector<FieldDef>& fields,
                                    const RecordSink& sink, const ReadProgress& progress = {});

}  // namespace tomo

// Every record of a well-formed database (well_formed.h) with the values a grid fill showing
// every field (from field 1) and every record (from record 1) would show, which on such a
// file are also each record's values as shown when the user goes to it (shown_records.h).
//
// StreamRecords reads the file once and hands out each record as it completes, in memory
// independent of the number of records; it stops at the first entry that breaks the order,
// and the caller then discards what it got and reads the shown records instead.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/record_batch.h"
#include "storage/well_formed.h"

namespace tomo {

// Takes records in ascending order of record numbers.
using RecordSink = std::function<void(std::int64_t record, const RecordValues& values)>;
// Takes the next records, many at a time. It may swap the batch's contents for an empty
// batch's (keeping its room for the next), to look at them on another thread.
using BatchSink = std::function<void(RecordBatch& batch)>;
enum class StreamOutcome {
  kComplete,       // every record handed out
  kNotWellFormed,  // stopped at the first entry that breaks the well-formed order
  kCutShort,       // the record file could not be read to its end
};
StreamOutcome StreamRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const RecordSink& sink, const ReadProgress& progress = {});
// The same, in batches, of the entries before entry `before` (the whole file for 0).
StreamOutcome StreamBatches(const Database& database, const std::vector<FieldDef>& fields,
                            const BatchSink& sink, const ReadProgress& progress = {},
                            std::int64_t before = 0);

}  // namespace tomo

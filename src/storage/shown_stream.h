// Records as shown (shown_records.h), streamed rather than gathered: a record file in the
// well-formed order whole, or the well-formed start of one whose last entries were appended out
// of order (a value edited by appending it at the end), the records those entries touch read
// as shown. Memory is independent of the number of records, but for the appended entries'.
#pragma once

#include <cstdint>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/record_stream.h"
#include "storage/shown_records.h"

namespace tomo {

// The first of the entries appended out of order at the end of the record file: the first
// entry of the file's last block whose record number is below the entry's before it. 0 for
// none.
std::int64_t FindAppendedTail(const Database& database);

struct ShownStream {
  StreamOutcome outcome = StreamOutcome::kComplete;
  ShownRecordsReport report;  // when complete
};

// Hands out what ReadShownRecords would, when the entries before entry `tail` (all of them
// for 0) are in the well-formed order: their records a batch at a time to `batches`, except
// the batches with records that the entries from `tail` on touch, which go one record at a
// time to `records`, as do the records after them. kNotWellFormed when the entries are not in
// that order, or when the records without entries would be too many to hand out: the caller
// then discards what it got and reads the shown records instead.
ShownStream StreamShownRecords(const Database& database, const std::vector<FieldDef>& fields,
                               std::int64_t tail, const BatchSink& batches,
                               const RecordSink& records, const ReadProgress& progress = {});

}  // namespace tomo

// How an export reads a database: by streaming it in one pass when the record file is in
// the well-formed order, or is but for values appended out of order at its end
// (shown_stream.h), else each record as shown when the user goes to it (shown_records.h),
// which is what the stream hands out on such a file. It chooses and hands the records on;
// what becomes of them is the sink's concern.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/record_file.h"
#include "storage/record_stream.h"
#include "storage/shown_records.h"

namespace tomo {

// Where an export's records go, in ascending order of record numbers.
class ExportSink {
 public:
  virtual ~ExportSink() = default;
  // Starts the output, once the reading knows that it can begin.
  virtual void Start() = 0;
  // Takes the next record.
  virtual void Take(std::int64_t record, const RecordValues& values) = 0;
  // Takes the next records; it may swap the batch's contents away (record_stream.h).
  virtual void Take(RecordBatch& batch) {
    batch.ForEach(
        [this](std::int64_t record, const RecordValues& values) { Take(record, values); });
  }
  // Every record has been taken.
  virtual void Complete() = 0;
  // Drops every record taken, to take them again from the first.
  virtual void StartOver() = 0;
};

struct ExportReading {
  // True when the output cannot take back what it got (standard output): a first pass
  // then sees whether the file streams before anything goes out.
  bool checkFirst = false;
  ReadProgress progress;
  // Runs before each record, or each batch of records, of every pass; it may throw to stop
  // the reading.
  std::function<void()> beforeRecord;
};

enum class ExportEnd {
  kComplete,  // every record handed to the sink
  kCutShort,  // the stream could not read the record file to its end
  kChanged,   // a checked file was no longer well formed on the pass that wrote
};

struct ExportOutcome {
  ExportEnd end = ExportEnd::kComplete;
  RecordFileSize size;        // the record file as measured before reading
  ShownRecordsReport report;  // which records went out, and what was left out
};

// Reads every record of the database (ExportEnd tells why not) into `sink`.
ExportOutcome ReadForExport(const Database& database, const std::vector<FieldDef>& fields,
                            const ExportReading& reading, ExportSink& sink);

}  // namespace tomo

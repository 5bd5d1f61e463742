// How an export reads a database: by streaming it in one pass when the record file is in
// the well-formed order, else by the exact reading of the whole database (record_stream.h).
// It chooses and hands the records on; what becomes of them is the sink's concern.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/record_file.h"
#include "storage/record_stream.h"

namespace tomo {

// Where an export's records go, in order from record 1.
class ExportSink {
 public:
  virtual ~ExportSink() = default;
  // Starts the output, once the reading knows that it can begin.
  virtual void Start() = 0;
  // Takes the next record.
  virtual void Take(std::int64_t record, const RecordValues& values) = 0;
  // Every record has been taken.
  virtual void Complete() = 0;
  // Drops every record taken, to take them again from record 1.
  virtual void StartOver() = 0;
};

struct ExportReading {
  // True when the output cannot take back what it got (standard output): a first pass
  // then sees whether the file streams before anything goes out.
  bool checkFirst = false;
  ReadProgress progress;
  // Runs before each record of every pass; it may throw to stop the reading.
  std::function<void()> beforeRecord;
};

enum class ExportEnd {
  kComplete,       // every record handed to the sink
  kDamagedCount,   // the last entry's record number is far beyond the file's entries
  kCutShort,       // the record file could not be read to its end
  kChanged,        // a checked file was no longer well formed on the pass that wrote
  kTooManyValues,  // not well formed, and too big for the exact reading
};

struct ExportOutcome {
  ExportEnd end = ExportEnd::kComplete;
  RecordFileSize size;  // the record file as measured before reading
};

// Reads every record of the database (ExportEnd tells why not) into `sink`.
ExportOutcome ReadForExport(const Database& database, const std::vector<FieldDef>& fields,
                            const ExportReading& reading, ExportSink& sink);

}  // namespace tomo

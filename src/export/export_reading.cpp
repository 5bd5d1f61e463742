#include "export/export_reading.h"

#include <algorithm>

namespace tomo {

namespace {

// Counts what a stream hands out, to tell whether its records without entries are so many
// that the reading of shown records would leave them out: a record of a well-formed file
// has entries exactly when it has a value.
class Counted {
 public:
  explicit Counted(BatchSink then) : then_(std::move(then)) {}
  BatchSink Sink() {
    return [this](RecordBatch& batch) {
      const std::size_t records = batch.records.size();
      handedOut_ += static_cast<std::int64_t>(records);
      const auto fields =
          static_cast<std::ptrdiff_t>(records == 0 ? 0 : batch.ends.size() / records);
      for (std::size_t r = 0; r < records; ++r) {
        const auto first = batch.ends.begin() + static_cast<std::ptrdiff_t>(r) * fields;
        withEntries_ += std::any_of(first, first + fields,
                                    [](std::int64_t end) { return end != RecordBatch::kAbsent; });
      }
      then_(batch);
    };
  }
  bool TooManyEmpty() const { return TooManyEmptyRecords(handedOut_ - withEntries_, withEntries_); }
  ShownRecordsReport Report() const {
    ShownRecordsReport report;
    report.recordCount = report.highest = report.handedOut = handedOut_;
    return report;
  }

 private:
  const BatchSink then_;
  std::int64_t handedOut_ = 0;
  std::int64_t withEntries_ = 0;
};

}  // namespace

ExportOutcome ReadForExport(const Database& database, const std::vector<FieldDef>& fields,
                            const ExportReading& reading, ExportSink& sink) {
  ExportOutcome result{ExportEnd::kComplete, MeasureRecordFile(database), {}};
  const auto ended = [&result](ExportEnd end) {
    result.end = end;
    return result;
  };
  const auto before = [&reading] {
    if (reading.beforeRecord) reading.beforeRecord();
  };
  const RecordSink take = [&](std::int64_t record, const RecordValues& values) {
    before();
    sink.Take(record, values);
  };
  // The stream hands records over in batches, each of a few milliseconds' reading.
  const BatchSink takeBatch = [&](RecordBatch& batch) {
    before();
    sink.Take(batch);
  };
  const auto shown = [&] {
    result.report = ReadShownRecords(database, fields, take, reading.progress);
    sink.Complete();
    return result;
  };
  // A record number far beyond the entries (a stream would hand out every record without
  // entries below it): even if every entry had a record of its own, the records without
  // any would be left out.
  const std::int64_t entries = result.size.entries;
  if (TooManyEmptyRecords(result.size.lastRecord - entries, entries)) {
    sink.Start();
    return shown();
  }
  if (reading.checkFirst) {
    Counted checked([&](RecordBatch&) { before(); });
    const StreamOutcome outcome = StreamBatches(database, fields, checked.Sink(), reading.progress);
    if (outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
    sink.Start();
    if (outcome == StreamOutcome::kNotWellFormed || checked.TooManyEmpty()) return shown();
  } else {
    sink.Start();
  }
  Counted streamed(takeBatch);
  const StreamOutcome outcome = StreamBatches(database, fields, streamed.Sink(), reading.progress);
  if (outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
  if (outcome == StreamOutcome::kComplete && !streamed.TooManyEmpty()) {
    result.report = streamed.Report();
    sink.Complete();
    return result;
  }
  // What went out cannot be taken back, and the first pass found the file well formed.
  if (reading.checkFirst) return ended(ExportEnd::kChanged);
  sink.StartOver();
  return shown();
}

}  // namespace tomo

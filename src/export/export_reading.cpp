#include "export/export_reading.h"

namespace tomo {

ExportOutcome ReadForExport(const Database& database, const std::vector<FieldDef>& fields,
                            const ExportReading& reading, ExportSink& sink) {
  ExportOutcome result{ExportEnd::kComplete, MeasureRecordFile(database)};
  const auto ended = [&result](ExportEnd end) {
    result.end = end;
    return result;
  };
  if (result.size.lastRecord - result.size.entries > kMostFilledValues) {
    return ended(ExportEnd::kDamagedCount);
  }
  const RecordSink take = [&](std::int64_t record, const RecordValues& values) {
    if (reading.beforeRecord) reading.beforeRecord();
    sink.Take(record, values);
  };
  StreamOutcome outcome = StreamOutcome::kComplete;
  if (reading.checkFirst) {
    outcome = StreamRecords(
        database, fields,
        [&](std::int64_t, const RecordValues&) {
          if (reading.beforeRecord) reading.beforeRecord();
        },
        reading.progress);
    if (outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
  }
  sink.Start();
  const bool streamed = outcome == StreamOutcome::kComplete;
  if (streamed) outcome = StreamRecords(database, fields, take, reading.progress);
  if (outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
  if (outcome == StreamOutcome::kComplete) {
    sink.Complete();
    return result;
  }
  // Start over with the exact reading of a file in any order.
  if (streamed) {
    // What went out cannot be taken back, and the first pass found the file well formed.
    if (reading.checkFirst) return ended(ExportEnd::kChanged);
    sink.StartOver();
  }
  if (!FillRecords(database, fields, result.size.lastRecord, take)) {
    return ended(ExportEnd::kTooManyValues);
  }
  sink.Complete();
  return result;
}

}  // namespace tomo

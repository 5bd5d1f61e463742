#include "export/export_reading.h"

#include "storage/shown_stream.h"

namespace tomo {

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
    // A file that became shorter while read was not read to its end, as for the stream.
    if (result.report.cutShort) return ended(ExportEnd::kCutShort);
    sink.Complete();
    return result;
  };
  // Values appended out of order at the end leave the start of the file to stream.
  const std::int64_t tail = FindAppendedTail(database);
  const auto stream = [&](const BatchSink& batches, const RecordSink& records) {
    return StreamShownRecords(database, fields, tail, batches, records, reading.progress);
  };
  if (reading.checkFirst) {
    const ShownStream checked = stream([&](RecordBatch&) { before(); },
                                       [&](std::int64_t, const RecordValues&) { before(); });
    if (checked.outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
    sink.Start();
    if (checked.outcome == StreamOutcome::kNotWellFormed) return shown();
  } else {
    sink.Start();
  }
  const ShownStream streamed = stream(takeBatch, take);
  if (streamed.outcome == StreamOutcome::kCutShort) return ended(ExportEnd::kCutShort);
  if (streamed.outcome == StreamOutcome::kComplete) {
    result.report = streamed.report;
    sink.Complete();
    return result;
  }
  // What went out cannot be taken back, and the first pass found the file streams.
  if (reading.checkFirst) return ended(ExportEnd::kChanged);
  sink.StartOver();
  return shown();
}

}  // namespace tomo

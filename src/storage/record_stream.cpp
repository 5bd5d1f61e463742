#include "storage/record_stream.h"

#include <algorithm>
#include <string>

#include "storage/entry_blocks.h"
#include "storage/well_formed.h"

namespace tomo {

// Why the stream equals the fill on a well-formed file. The fill reads, row by row, field f
// of records 1, 2, ... Each read scans from ScanStart to the first entry of f in its record
// marked 1, collecting the characters of f's entries of that record and starting again
// after any entry of another name. Every scan start a read can have lies at or before the
// run of (f, r): the row's start, ViewStart, is the first entry of field 1 in record 1,
// which in field order is entry 1 (or, with none, the scan starts at entry 1); and a read
// of record r moves ScanStart only to the end of the run of an earlier record of the row,
// all of whose entries precede record r's, as records never decrease. From such a start
// the scan collects nothing before the run (no other entry of f is of record r), the whole
// run (its entries are consecutive), and stops at its last entry, the only one marked 1.
// So the read finds exactly the run's text, and none when the record has no run of f.
StreamOutcome StreamRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const RecordSink& sink, const ReadProgress& progress) {
  EntryOrder order(fields);
  if (order.Found().Any()) return StreamOutcome::kNotWellFormed;
  // The record's text: its runs' characters one after the other, each field's from its
  // begin to its end. The runs put their characters straight into it: its first `used`
  // bytes are the record's, and it keeps room for a character of every entry of the block.
  std::string text;
  std::size_t used = 0;
  std::vector<std::size_t> begins(fields.size()), ends(fields.size());
  RecordValues values(fields.size());
  std::int64_t record = 0;  // the record being gathered; 0 before the first entry
  std::size_t field = 0;    // the field of the run being gathered
  // Hands out the gathered record and the records without entries up to `next`.
  const auto complete = [&](std::int64_t next) {
    if (record > 0) {
      for (std::size_t f = 0; f < values.size(); ++f) {
        if (values[f]) values[f] = std::string_view(text).substr(begins[f], ends[f] - begins[f]);
      }
      sink(record, values);
      used = 0;
      for (auto& value : values) value.reset();
    }
    for (std::int64_t r = record + 1; r < next; ++r) sink(r, values);
    record = next;
  };

  EntryBlocks blocks(database, 1);
  // Records never decrease, so none lies beyond the last entry's: no records without entries
  // are handed out up to a record number that a later entry shows to be out of order.
  const std::int64_t lastRecord = blocks.LastRecord();
  blocks.ReadAhead();
  std::int64_t read = 0;
  while (blocks.Next()) {
    const std::int64_t count = blocks.Count();
    if (text.size() < used + static_cast<std::size_t>(count)) {
      text.resize(std::max(2 * text.size(), used + static_cast<std::size_t>(count)));
    }
    for (std::int64_t k = 0;;) {
      // Writes a character for every entry it looks at, one more than it takes at most.
      const std::int64_t taken = order.TakeRunGoingOn(blocks.Bytes(k), count - k, &text[used]);
      // Before the first run there is no field to gather for (a table may have none).
      if (taken > 0) {
        used += static_cast<std::size_t>(taken);
        ends[field] = used;
        k += taken;
      }
      if (k == count) break;
      const unsigned char* entry = blocks.Bytes(k);
      if (!order.Take(blocks.First() + k, entry)) return StreamOutcome::kNotWellFormed;
      // The entry starts a run: of another field, or of the next record.
      const std::int64_t r = EntryRecord(entry);
      if (r != record) {
        if (r > lastRecord) return StreamOutcome::kNotWellFormed;
        complete(r);
      }
      field = order.Field();
      // Marks the value present; complete() points it at its text.
      values[field] = std::string_view();
      begins[field] = used;
      text[used++] = EntryCharacter(entry);
      ends[field] = used;
      ++k;
    }
    read += count;
    if (progress) progress(read, blocks.Entries());
  }
  if (read < blocks.Entries()) return StreamOutcome::kCutShort;
  if (!order.Finish(read, 0)) return StreamOutcome::kNotWellFormed;
  if (record > 0) complete(record + 1);
  return StreamOutcome::kComplete;
}

}  // namespace tomo

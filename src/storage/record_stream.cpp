#include "storage/record_stream.h"

#include <algorithm>
#include <string>

#include "storage/entry_blocks.h"
#include "storage/field_names.h"
#include "storage/well_formed.h"

namespace tomo {

namespace {

// The key and the output pointer are the loop's own copies: a character stored through a
// char pointer could otherwise change them, and they would be read again for every entry.
template <typename Key>
const unsigned char* FollowRun(const unsigned char* entry, const unsigned char* end,
                               std::int64_t record, const Key key, char*& to, bool& ended,
                               bool& broke) {
  char* out = to;
  const auto stop = [&](const unsigned char* at) {
    to = out;
    return at;
  };
  for (; entry != end; entry += kEntrySize) {
    const std::int32_t mark = EntryMark(entry);
    if (EntryRecord(entry) != record || !key.Matches(entry) || (mark != 0 && mark != 1)) {
      broke = true;
      return stop(entry);
    }
    *out++ = EntryCharacter(entry);
    if (mark == 1) {
      ended = true;
      return stop(entry + kEntrySize);
    }
  }
  return stop(entry);
}

// Follows the run of the field named `name` and of record `record` from `entry` on, up to
// `end`: puts the characters at `out` on, and returns the entry after its last one. `ended`
// tells whether an entry marked 1 ended it; `broke`, whether an entry broke the well-formed
// order.
const unsigned char* Run(const FieldNames& names, std::uint32_t name, const unsigned char* entry,
                         const unsigned char* end, std::int64_t record, char*& out, bool& ended,
                         bool& broke) {
  if (const auto& two = names.Short(name))
    return FollowRun(entry, end, record, *two, out, ended, broke);
  return FollowRun(entry, end, record, names.Key(name), out, ended, broke);
}

}  // namespace

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
//
// The stream follows the well-formed order (well_formed.h) itself, run by run: a run starts
// with an entry of record 1 or more, not below the run before's, of a field after the last
// one of its record; its entries are of that record and field, marked 0 but the last, 1.
StreamOutcome StreamBatches(const Database& database, const std::vector<FieldDef>& fields,
                            const BatchSink& sink, const ReadProgress& progress,
                            std::int64_t before) {
  // Fields of one name: entries cannot tell them apart.
  if (EntryOrder(fields).Found().Any()) return StreamOutcome::kNotWellFormed;
  // The names are distinct, so each name's number is its field's.
  const FieldNames names(fields);
  // The records gathered: the runs put their characters straight into the batch's text, of
  // which the first `used` bytes are the records', the rest room for a character of every
  // entry of the block.
  RecordBatch batch;
  std::size_t used = 0;
  const auto handOn = [&] {
    batch.text.resize(used);
    sink(batch);
    batch.Clear();
    used = 0;
  };
  // The record being gathered, 0 before the first entry. It is the batch's last, its values
  // ending where batch.ends says from `ends` on: a batch is handed on between records.
  std::int64_t record = 0;
  std::size_t ends = 0;
  // Adds the records without entries up to `next`, and `next`, to the batch.
  const auto start = [&](std::int64_t next) {
    for (std::int64_t r = record + 1; r <= next; ++r) {
      if (batch.Full(used)) handOn();
      batch.records.push_back(r);
      ends = batch.ends.size();
      batch.ends.resize(ends + fields.size(), RecordBatch::kAbsent);
    }
    record = next;
  };

  EntryBlocks blocks(database, 1);
  blocks.ReadCacheSized();
  if (before > 0) {
    blocks.EndBefore(before);
    // Cut short since the entries from `before` on were read.
    if (blocks.Entries() < before - 1) return StreamOutcome::kCutShort;
  }
  // Records never decrease, so none lies beyond the last entry's: no records without entries
  // are handed out up to a record number that a later entry shows to be out of order.
  const std::int64_t lastRecord = blocks.LastRecord();
  // No reading ahead on a thread of its own: each block is followed right after it is read,
  // while it is still in the processor's cache; the other processor core is left to the
  // records' writing.
  std::int64_t read = 0;
  std::uint32_t field = 0;  // of the run at hand, or of the record's last one
  bool inRun = false;       // the run at hand goes on
  while (blocks.Next()) {
    const std::int64_t count = blocks.Count();
    const auto room = [&] {
      const std::size_t needed = used + static_cast<std::size_t>(count);
      if (batch.text.size() < needed) batch.text.resize(std::max(2 * batch.text.size(), needed));
      return batch.text.data() + used;
    };
    const unsigned char* entry = blocks.Bytes(0);
    const unsigned char* const end = blocks.Bytes(count);
    char* out = room();
    while (entry != end) {
      if (!inRun) {
        // The whole entry is judged before a new record hands out the ones before it.
        const std::int64_t r = EntryRecord(entry);
        if (r < 1 || r < record || r > lastRecord) return StreamOutcome::kNotWellFormed;
        const bool sameRecord = r == record;
        const std::uint32_t f = names.After(entry, sameRecord ? field : FieldNames::kNone);
        const std::int32_t mark = EntryMark(entry);
        if (f == FieldNames::kNone || (sameRecord && f <= field) || (mark != 0 && mark != 1))
          return StreamOutcome::kNotWellFormed;
        if (!sameRecord) {
          used = static_cast<std::size_t>(out - batch.text.data());
          start(r);
          out = room();
        }
        field = f;
      }
      bool ended = false;
      bool broke = false;
      entry = Run(names, field, entry, end, record, out, ended, broke);
      if (broke) return StreamOutcome::kNotWellFormed;
      inRun = !ended;
      batch.ends[ends + field] = out - batch.text.data();
    }
    used = static_cast<std::size_t>(out - batch.text.data());
    read += count;
    if (progress) progress(read, blocks.Entries());
  }
  if (read < blocks.Entries()) return StreamOutcome::kCutShort;
  if (inRun) return StreamOutcome::kNotWellFormed;
  if (!batch.Empty()) handOn();
  return StreamOutcome::kComplete;
}

StreamOutcome StreamRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const RecordSink& sink, const ReadProgress& progress) {
  return StreamBatches(
      database, fields, [&](RecordBatch& batch) { batch.ForEach(sink); }, progress);
}

}  // namespace tomo

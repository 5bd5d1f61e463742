#include "storage/shown_stream.h"

#include <algorithm>
#include <limits>

#include "storage/char_entry.h"
#include "storage/entry_blocks.h"
#include "storage/field_names.h"
#include "storage/shown_values.h"

namespace tomo {

namespace {

constexpr std::int64_t kNoRecord = std::numeric_limits<std::int64_t>::max();

// Why a record touched by the tail shows what Tail::Show makes of its values in the start.
// In the well-formed start, a record's entries are consecutive runs, one per field, each ended
// by its only entry marked 1: every value the shown reading finds of it there is a run's text,
// and the record's start (its first entry of field 1's name) is there exactly when it has a
// value of field 1 there. With the start there, or with none at all, the first value of each
// name counts: its run's, or else the first of the tail. With the start in the tail, only the
// tail's values after it count. The tail read on its own finds the values the whole pass finds
// there, except where a stretch of one name runs from the start into the tail: the whole pass
// then takes nothing more of a record in that stretch after its run, and the tail alone may.
// That record has a run of the name, whose value comes first; and such a value cannot end
// after a start in the tail, since an entry of field 1's name would end the stretch.
class Tail {
 public:
  Tail(const Database& database, const FieldNames& names, std::int64_t first)
      : names_(names), byName_(names.Count()) {
    if (first > 0) found_ = FindShownValues(database, names, {}, first);
    positive_ = next_ = RecordsAbove(found_.records, 0);
  }
  bool CutShort() const { return found_.cutShort; }
  // The record number of the tail's last entry.
  std::int64_t LastRecord() const { return found_.lastRecord; }
  std::int64_t BelowOne() const { return positive_ - found_.records.cbegin(); }
  std::int64_t Highest() const { return found_.records.empty() ? 0 : found_.records.back().record; }
  // Of the records with entries in the tail, those from `low` (above 0) to `high`.
  std::int64_t Between(std::int64_t low, std::int64_t high) const {
    const auto& records = found_.records;
    return high < low ? 0 : RecordsAbove(records, high) - RecordsAbove(records, low - 1);
  }
  // The next record, in ascending order, that has entries in the tail; kNoRecord after them.
  std::int64_t Next() const { return next_ == found_.records.cend() ? kNoRecord : next_->record; }
  // Turns `values`, record Next()'s values in the well-formed start (none for a record without
  // entries there), into the values it shows; moves on to the next record.
  void Show(RecordValues& values) {
    const RecordStart& record = *next_++;
    const bool startBefore = record.start == 0 || (!values.empty() && values[0]);
    PickShownValues(found_, record, startBefore, byName_);
    for (std::size_t f = 0; f < values.size(); ++f) {
      const auto& inTail = byName_[names_.OfField(f)];
      if (!startBefore || !values[f]) values[f] = inTail;
    }
  }

 private:
  const FieldNames& names_;
  ShownValues found_;
  std::vector<RecordStart>::const_iterator positive_;  // the first record above 0
  std::vector<RecordStart>::const_iterator next_;
  RecordValues byName_;
};

// Hands on the stream's records, with what the tail changes, and counts what went out.
class Streaming {
 public:
  Streaming(Tail& tail, std::int64_t recordCount, std::size_t fields, const BatchSink& batches,
            const RecordSink& records)
      : tail_(tail),
        recordCount_(recordCount),
        batches_(batches),
        records_(records),
        values_(fields) {}

  void Take(RecordBatch& batch) {
    const std::size_t count = batch.records.size();
    if (count == 0) return;
    streamed_ = batch.records.back();
    const auto fields = static_cast<std::ptrdiff_t>(batch.ends.size() / count);
    // Whole unless the tail touches a record of it or it has records to leave out.
    bool whole = streamed_ < tail_.Next();
    std::int64_t withEntries = 0;
    for (std::size_t r = 0; r < count; ++r) {
      const auto first = batch.ends.begin() + static_cast<std::ptrdiff_t>(r) * fields;
      const bool has = std::any_of(first, first + fields,
                                   [](std::int64_t end) { return end != RecordBatch::kAbsent; });
      withEntries += has;
      if (!has && batch.records[r] > recordCount_) whole = false;
    }
    if (!whole) {
      batch.ForEach([this](std::int64_t record, const RecordValues& values) {
        values_ = values;
        Hand(record);
      });
      return;
    }
    handedOut_ += static_cast<std::int64_t>(count);
    withEntries_ += withEntries;
    beyond_ += batch.records.end() -
               std::upper_bound(batch.records.begin(), batch.records.end(), recordCount_);
    batches_(batch);
  }

  // After the stream: the records up to RecordCount, then the tail's; false when the records
  // without entries are too many to hand out.
  bool Finish() {
    if (recordCount_ == kNoRecord) recordCount_ = streamed_;
    const std::int64_t later = std::max<std::int64_t>(recordCount_ - streamed_, 0);
    const std::int64_t touched = tail_.Between(streamed_ + 1, kNoRecord);
    const std::int64_t empty =
        handedOut_ - withEntries_ + later - tail_.Between(streamed_ + 1, recordCount_);
    if (TooManyEmptyRecords(empty, withEntries_ + touched)) return false;
    for (std::int64_t r = streamed_ + 1; r <= recordCount_; ++r) {
      std::fill(values_.begin(), values_.end(), std::nullopt);
      Hand(r);
    }
    while (tail_.Next() != kNoRecord) {
      const std::int64_t record = tail_.Next();
      std::fill(values_.begin(), values_.end(), std::nullopt);
      Hand(record);
    }
    return true;
  }

  ShownRecordsReport Report() const {
    ShownRecordsReport report;
    report.recordCount = recordCount_;
    report.highest = std::max(streamed_, tail_.Highest());
    report.beyondCount = beyond_;
    report.belowOneCount = tail_.BelowOne();
    report.handedOut = handedOut_;
    return report;
  }

 private:
  // Hands on record `record` with values_, its values in the well-formed start.
  void Hand(std::int64_t record) {
    bool has = std::any_of(values_.begin(), values_.end(), [](const auto& v) { return v; });
    if (record == tail_.Next()) {
      tail_.Show(values_);
      has = true;
    } else if (!has && record > recordCount_) {
      return;  // above RecordCount only records with entries go out
    }
    ++handedOut_;
    withEntries_ += has;
    beyond_ += record > recordCount_;
    records_(record, values_);
  }

  Tail& tail_;
  std::int64_t recordCount_;   // kNoRecord until the stream's last record, without a tail
  std::int64_t streamed_ = 0;  // the last record the stream handed out
  const BatchSink& batches_;
  const RecordSink& records_;
  RecordValues values_;
  std::int64_t handedOut_ = 0;
  std::int64_t withEntries_ = 0;
  std::int64_t beyond_ = 0;
};

}  // namespace

std::int64_t FindAppendedTail(const Database& database) {
  EntryBlocks blocks(database, 1);
  // The last block's entries, read in smaller blocks that stay in the processor's cache.
  blocks.PassOver(std::max<std::int64_t>(blocks.Entries() - blocks.BlockEntries(), 0));
  blocks.ReadCacheSized();
  // The record number of the entry before; none before the first.
  std::int64_t before = std::numeric_limits<std::int64_t>::min();
  while (blocks.Next()) {
    for (std::int64_t k = 0; k < blocks.Count(); ++k) {
      const std::int64_t record = EntryRecord(blocks.Bytes(k));
      if (record < before) return blocks.First() + k;
      before = record;
    }
  }
  return 0;
}

ShownStream StreamShownRecords(const Database& database, const std::vector<FieldDef>& fields,
                               std::int64_t tail, const BatchSink& batches,
                               const RecordSink& records, const ReadProgress& progress) {
  {
    // The stream hands out every record up to the last of the entries it reads, even where
    // a tail makes RecordCount lower: not millions without entries, even if every entry had
    // a record of its own.
    EntryBlocks start(database, 1);
    if (tail > 0) start.EndBefore(tail);
    if (TooManyEmptyRecords(start.LastRecord() - start.Entries(), start.Entries()))
      return {StreamOutcome::kNotWellFormed, {}};
  }
  const FieldNames names(fields);
  Tail after(database, names, tail);
  if (after.CutShort()) return {StreamOutcome::kCutShort, {}};
  Streaming streaming(after, tail > 0 ? after.LastRecord() : kNoRecord, fields.size(), batches,
                      records);
  const StreamOutcome outcome = StreamBatches(
      database, fields, [&](RecordBatch& batch) { streaming.Take(batch); }, progress, tail);
  if (outcome != StreamOutcome::kComplete) return {outcome, {}};
  if (!streaming.Finish()) return {StreamOutcome::kNotWellFormed, {}};
  return {StreamOutcome::kComplete, streaming.Report()};
}

}  // namespace tomo

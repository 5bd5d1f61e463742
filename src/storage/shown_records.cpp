#include "storage/shown_records.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "storage/shown_values.h"

namespace tomo {

namespace {

// Hands out records in ascending order, each with the values it shows.
class Rows {
 public:
  Rows(ShownValues& found, const FieldNames& names, std::size_t fieldCount, const RecordSink& sink)
      : found_(found), names_(names), sink_(sink), values_(fieldCount), byName_(names.Count()) {}

  // A record that has entries. ReadValue from its first entry of field 1's name on takes
  // the first value that ends there or after; without such an entry it scans from entry 1.
  void Hand(const RecordStart& record) {
    PickShownValues(found_, record, record.start == 0, byName_);
    for (std::size_t f = 0; f < values_.size(); ++f) values_[f] = byName_[names_.OfField(f)];
    sink_(record.record, values_);
    ++handedOut_;
  }
  void HandEmpty(std::int64_t record) {
    std::fill(values_.begin(), values_.end(), std::nullopt);
    sink_(record, values_);
    ++handedOut_;
  }
  std::int64_t HandedOut() const { return handedOut_; }

 private:
  ShownValues& found_;
  const FieldNames& names_;
  const RecordSink& sink_;
  RecordValues values_;
  RecordValues byName_;
  std::int64_t handedOut_ = 0;
};

}  // namespace

ShownRecordsReport ReadShownRecords(const Database& database, const std::vector<FieldDef>& fields,
                                    const RecordSink& sink, const ReadProgress& progress) {
  const FieldNames names(fields);
  ShownValues found = FindShownValues(database, names, progress);
  ShownRecordsReport report;
  report.recordCount = found.lastRecord;
  report.cutShort = found.cutShort;
  const auto& records = found.records;
  if (!records.empty()) report.highest = records.back().record;
  const auto positive = RecordsAbove(records, 0);
  const std::int64_t counted = std::max<std::int64_t>(report.recordCount, 0);
  const auto beyond = RecordsAbove(records, counted);
  report.belowOneCount = positive - records.begin();
  report.beyondCount = records.end() - beyond;
  const std::int64_t withEntries = records.end() - positive;
  const std::int64_t empty = counted - (beyond - positive);
  report.onlyWithEntries = TooManyEmptyRecords(empty, withEntries);

  Rows rows(found, names, fields.size(), sink);
  if (!report.onlyWithEntries) {
    auto next = positive;
    for (std::int64_t r = 1; r <= counted; ++r) {
      if (next != beyond && next->record == r) {
        rows.Hand(*next++);
      } else {
        rows.HandEmpty(r);
      }
    }
  }
  for (auto r = report.onlyWithEntries ? positive : beyond; r != records.end(); ++r) rows.Hand(*r);
  report.handedOut = rows.HandedOut();
  return report;
}

}  // namespace tomo

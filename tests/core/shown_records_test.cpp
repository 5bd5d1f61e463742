// Every record as shown when the user goes to it, read in one pass, against the reference's
// FindValueStart and ReadValue record by record.
#include "storage/shown_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/record_file.h"
#include "storage/shown_stream.h"
#include "support/linked_app.h"
#include "support/random_database.h"
#include "support/reference_files.h"
#include "support/reference_reader.h"
#include "support/reference_shown.h"

namespace tomo::testing {
namespace {

const std::string kFolder = "\\mem\\db";

RecordSink Collect(Shown& shown) {
  return [&shown](std::int64_t record, const RecordValues& values) {
    shown.records.push_back(record);
    auto& row = shown.values.emplace_back();
    for (const auto& value : values) row.emplace_back(value);
  };
}

TEST(ShownRecords, EqualTheReferenceAndTheStreamOnRandomDatabases) {
  std::mt19937_64 random(17);
  int streamed = 0, onlyWithEntries = 0, beyond = 0, withTail = 0;
  for (int n = 0; n < 3000; ++n) {
    SCOPED_TRACE("database " + std::to_string(n));
    const auto [files, side] = LinkRandomDatabase(random);
    const Database database = DatabaseOf(side->app);
    const std::vector<FieldDef> fields = ReadFieldTable(database);

    Shown shown;
    const ShownRecordsReport report = ReadShownRecords(database, fields, Collect(shown));
    EXPECT_EQ(shown, ReferenceShown(side->app));
    EXPECT_EQ(report.handedOut, static_cast<std::int64_t>(shown.records.size()));
    onlyWithEntries += report.onlyWithEntries;
    beyond += report.beyondCount > 0;

    Shown stream;
    const RecordSink collect = Collect(stream);
    const std::int64_t tail = FindAppendedTail(database);
    const ShownStream outcome = StreamShownRecords(
        database, fields, tail, [&](RecordBatch& batch) { batch.ForEach(collect); }, collect);
    if (outcome.outcome == StreamOutcome::kComplete) {
      ++streamed;
      withTail += tail > 0;
      EXPECT_EQ(shown, stream);
      EXPECT_EQ(report, outcome.report);
    }
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(streamed, 1000);
  EXPECT_GT(withTail, 200);
  EXPECT_GT(onlyWithEntries, 8);
  EXPECT_GT(beyond, 500);
}

// Damage at the end of a well-formed database of 64 records.
struct DamageCase {
  const char* name;
  std::string appended;  // bytes after the well-formed entries
  std::int64_t recordCount, highest, beyondCount, belowOneCount;
  bool onlyWithEntries;
  std::int64_t handedOut;
  bool streams;  // read in blocks of 5 entries, the records stream, as shown
};

TEST(ShownRecords, DamagedEndsKeepEveryRecordAndNoMillionsOfEmptyOnes) {
  const DatabaseSpec database = NumberedDatabase(64, 2);
  const std::int64_t huge = 4'000'000'000'000'000'000;
  const std::vector<DamageCase> cases = {
      {"value appended for record 5",
       format::RecordFileBytes({{'n', "F2", 5, 0}, {'w', "F2", 5, 1}}), 5, 64, 59, 0, false, 64,
       true},
      {"values appended for records 5, 70 and 3",
       format::RecordFileBytes(
           {{'n', "F2", 5, 1}, {'x', "F1", 70, 1}, {'a', "F1", 3, 0}, {'b', "F1", 3, 1}}),
       3, 70, 62, 0, false, 65, true},
      {"value appended for record 5, longer than a block",
       format::RecordFileBytes(format::ValueEntries("F2", 5, "longer")), 5, 64, 59, 0, false, 64,
       false},
      {"zeroed entry appended", std::string(54, '\0'), 0, 64, 64, 1, false, 64, true},
      {"last entry below 1", format::RecordFileBytes({{'x', "F1", -3, 1}}), -3, 64, 64, 1, false,
       64, true},
      {"a gap of a few empty records", format::RecordFileBytes({{'x', "F1", 1000, 1}}), 1000, 1000,
       0, 0, false, 1000, true},
      {"jump from 64 to 4,000,000", format::RecordFileBytes({{'x', "F1", 4'000'000, 1}}), 4'000'000,
       4'000'000, 0, 0, true, 65, false},
      {"last record 4e18", format::RecordFileBytes({{'x', "F1", huge, 1}}), huge, huge, 0, 0, true,
       65, false},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto side = std::make_unique<MemoryTestApp>();
    side->Use(kFolder, format::FieldFileBytes(database.fields),
              format::RecordFileBytes(format::RecordEntries(database)) + c.appended);
    const Database files = DatabaseOf(side->app);
    Shown shown;
    const ShownRecordsReport report =
        ReadShownRecords(files, ReadFieldTable(files), Collect(shown));
    EXPECT_EQ(report.recordCount, c.recordCount);
    EXPECT_EQ(report.highest, c.highest);
    EXPECT_EQ(report.beyondCount, c.beyondCount);
    EXPECT_EQ(report.belowOneCount, c.belowOneCount);
    EXPECT_EQ(report.onlyWithEntries, c.onlyWithEntries);
    EXPECT_EQ(report.handedOut, c.handedOut);
    EXPECT_FALSE(report.cutShort);
    // Every record keeps its own values.
    ASSERT_GE(shown.values.size(), 64u);
    EXPECT_EQ(shown.values[63][1], "64.2");
    EXPECT_EQ(shown, ReferenceShown(side->app));
    // Where the file streams, in chunks of a few entries, the stream hands out the same.
    side->app.ScanBlockEntries = 5;
    Shown stream;
    const RecordSink collect = Collect(stream);
    const ShownStream streamed = StreamShownRecords(
        files, ReadFieldTable(files), FindAppendedTail(files),
        [&](RecordBatch& batch) { batch.ForEach(collect); }, collect);
    EXPECT_EQ(streamed.outcome == StreamOutcome::kComplete, c.streams);
    if (c.streams) {
      EXPECT_EQ(stream, shown);
      EXPECT_EQ(streamed.report, report);
    }
  }
}

// More values than the first blocks hold, in order and in reverse order of records: every
// record shows its own values either way.
// In order, the stream hands the same records over in several batches.
TEST(ShownRecords, ManyRecordsInAnyOrderShowTheirOwnValues) {
  DatabaseSpec database = NumberedDatabase(20000, 2);
  Shown expected;
  for (const RecordSpec& record : database.records) {
    expected.records.push_back(record.number);
    expected.values.push_back({record.values.begin(), record.values.end()});
  }
  for (const bool reversed : {false, true}) {
    if (reversed) std::reverse(database.records.begin(), database.records.end());
    auto side = std::make_unique<MemoryTestApp>();
    side->Use(kFolder, format::FieldFileBytes(database.fields),
              format::RecordFileBytes(format::RecordEntries(database)));
    const Database files = DatabaseOf(side->app);
    Shown shown;
    const ShownRecordsReport report =
        ReadShownRecords(files, ReadFieldTable(files), Collect(shown));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(report.beyondCount, reversed ? 19999 : 0);
    if (reversed) continue;
    Shown stream;
    int batches = 0;
    const StreamOutcome outcome =
        StreamBatches(files, ReadFieldTable(files), [&](RecordBatch& batch) {
          ++batches;
          batch.ForEach(Collect(stream));
        });
    EXPECT_EQ(outcome, StreamOutcome::kComplete);
    EXPECT_EQ(stream, expected);
    EXPECT_GE(batches, 2);
  }
}

// The tail is looked for in the file's last block, which is read in smaller pieces: its first
// entry whose record number is below the entry's before it, wherever it lies among the pieces.
TEST(ShownRecords, TheAppendedTailIsFoundAnywhereInTheLastBlock) {
  const DatabaseSpec database = NumberedDatabase(3000, 4);
  const std::string entries = format::RecordFileBytes(format::RecordEntries(database));
  const auto count = static_cast<std::int64_t>(entries.size() / 54);
  constexpr std::int64_t kBlock = 20000;  // pieces of 4854 entries: the fourth from 14562 on
  // Entries appended for record 5, the tail's place in the last block, and the tail found.
  struct Case {
    std::int64_t appended, found;
  };
  for (const Case c : {Case{1, 1}, Case{5437, 1}, Case{5438, 1}, Case{5439, 1}, Case{19999, 1},
                       Case{20000, 0}, Case{20001, 0}, Case{0, 0}}) {
    SCOPED_TRACE(std::to_string(c.appended) + " appended");
    std::string tail;
    for (std::int64_t k = 0; k < c.appended; ++k)
      tail += format::RecordFileBytes({{'x', "F2", 5, k + 1 == c.appended ? 1 : 0}});
    auto side = std::make_unique<MemoryTestApp>();
    side->Use(kFolder, format::FieldFileBytes(database.fields), entries + tail);
    side->app.ScanBlockEntries = kBlock;
    ASSERT_GT(count, kBlock);
    EXPECT_EQ(FindAppendedTail(DatabaseOf(side->app)), c.found ? count + 1 : 0);
  }
}

}  // namespace
}  // namespace tomo::testing

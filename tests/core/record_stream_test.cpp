// The stream of every record against the reference's whole-database fill on random
// databases; a stream over a file cut short meanwhile; and what `check` counts for each
// fault.
#include "storage/record_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/record_file.h"
#include "storage/well_formed.h"
#include "support/database_writer.h"
#include "support/linked_app.h"
#include "support/random_database.h"

namespace tomo::testing {
namespace {

const std::string kFolder = "\\mem\\db";

// The faults of the entries' order; the others are of the field table or of a partial entry.
constexpr Fault kOrderFaults[] = {
    Fault::kDuplicateFieldName, Fault::kUnterminatedName, Fault::kUnknownName,
    Fault::kRecordBelowOne,     Fault::kRecordOutOfOrder, Fault::kInterruptedRun,
    Fault::kFieldOutOfOrder,    Fault::kBadMarks,         Fault::kLastEntryNotHighest};

RecordTable Collected(const std::function<bool(const RecordSink&)>& read, bool& ok) {
  RecordTable records;
  ok = read([&](std::int64_t record, const RecordValues& values) {
    EXPECT_EQ(record, static_cast<std::int64_t>(records.size()) + 1);
    std::vector<std::optional<std::string>> row;
    for (const auto& value : values)
      row.emplace_back(value ? std::optional<std::string>(*value) : std::nullopt);
    records.push_back(std::move(row));
  });
  return records;
}

TEST(RecordStream, EqualsTheReferenceFillOnRandomDatabases) {
  std::mt19937_64 random(7);
  int streamed = 0;
  for (int n = 0; n < 3000; ++n) {
    SCOPED_TRACE("database " + std::to_string(n));
    const auto [files, side] = LinkRandomDatabase(random);
    const Database database = DatabaseOf(side->app);
    const std::vector<FieldDef> fields = ReadFieldTable(database);
    // A damaged record number far beyond the entries would stream that many records.
    if (CountRecords(database) > 100000) continue;

    bool complete = false;
    const RecordTable stream = Collected(
        [&](const RecordSink& sink) {
          return StreamRecords(database, fields, sink) == StreamOutcome::kComplete;
        },
        complete);
    if (files.wellFormed) {
      EXPECT_TRUE(complete);
    }
    // The stream follows the order itself: it must judge every file as the check does.
    Faults faults = CheckDatabase(database, fields);
    const bool orderKept =
        std::ranges::none_of(kOrderFaults, [&](Fault f) { return faults.Of(f).count > 0; });
    EXPECT_EQ(complete, orderKept);
    if (complete) {
      ++streamed;
      EXPECT_EQ(stream, ReferenceRecords(*side));
    }
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(streamed, 1000);
}

// A file cut short by another program while the stream reads it: never taken as streamed
// whole nor as out of order. Cut after the stream read the last block, the records read are
// the file's whole, as it was.
TEST(RecordStream, AFileCutShortMeanwhileEndsCutShort) {
  enum class Cut { kNever, kAfterTheFirstBlock, kAfterTheLastBlock, kAtTheFirstBatch };
  struct Case {
    Cut cut;
    StreamOutcome outcome;
  };
  // 36,000 values: the first batch is handed on before the last block is read.
  const DatabaseSpec described = NumberedDatabase(6000, 6);
  for (const Case& test : {Case{Cut::kNever, StreamOutcome::kComplete},
                           Case{Cut::kAfterTheFirstBlock, StreamOutcome::kCutShort},
                           Case{Cut::kAfterTheLastBlock, StreamOutcome::kComplete},
                           Case{Cut::kAtTheFirstBatch, StreamOutcome::kCutShort}}) {
    SCOPED_TRACE("cut " + std::to_string(static_cast<int>(test.cut)));
    LinkedApp linked(described);
    linked.app().ScanBlockEntries = 5000;
    const Database database = DatabaseOf(linked.app());
    std::string recordFile = database.recordFilePath;
    std::replace(recordFile.begin(), recordFile.end(), '\\', '/');
    const auto cutTo = [&](std::int64_t entries) {
      // Halfway into an entry.
      std::filesystem::resize_file(recordFile, static_cast<std::uintmax_t>(entries * 54 - 27));
    };
    int blocks = 0;
    int batches = 0;
    std::int64_t records = 0;
    const StreamOutcome outcome = StreamBatches(
        database, ReadFieldTable(database),
        [&](RecordBatch& batch) {
          records += static_cast<std::int64_t>(batch.records.size());
          if (test.cut == Cut::kAtTheFirstBatch && ++batches == 1) cutTo(1000);
        },
        [&](std::int64_t read, std::int64_t entries) {
          ++blocks;
          if ((test.cut == Cut::kAfterTheFirstBlock && blocks == 1) ||
              (test.cut == Cut::kAfterTheLastBlock && read == entries)) {
            cutTo(read);
          }
        });
    if (test.cut == Cut::kNever) {
      EXPECT_GT(blocks, 2);
    }
    EXPECT_EQ(outcome, test.outcome);
    if (outcome == StreamOutcome::kComplete) {
      EXPECT_EQ(records, 6000);
    }
  }
}

// One fault kind at a time, on files written entry by entry.
struct FaultCase {
  const char* name;
  std::vector<FieldSpec> fields;
  std::vector<Entry> entries;
  std::size_t trailingBytes;
  std::map<Fault, std::int64_t> counts;      // every other kind: none
  std::vector<std::int64_t> firstPositions;  // of the case's first kind
};

Entry E(char c, const std::string& name, std::int64_t record, std::int32_t mark) {
  return Entry{c, name, record, mark};
}

TEST(WellFormedOrder, CheckCountsEachKindOfFault) {
  const std::vector<FieldSpec> ab = {FieldSpec{"A"}, FieldSpec{"B"}};
  const std::string noZero(35, 'A');
  const std::vector<FaultCase> cases = {
      {"well formed, record 2 without entries",
       ab,
       {E('x', "A", 1, 0), E('y', "A", 1, 1), E('z', "B", 1, 1), E('w', "B", 3, 1)},
       0,
       {},
       {}},
      {"partial entry", ab, {E('x', "A", 1, 1)}, 20, {{Fault::kPartialEntry, 1}}, {2}},
      {"duplicate field names",
       {FieldSpec{"A"}, FieldSpec{"A"}},
       {E('x', "A", 1, 1)},
       0,
       {{Fault::kDuplicateFieldName, 1}},
       {2}},
      {"type codes",
       {FieldSpec{"A", 10}, FieldSpec{"B", -1}},
       {},
       0,
       {{Fault::kTypeOutOfRange, 2}},
       {1, 2}},
      {"names without a zero byte",
       ab,
       {E('x', noZero, 1, 1), E('y', noZero, 1, 1)},
       0,
       {{Fault::kUnterminatedName, 2}},
       {1, 2}},
      {"entries of a database without fields",
       {},
       {E('x', "A", 1, 1)},
       0,
       {{Fault::kUnknownName, 1}},
       {1}},
      {"unknown names",
       ab,
       {E('x', "A", 1, 1), E('y', "C", 1, 1)},
       0,
       {{Fault::kUnknownName, 1}},
       {2}},
      {"records below 1",
       ab,
       {E('x', "A", 0, 1), E('y', "A", -5, 1), E('z', "A", 1, 1)},
       0,
       {{Fault::kRecordBelowOne, 2}},
       {1, 2}},
      {"records out of order",
       ab,
       {E('x', "A", 2, 1), E('y', "A", 1, 1), E('z', "B", 1, 1), E('w', "B", 2, 1)},
       0,
       {{Fault::kRecordOutOfOrder, 2}, {Fault::kLastEntryNotHighest, 0}},
       {2, 3}},
      {"interrupted runs",
       ab,
       {E('x', "A", 1, 0), E('y', "B", 1, 1), E('z', "A", 1, 1)},
       0,
       {{Fault::kInterruptedRun, 1}, {Fault::kBadMarks, 1}},
       {3}},
      {"fields out of order",
       ab,
       {E('x', "B", 1, 1), E('y', "A", 1, 1)},
       0,
       {{Fault::kFieldOutOfOrder, 1}},
       {2}},
      {"marks",
       ab,
       {E('a', "A", 1, 0), E('b', "B", 1, 1), E('c', "A", 2, 1), E('d', "A", 2, 1),
        E('e', "B", 2, 2)},
       0,
       {{Fault::kBadMarks, 3}},
       {1, 3, 5}},
      {"last entry not of the highest record",
       ab,
       {E('x', "A", 2, 1), E('y', "B", 1, 1)},
       0,
       {{Fault::kRecordOutOfOrder, 1}, {Fault::kLastEntryNotHighest, 1}},
       {2}},
  };
  for (const FaultCase& test : cases) {
    SCOPED_TRACE(test.name);
    MemoryTestApp side;
    std::string recordFile = format::RecordFileBytes(test.entries);
    recordFile.append(test.trailingBytes, '\x01');
    side.Use(kFolder, format::FieldFileBytes(test.fields), recordFile);
    const Database database = DatabaseOf(side.app);
    const std::vector<FieldDef> fields = ReadFieldTable(database);
    const Faults faults = CheckDatabase(database, fields);
    // The stream reads every case without harm, and completes on the well-formed one.
    const StreamOutcome streamed =
        StreamRecords(database, fields, [](std::int64_t, const RecordValues&) {});
    if (test.counts.empty()) {
      EXPECT_EQ(streamed, StreamOutcome::kComplete);
    }
    for (std::size_t k = 0; k < kFaultKinds; ++k) {
      const auto kind = static_cast<Fault>(k);
      const auto expected = test.counts.find(kind);
      EXPECT_EQ(faults.Of(kind).count, expected == test.counts.end() ? 0 : expected->second)
          << "fault kind " << k;
    }
    if (!test.counts.empty()) {
      EXPECT_EQ(faults.Of(test.counts.begin()->first).first, test.firstPositions);
    }
    EXPECT_EQ(faults.Any(), !test.counts.empty() && test.counts.begin()->second > 0);
  }
}

}  // namespace
}  // namespace tomo::testing

// What record file scans cost: bytes read, and how often they let window messages through.
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/record_reads.h"
#include "support/scan_operations.h"

namespace tomo::testing {
namespace {

// 300 records of 5 fields; every 7th record has no Ciudad, and no record has Nota.
DatabaseSpec Contacts() {
  DatabaseSpec database{{{"Nombre"}, {"Ciudad"}, {"Edad", kInteger}, {"Activo", kLogic}, {"Nota"}},
                        {}};
  for (std::int64_t r = 1; r <= 300; ++r) {
    const std::string n = std::to_string(r);
    database.records.push_back(RecordSpec{
        r,
        {"Nombre " + n, r % 7 == 0 ? std::nullopt : std::optional<std::string>("Ciudad " + n),
         std::to_string(20 + r % 50), std::to_string(r % 2), std::nullopt}});
  }
  return database;
}

class ScanCostTest : public ::testing::Test {
 protected:
  ScanCostTest() {
    t.app.DatabaseFolder = WriteDatabase(temp.path(), "contacts", Contacts());
    const std::string folder = (temp.path() / "contacts" / "contacts").string();
    recordFile = static_cast<std::int64_t>(std::filesystem::file_size(folder + ".zbd"));
    fieldFile = static_cast<std::int64_t>(std::filesystem::file_size(folder + ".z04"));
  }
  // Bytes read by `operation`.
  template <typename Operation>
  std::int64_t Cost(Operation operation) {
    const std::int64_t before = t.fake->files.bytesRead;
    operation();
    return t.fake->files.bytesRead - before;
  }
  void Fill(std::int64_t first) {
    t.app.Cells = CellGrid(t.app.LastColumn, t.app.LastRow);
    FillGrid(t.app, first);
  }

  TempFolder temp;
  TestApp t;  // 8 record columns, 22 field rows
  std::int64_t recordFile = 0;
  std::int64_t fieldFile = 0;
};

TEST_F(ScanCostTest, EveryOperationReadsTheRecordFileOnceAtMost) {
  // A fill whose rows hold absent values must read to the end, once, not once per cell.
  EXPECT_EQ(Cost([&] { Fill(1); }), fieldFile + recordFile);
  EXPECT_EQ(t.app.Cells.At(7, 2), "No datos");
  EXPECT_EQ(Cost([&] { Fill(290); }), fieldFile + recordFile);
  // The count that every step to the right asks for reads one entry.
  EXPECT_EQ(Cost([&] { CountRecords(t.app); }), kEntrySize);
  // A search that finds nothing reads the last entry and the file, once.
  LoadFieldTable(t.app);
  t.app.CurrentRow = 2;
  t.app.TypedText = "nowhere";
  EXPECT_EQ(Cost([&] { EXPECT_EQ(FindRecordByValue(t.app), 0); }), kEntrySize + recordFile);
  t.app.TypedText = "No datos";
  EXPECT_EQ(Cost([&] { EXPECT_EQ(FindRecordByValue(t.app), 1); }), kEntrySize + recordFile);
  EXPECT_EQ(t.app.FirstRecord, 7);
}

TEST_F(ScanCostTest, ReadsStopOnceTheAnswerIsKnown) {
  t.app.ScanBlockEntries = 100;
  // Every value shown is there: the fill stops after the last record it shows.
  t.app.LastColumn = 5;
  t.app.LastRow = 4;
  EXPECT_LT(Cost([&] { Fill(1); }), fieldFile + recordFile / 20);
  EXPECT_EQ(t.app.Cells.At(5, 2), "Ciudad 5");
  // A search that finds its value early stops there.
  LoadFieldTable(t.app);
  t.app.CurrentRow = 1;
  t.app.TypedText = "Nombre 3";
  EXPECT_LT(Cost([&] { EXPECT_EQ(FindRecordByValue(t.app), 1); }), recordFile / 20);
  EXPECT_EQ(t.app.FirstRecord, 3);
  // A value read continues from ScanStart.
  t.app.ScanStart = FindValueStart(t.app, "Nombre", 200);
  EXPECT_LT(Cost([&] { EXPECT_EQ(ReadValue(t.app, "Nombre", 200), "Nombre 200"); }),
            recordFile / 20);
}

TEST_F(ScanCostTest, MessagesGoThroughAboutEveryTenMillisecondsOfScanning) {
  FakeUi& ui = t.ui();
  const std::int64_t entries = recordFile / kEntrySize;
  t.app.ScanBlockEntries = entries / 100 + 1;  // about 100 blocks
  ui.clockStep = 1000;                         // every look at the clock: one millisecond later
  LoadFieldTable(t.app);
  t.app.CurrentRow = 1;
  t.app.TypedText = "nowhere";
  FindRecordByValue(t.app);
  ASSERT_GE(ui.pumpTimes.size(), 6u);
  EXPECT_LE(ui.pumpTimes.size(), 12u);
  for (std::size_t k = 1; k < ui.pumpTimes.size(); ++k) {
    EXPECT_GE(ui.pumpTimes[k] - ui.pumpTimes[k - 1], 10000);
  }
  // With no pause asked for, once per block, never once per entry.
  ui.clockStep.reset();
  ui.pumpTimes.clear();
  t.app.ScanPumpMicroseconds = 0;
  t.app.ScanBlockEntries = 1000;
  FindRecordByValue(t.app);
  EXPECT_EQ(static_cast<std::int64_t>(ui.pumpTimes.size()), (entries + 999) / 1000 - 1);
}

// Operations run by messages handled during a scan change nothing of what it finds.
TEST_F(ScanCostTest, NestedOperationsLeaveTheOuterOneAlone) {
  TestApp alone;
  alone.app.DatabaseFolder = t.app.DatabaseFolder;
  alone.app.Cells = CellGrid(alone.app.LastColumn, alone.app.LastRow);
  FillGrid(alone.app, 40);
  t.app.ScanBlockEntries = 50;
  t.app.ScanPumpMicroseconds = 0;
  int nested = 0;
  t.ui().onPump = [&](int pump) {
    if (pump % 5 != 0) return;
    ++nested;
    // A key press that moves the view and refills the grid, a count, another search.
    t.app.FirstField = 2;
    t.app.Cells = CellGrid(t.app.LastColumn, t.app.LastRow);
    FillGrid(t.app, 200 + pump);
    CountRecords(t.app);
    t.app.TypedText = "Nombre 250";
    FindRecordByValue(t.app);
    t.app.FirstField = 1;
  };
  Fill(40);
  EXPECT_GT(nested, 3);
  for (int r = 0; r <= t.app.LastRow; ++r) {
    for (int c = 0; c <= t.app.LastColumn; ++c) {
      ASSERT_EQ(t.app.Cells.At(c, r), alone.app.Cells.At(c, r)) << c << "x" << r;
    }
  }
  EXPECT_EQ(t.app.ViewStart, alone.app.ViewStart);
  EXPECT_EQ(t.app.ScanStart, alone.app.ScanStart);
  EXPECT_EQ(t.app.ScanRecord, alone.app.ScanRecord);

  LoadFieldTable(alone.app);
  alone.app.CurrentRow = 2;
  alone.app.TypedText = "Ciudad 123";
  ASSERT_EQ(FindRecordByValue(alone.app), 1);
  LoadFieldTable(t.app);
  t.app.CurrentRow = 2;
  t.app.TypedText = "Ciudad 123";
  nested = 0;
  EXPECT_EQ(FindRecordByValue(t.app), 1);
  EXPECT_GT(nested, 0);
  EXPECT_EQ(t.app.FirstRecord, 123);
  EXPECT_EQ(t.app.ScanStart, alone.app.ScanStart);
  EXPECT_EQ(t.app.ScanRecord, alone.app.ScanRecord);
}

// The benchmark's operations on its databases, at two sizes: each reads the record file once
// at most, grows by exactly the file's growth or not at all, and finds what the entry-by-entry
// reference finds.
TEST(ScanCostGrowth, EveryOperationGrowsWithTheFileByOnePassAtMost) {
  TempFolder temp;
  const auto small = format::WriteBenchmarkDatabase(temp.path(), "small", 10000);
  const auto large = format::WriteBenchmarkDatabase(temp.path(), "large", 100000);
  const auto smallOperations = ScanOperations(small);
  const auto largeOperations = ScanOperations(large);
  ASSERT_EQ(smallOperations.size(), largeOperations.size());
  // Bytes read by the operation, and what it leaves.
  const auto run = [](const ScanOperation& operation, bool reference) {
    TestApp t(kScanScreen);
    operation.prepare(t.app, t.ui());
    const std::int64_t before = t.fake->files.bytesRead;
    const std::int64_t result = (reference ? operation.reference : operation.run)(t.app);
    return std::make_pair(t.fake->files.bytesRead - before, Outcome(t.app, result));
  };
  for (std::size_t k = 0; k < smallOperations.size(); ++k) {
    SCOPED_TRACE(smallOperations[k].name);
    const auto [smallBytes, smallOutcome] = run(smallOperations[k], false);
    const std::int64_t largeBytes = run(largeOperations[k], false).first;
    // The field table three times at most (a step down loads it twice before filling), the
    // record file once, and a few entries for counting the records.
    for (const auto& [bytes, database] :
         {std::pair(smallBytes, small), std::pair(largeBytes, large)}) {
      EXPECT_LE(bytes, 3 * database.fieldFileBytes + database.recordFileBytes + 4 * kEntrySize);
    }
    EXPECT_EQ(largeBytes - smallBytes,
              smallOperations[k].wholeFile ? large.recordFileBytes - small.recordFileBytes : 0);
    EXPECT_EQ(smallOutcome, run(smallOperations[k], true).second);
  }
}

}  // namespace
}  // namespace tomo::testing

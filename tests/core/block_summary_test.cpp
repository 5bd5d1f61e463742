// Fills that pass over blocks by the record file's summary against the entry-by-entry
// reference: on malformed files read in blocks of a few entries, on files changed between
// two fills, and in bytes read on a large well-formed file.
#include "storage/block_summary.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "commands/view_commands.h"
#include "fakes/fake_platform.h"
#include "fakes/memory_files.h"
#include "search/typed_input.h"
#include "shell/linked_database.h"
#include "shell/repaint.h"
#include "shell/surface_handler.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/reference_reader.h"
#include "support/same_cells.h"
#include "support/scan_operations.h"

namespace tomo::testing {
namespace {

const std::string kFolder = "\\mem\\db";
const std::string kRecordPath = kFolder + "\\db.zbd";
const std::vector<std::string> kNames = {"A", "B", "Nombre", "A"};  // two fields named A
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::int64_t Below(std::int64_t n) {
    return static_cast<std::int64_t>(engine_() % static_cast<std::uint64_t>(n));
  }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine_) < p; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<std::int64_t>(items.size())))];
  }

 private:
  std::mt19937_64 engine_;
};

// Records mostly in order, field by field, broken in the ways that matter to passing over
// blocks: runs of one field over many records, records out of order or odd, values cut by
// an entry of another name, unterminated names, values never completed.
std::vector<Entry> MalformedEntries(Random& random, std::int64_t records) {
  std::vector<Entry> entries;
  const auto value = [&](std::string name, std::int64_t record) {
    if (random.Chance(0.03)) name = std::string(35, 'A');  // no zero byte
    const std::int64_t length = 1 + random.Below(4);
    for (std::int64_t k = 0; k < length; ++k) {
      if (k > 0 && random.Chance(0.05))
        entries.push_back(Entry{'x', random.Pick(kNames), record, 1});
      const bool last = k + 1 == length;
      entries.push_back(Entry{static_cast<char>('a' + random.Below(3)), name, record,
                              last ? (random.Chance(0.9) ? 1 : 2) : 0});
    }
  };
  for (std::int64_t r = 1; r <= records; ++r) {
    const std::int64_t kind = random.Below(10);
    if (kind == 0) {  // one field's values of the records from here on
      const std::string name = random.Pick(kNames);
      for (std::int64_t k = random.Below(8); k >= 0; --k) value(name, r + k);
    } else if (kind == 1) {  // a record elsewhere, or of no order at all
      value(random.Pick(kNames),
            random.Chance(0.5) ? 1 + random.Below(records)
                               : random.Pick(std::vector<std::int64_t>{0, -1, kMax, -kMax - 1}));
    } else {
      for (const std::string& name : kNames) {
        if (random.Chance(0.85)) value(name, r);
      }
    }
  }
  return entries;
}

std::string FieldFile() {
  return format::FieldFileBytes(
      {FieldSpec{"A"}, FieldSpec{"B"}, FieldSpec{"Nombre"}, FieldSpec{"A"}});
}

void ExpectSameFill(const App& fast, const App& slow) {
  ASSERT_NO_FATAL_FAILURE(ExpectSameCells(fast, slow));
  EXPECT_EQ(fast.ViewStart, slow.ViewStart);
  EXPECT_EQ(fast.ScanStart, slow.ScanStart);
  EXPECT_EQ(fast.ScanRecord, slow.ScanRecord);
}

// The viewer's state over an in-memory database, and the reference's beside it.
struct Pair {
  // Both states as the window's initialisation leaves them on a screen of this size: their
  // grid has the screen's columns and rows, as after every repaint.
  explicit Pair(ScreenSize screen) {
    for (MemoryTestApp* side : {&fast, &slow}) {
      side->ui.screen = screen;
      InitialiseWindow(side->app);
    }
  }
  MemoryTestApp fast, slow;
  App& f() { return fast.app; }
  App& s() { return slow.app; }

  void Install(const std::string& recordFile, MemoryFiles::Times times) {
    for (MemoryTestApp* side : {&fast, &slow}) {
      side->Use(kFolder, FieldFile(), recordFile);
      side->files.times[kRecordPath] = times;
      side->app.DatabaseLinked = 1;
    }
  }
  // The same read positions and view on both sides, and empty grids.
  void Align() {
    for (App* app : {&f(), &s()}) {
      app->ScanStart = s().ScanStart;
      app->ScanRecord = s().ScanRecord;
      app->FirstField = s().FirstField;
      app->FirstRecord = s().FirstRecord;
      app->Cells = CellGrid(app->LastColumn, app->LastRow);
    }
  }
  // The reference's fill after an operation of the viewer that made the grid anew.
  void ReferenceFill(std::int64_t first) {
    reference::FillGrid(s(), first);
    ExpectSameFill(f(), s());
  }
  void Fill(std::int64_t first) {
    Align();
    FillGrid(f(), first);
    reference::FillGrid(s(), first);
    ExpectSameFill(f(), s());
  }
};

TEST(BlockSummary, FillsPassingOverBlocksReadWhatTheReferenceReadsOnMalformedFiles) {
  Random random(12);
  int fills = 0, fillsReadingLess = 0;
  for (int file = 0; file < 400; ++file) {
    SCOPED_TRACE("file " + std::to_string(file));
    const std::int64_t records = 3 + random.Below(30);
    std::string recordFile = format::RecordFileBytes(MalformedEntries(random, records));
    if (random.Chance(0.2))
      recordFile.append(static_cast<std::size_t>(1 + random.Below(53)), '\x07');
    auto pair = std::make_unique<Pair>(ScreenSize{static_cast<int>(250 + random.Below(400)),
                                                  static_cast<int>(130 + random.Below(150))});
    pair->Install(recordFile, {1, 1});
    pair->f().ScanBlockEntries = 1 + random.Below(5);
    pair->s().FirstField = static_cast<std::int32_t>(1 + random.Below(3));
    // The first pass reads the file and summarizes it.
    pair->Fill(1 + random.Below(records));
    ASSERT_TRUE(pair->f().Summary);
    for (int op = 0; op < 12 && !::testing::Test::HasFailure(); ++op) {
      App& f = pair->f();
      App& s = pair->s();
      if (random.Chance(0.3)) {
        s.ScanStart = random.Below(static_cast<std::int64_t>(recordFile.size() / 54) + 2);
        s.ScanRecord = random.Below(records + 2);
      }
      if (random.Chance(0.2)) s.FirstField = static_cast<std::int32_t>(1 + random.Below(4));
      const std::int64_t before = pair->fast.files.bytesRead[kRecordPath];
      const std::int64_t kind = random.Below(4);
      if (kind == 0) {
        SCOPED_TRACE("fill");
        pair->Fill(random.Chance(0.9) ? random.Below(records + 3) : kMax - random.Below(3));
      } else if (kind == 1) {
        const std::int64_t record = random.Below(records + 3);
        SCOPED_TRACE("jump to " + std::to_string(record));
        pair->Align();
        f.InputActive = f.EntryIsRecordNumber = 1;
        f.TypedText = std::to_string(record);
        FinishEntry(f);
        pair->ReferenceFill(record);
      } else if (kind == 2) {
        const std::uint64_t key = random.Pick(std::vector<std::uint64_t>{0x21, 0x22, 0x23, 0x24});
        SCOPED_TRACE("page key " + std::to_string(key));
        s.FirstRecord = random.Below(records + 2);
        pair->Align();
        const std::int64_t from = f.FirstRecord;
        SurfaceHandler(f, kKeyDown, key, 0);
        s.FirstRecord = f.FirstRecord;
        if (f.FirstRecord != from) pair->ReferenceFill(f.FirstRecord);
      } else {
        SCOPED_TRACE("search");
        pair->Align();
        f.CurrentRow = s.CurrentRow = static_cast<std::int16_t>(random.Below(3));
        f.TypedText = s.TypedText = std::string(1, static_cast<char>('a' + random.Below(3)));
        // The reference reads record by record up to the last entry's record: keep to files
        // it can finish.
        if (reference::CountRecords(s) > 100) continue;
        const std::int32_t found = FindRecordByValue(f);
        EXPECT_EQ(found, reference::FindRecordByValue(s));
        EXPECT_EQ(f.ScanStart, s.ScanStart);
        EXPECT_EQ(f.ScanRecord, s.ScanRecord);
        // And the fill that shows what the search found.
        s.FirstRecord = f.FirstRecord;
        pair->Fill(f.FirstRecord);
      }
      if (kind != 3) {
        ++fills;
        if (pair->fast.files.bytesRead[kRecordPath] - before <
            static_cast<std::int64_t>(recordFile.size())) {
          ++fillsReadingLess;
        }
      }
    }
  }
  // The summary is used: many fills read less than the whole file.
  EXPECT_GT(fillsReadingLess, fills / 4);
}

// Records 1..n of fields A, B, Nombre, A, in order or from the last record to the first.
std::string OrderedFile(std::int64_t records, bool reversed, char character = 'v') {
  DatabaseSpec database{{FieldSpec{"A"}, FieldSpec{"B"}, FieldSpec{"Nombre"}, FieldSpec{"A"}}, {}};
  for (std::int64_t k = 1; k <= records; ++k) {
    const std::int64_t r = reversed ? records + 1 - k : k;
    database.records.push_back(
        RecordSpec{r,
                   {std::string(2, character) + std::to_string(r), std::nullopt,
                    "n" + std::to_string(r), std::string(1, character)}});
  }
  return format::RecordFileBytes(BrokenEntries(database, Breakage{}));
}

TEST(BlockSummary, AFileChangedBetweenTwoFillsIsReadAfresh) {
  struct Change {
    const char* what;
    std::string newFile;
    MemoryFiles::Times newTimes;
    bool update;  // through the Update command
  };
  const std::string old = OrderedFile(40, false);
  const MemoryFiles::Times oldTimes{1, 1};
  const std::vector<Change> changes = {
      {"appended", old + OrderedFile(45, false).substr(old.size()), {1, 2}, false},
      {"truncated", old.substr(0, old.size() * 2 / 3), {1, 2}, false},
      {"rewritten, same length, new last-write time", OrderedFile(40, true), {2, 2}, false},
      // A copy that keeps times, or a file system with 2-second times.
      {"rewritten, same length and last-write time", OrderedFile(40, true, 'w'), {1, 2}, false},
      {"rewritten, same length and times, then Update", OrderedFile(40, false, 'w'), oldTimes,
       true},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    ASSERT_EQ(change.update, change.newTimes == oldTimes && change.newFile.size() == old.size());
    auto pair = std::make_unique<Pair>(ScreenSize{400, 200});
    pair->Install(old, oldTimes);
    pair->f().ScanBlockEntries = 7;
    pair->s().FirstField = 1;
    pair->Fill(36);
    pair->Fill(30);  // now by the summary
    ASSERT_TRUE(pair->f().Summary);
    pair->Install(change.newFile, change.newTimes);
    pair->s().FirstRecord = 30;
    pair->Align();
    if (change.update) {
      Update(pair->f());
      pair->ReferenceFill(30);
    } else {
      pair->Fill(30);
    }
    pair->Fill(change.newFile.size() > old.size() ? 43 : 12);
  }
}

// With the summary that linking made, a move at the end of a well-formed file of 10^5
// entries reads the field table and a block or two of the record file, and shows what the
// reference shows.
TEST(BlockSummary, AStepAtTheLastRecordReadsAFewBlocks) {
  TempFolder temp;
  const auto database = format::WriteBenchmarkDatabase(temp.path(), "large", 100000);
  for (const ScanOperation& operation : SummaryOperations(database)) {
    SCOPED_TRACE(operation.name);
    TestApp t(kScanScreen), reference(kScanScreen);
    operation.prepare(t.app, t.ui());
    operation.prepare(reference.app, reference.ui());
    const std::int64_t before = t.fake->files.bytesRead;
    const std::int64_t result = operation.run(t.app);
    const std::int64_t bytes = t.fake->files.bytesRead - before;
    EXPECT_LE(bytes, 3 * database.fieldFileBytes + 2 * t.app.ScanBlockEntries * kEntrySize +
                         4 * kEntrySize);
    EXPECT_EQ(Outcome(t.app, result), Outcome(reference.app, operation.reference(reference.app)));
  }
}

}  // namespace
}  // namespace tomo::testing

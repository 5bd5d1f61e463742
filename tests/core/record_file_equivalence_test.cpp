// The block-reading, one-pass record file operations against the entry-by-entry reference,
// on thousands of random databases, well-formed and broken, with and without operations
// nested into their scans.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <random>

#include "fakes/memory_files.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/reference_reader.h"

namespace tomo::testing {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const std::string kFolder = "\\mem\\db";
// The reference search reads every record one by one: keep it to files it can finish.
constexpr std::int64_t kReferenceSearchLimit = 2000;

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Below(std::uint64_t n) { return engine_() % n; }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine_) < p; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  std::mt19937_64 engine_;
};

const std::vector<std::string> kNames = {"A", "B", "Nombre", "a", "A ", ""};
const std::vector<std::int64_t> kOddRecords = {0, -1, kMax, kMin, std::int64_t{1} << 62, 100};

std::int64_t RandomRecord(Random& random) {
  return random.Chance(0.9) ? static_cast<std::int64_t>(random.Below(7)) + 1
                            : random.Pick(kOddRecords);
}

char RandomCharacter(Random& random) {
  static const std::string kCharacters = std::string("ab1 0.&H", 8) + std::string(1, '\0');
  return kCharacters[random.Below(kCharacters.size())];
}

std::vector<FieldSpec> RandomFields(Random& random) {
  std::vector<FieldSpec> fields(1 + random.Below(4));
  const std::vector<std::int16_t> types = {3, 4, 9, 5, 0, 12};
  for (FieldSpec& field : fields) {
    field.name = random.Pick(kNames);
    field.type = random.Pick(types);
    field.options = random.Chance(0.5) ? "x|y|z" : " p | q ";
  }
  return fields;
}

std::string RandomText(Random& random) {
  std::string text(1 + random.Below(4), ' ');
  for (char& c : text) c = RandomCharacter(random);
  return text;
}

// A database described by records, written in order or broken in one or more ways.
std::vector<Entry> DescribedEntries(Random& random, const std::vector<FieldSpec>& fields) {
  DatabaseSpec database{fields, {}};
  const std::int64_t records = static_cast<std::int64_t>(random.Below(9));
  for (std::int64_t r = 1; r <= records; ++r) {
    RecordSpec record{random.Chance(0.9) ? r : random.Pick(kOddRecords), {}};
    for (std::size_t f = 0; f < fields.size(); ++f) {
      if (random.Chance(0.75)) {
        record.values.emplace_back(RandomText(random));
      } else {
        record.values.emplace_back();
      }
    }
    database.records.push_back(record);
  }
  Breakage breakage;
  breakage.seed = static_cast<std::uint32_t>(random.Below(1000));
  breakage.shuffleRecords = random.Chance(0.3);
  breakage.interruptRuns = random.Chance(0.2);
  if (random.Chance(0.15)) breakage.lastMark = random.Pick(std::vector<std::int32_t>{0, 2, -1});
  breakage.unterminatedNames = random.Chance(0.05);
  return BrokenEntries(database, breakage);
}

// Entries of no order at all: short runs of random names, records, characters and marks.
std::vector<Entry> RawEntries(Random& random) {
  std::vector<Entry> entries;
  const std::size_t runs = random.Below(30);
  for (std::size_t run = 0; run < runs; ++run) {
    std::string name = random.Pick(kNames);
    if (random.Chance(0.05)) name = std::string(35, 'A');            // no zero byte
    if (random.Chance(0.05)) name += std::string(1, '\0') + "junk";  // bytes after the zero
    const std::int64_t record = RandomRecord(random);
    const std::size_t length = 1 + random.Below(5);
    for (std::size_t k = 0; k < length; ++k) {
      const std::int32_t mark = k + 1 == length
                                    ? random.Pick(std::vector<std::int32_t>{1, 1, 1, 0, 2, -1})
                                    : random.Pick(std::vector<std::int32_t>{0, 0, 0, 1});
      entries.push_back(Entry{RandomCharacter(random), name,
                              random.Chance(0.9) ? record : RandomRecord(random), mark});
    }
  }
  return entries;
}

struct Database {
  std::string fieldFile;
  std::string recordFile;
  std::vector<std::string> values;  // texts worth searching for
};

Database RandomDatabase(Random& random, bool raw) {
  const std::vector<FieldSpec> fields = RandomFields(random);
  const std::vector<Entry> entries = raw ? RawEntries(random) : DescribedEntries(random, fields);
  Database database{format::FieldFileBytes(fields), format::RecordFileBytes(entries), {}};
  if (random.Chance(0.1)) database.recordFile.append(random.Below(54), '\x07');
  // The texts values collect (per record, since the last entry of another name), and
  // their ends, which a read that starts inside a value finds.
  std::map<std::int64_t, std::string> collected;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && entries[i].name != entries[i - 1].name) collected.clear();
    std::string& text = collected[entries[i].record];
    text += entries[i].character;
    if (entries[i].mark != 1) continue;
    for (std::size_t k = 0; k < text.size(); ++k) database.values.push_back(text.substr(k));
    text.clear();
  }
  database.values.push_back(std::string(kNoData));
  database.values.push_back("");
  return database;
}

void Install(MemoryTestApp& side, const Database& database) {
  side.Use(kFolder, database.fieldFile, database.recordFile);
}

// The state the operations read and write.
void CopyState(const App& from, App& to) {
  to.ScanStart = from.ScanStart;
  to.ScanRecord = from.ScanRecord;
  to.ViewStart = from.ViewStart;
  to.FirstRecord = from.FirstRecord;
  to.FirstField = from.FirstField;
  to.CurrentRow = from.CurrentRow;
  to.TypedText = from.TypedText;
  to.LastColumn = from.LastColumn;
  to.LastRow = from.LastRow;
  to.Cells = from.Cells;
}

void ExpectSameCells(const App& fast, const App& slow) {
  ASSERT_EQ(fast.Cells.Columns(), slow.Cells.Columns());
  ASSERT_EQ(fast.Cells.Rows(), slow.Cells.Rows());
  for (int r = 0; r < slow.Cells.Rows(); ++r) {
    for (int c = 0; c < slow.Cells.Columns(); ++c) {
      ASSERT_EQ(fast.Cells.At(c, r), slow.Cells.At(c, r)) << "cell " << c << "x" << r;
    }
  }
}

// One random operation on both states; `nested` when the fast side may run other
// operations inside its scans, which leaves it free to differ in what its operation does
// not write.
class Comparison {
 public:
  Comparison(Random& random, const Database& database, App& fast, App& slow)
      : random_(random), database_(database), fast_(fast), slow_(slow) {}

  void RandomOperation(bool nested) {
    if (random_.Chance(0.3)) {
      slow_.ScanStart = static_cast<std::int64_t>(random_.Below(40));
      slow_.ScanRecord = RandomRecord(random_);
    }
    CopyState(slow_, fast_);
    switch (random_.Below(5)) {
      case 0:
        return Fill(nested);
      case 1:
        return Search(nested);
      case 2: {
        const std::string name = random_.Pick(kNames);
        const std::int64_t record = RandomRecord(random_);
        SCOPED_TRACE("ReadValue " + name + " " + std::to_string(record));
        const std::int64_t start = slow_.ScanStart, scanRecord = slow_.ScanRecord;
        EXPECT_EQ(ReadValue(fast_, name, record), reference::ReadValue(slow_, name, record));
        if (!nested || start != slow_.ScanStart || scanRecord != slow_.ScanRecord) {
          EXPECT_EQ(fast_.ScanStart, slow_.ScanStart);
          EXPECT_EQ(fast_.ScanRecord, slow_.ScanRecord);
        }
        return;
      }
      case 3: {
        const std::string name = random_.Pick(kNames);
        const std::int64_t record = RandomRecord(random_);
        EXPECT_EQ(FindValueStart(fast_, name, record),
                  reference::FindValueStart(slow_, name, record));
        return;
      }
      default:
        EXPECT_EQ(CountRecords(fast_), reference::CountRecords(slow_));
    }
  }

 private:
  void Fill(bool nested) {
    const std::vector<std::int64_t> firsts = {1, 2, 3, 0, -1, kMax - 1, kMin, kMax};
    const std::int64_t first = random_.Chance(0.8) ? static_cast<std::int64_t>(random_.Below(8)) + 1
                                                   : random_.Pick(firsts);
    slow_.FirstField = static_cast<std::int32_t>(random_.Below(5));
    slow_.LastColumn = static_cast<std::int16_t>(random_.Below(6));
    slow_.LastRow = static_cast<std::int16_t>(random_.Below(6));
    slow_.Cells = CellGrid(slow_.LastColumn, slow_.LastRow);
    CopyState(slow_, fast_);
    SCOPED_TRACE("FillGrid from " + std::to_string(first) + " field " +
                 std::to_string(slow_.FirstField));
    FillGrid(fast_, first);
    reference::FillGrid(slow_, first);
    ExpectSameCells(fast_, slow_);
    EXPECT_EQ(fast_.ViewStart, slow_.ViewStart);
    EXPECT_EQ(fast_.ScanStart, slow_.ScanStart);
    EXPECT_EQ(fast_.ScanRecord, slow_.ScanRecord);
    (void)nested;  // a fill writes all of these, nested or not
  }

  void Search(bool nested) {
    LoadFieldTable(slow_);
    slow_.FirstField = static_cast<std::int32_t>(random_.Below(4));
    slow_.CurrentRow = static_cast<std::int16_t>(random_.Below(4));
    slow_.TypedText = random_.Chance(0.8) ? random_.Pick(database_.values) : RandomText(random_);
    CopyState(slow_, fast_);
    LoadFieldTable(fast_);
    SCOPED_TRACE("FindRecordByValue '" + slow_.TypedText + "'");
    if (reference::CountRecords(slow_) > kReferenceSearchLimit) {
      FindRecordByValue(fast_);  // finishes at once all the same
      return;
    }
    const std::int32_t found = FindRecordByValue(fast_);
    EXPECT_EQ(found, reference::FindRecordByValue(slow_));
    EXPECT_EQ(fast_.ScanStart, slow_.ScanStart);
    EXPECT_EQ(fast_.ScanRecord, slow_.ScanRecord);
    if (found == 1 || !nested) {
      EXPECT_EQ(fast_.FirstRecord, slow_.FirstRecord);
    }
  }

  Random& random_;
  const Database& database_;
  App& fast_;
  App& slow_;
};

void CompareOnRandomFiles(std::uint64_t seed, int files, bool raw, bool nested) {
  Random random(seed);
  for (int n = 0; n < files; ++n) {
    SCOPED_TRACE("file " + std::to_string(n));
    const Database database = RandomDatabase(random, raw);
    const auto fast = std::make_unique<MemoryTestApp>();
    const auto slow = std::make_unique<MemoryTestApp>();
    Install(*fast, database);
    Install(*slow, database);
    // Small blocks, so that values and runs cross block boundaries.
    if (random.Chance(0.5))
      fast->app.ScanBlockEntries = 1 + static_cast<std::int64_t>(random.Below(5));
    if (nested) {
      // Scans of one to three entries per block, with the messages let through after each.
      fast->app.ScanBlockEntries = 1 + static_cast<std::int64_t>(random.Below(3));
      fast->app.ScanPumpMicroseconds = 0;
      // A nested operation changes the read positions, the first record and the cells; it
      // leaves the grid's shape and first field as they are.
      fast->ui.onPump = [&](int) {
        App& app = fast->app;
        switch (random.Below(4)) {
          case 0:
            app.Cells = CellGrid(app.LastColumn, app.LastRow);
            FillGrid(app, RandomRecord(random));
            break;
          case 1:
            app.TypedText = random.Pick(database.values);
            app.CurrentRow = static_cast<std::int16_t>(random.Below(3));
            FindRecordByValue(app);
            break;
          case 2:
            ReadValue(app, random.Pick(kNames), RandomRecord(random));
            break;
          default:
            CountRecords(app);
        }
      };
    }
    Comparison comparison(random, database, fast->app, slow->app);
    for (int op = 0; op < 8; ++op) {
      comparison.RandomOperation(nested);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

TEST(RecordFileEquivalence, DescribedFilesWholeAndBroken) {
  CompareOnRandomFiles(11, 3000, false, false);
}

TEST(RecordFileEquivalence, RawRandomEntries) {
  CompareOnRandomFiles(22, 3000, true, false);
}

TEST(RecordFileEquivalence, OperationsNestedIntoScansChangeNothing) {
  CompareOnRandomFiles(33, 1000, false, true);
  CompareOnRandomFiles(44, 1000, true, true);
}

}  // namespace
}  // namespace tomo::testing

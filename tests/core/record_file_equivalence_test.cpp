// The block-reading, one-pass record file operations against the entry-by-entry reference,
// on thousands of random databases, well-formed and broken, with and without operations
// nested into their scans.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <random>

#include "fakes/memory_files.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "storage/fill_grid.h"
#include "storage/record_file.h"
#include "support/database_writer.h"
#include "support/number_texts.h"
#include "support/record_reads.h"
#include "support/reference_reader.h"
#include "support/same_cells.h"

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

// Names are compared a word (8 bytes) at a time, so the long ones share whole words, differ
// in a word's first or last byte, and pass the limits: 30 bytes (the longest field name),
// 31 to 34 (cut to 30 in the field table, whole in the entries) and 35 (no zero byte left in
// an entry's name field).
std::vector<std::string> Names() {
  const std::string text = "Telefono movil de contacto habitual";
  std::vector<std::string> names = {"A", "B", "Nombre", "a", "A ", ""};
  for (const std::size_t length : {8, 9, 15, 16, 17, 23, 24, 25, 30, 31, 33, 34, 35}) {
    names.push_back(text.substr(0, length));
  }
  for (const std::size_t differing : {0, 7, 8, 15, 29, 33}) {
    names.push_back(text.substr(0, differing) + "#");
  }
  return names;
}
const std::vector<std::string> kNames = Names();
const std::vector<std::int64_t> kOddRecords = {0, -1, kMax, kMin, std::int64_t{1} << 62, 100};

std::int64_t RandomRecord(Random& random) {
  return random.Chance(0.9) ? static_cast<std::int64_t>(random.Below(7)) + 1
                            : random.Pick(kOddRecords);
}

char RandomCharacter(Random& random) {
  static const std::string kCharacters = std::string("ab1 0.&H", 8) + std::string(1, '\0');
  return kCharacters[random.Below(kCharacters.size())];
}

// Option lists whose last option the 12000-byte limit cuts (at a letter, after a blank, just
// before a separator), and one of a hundred options, where an absent value (0) selects one.
std::vector<std::string> LongOptionLists() {
  const std::string list = "x|y|" + std::string(12010, 'z');
  std::string blankAtTheCut = list.substr(0, 12005);
  blankAtTheCut[11999] = ' ';
  std::string barAfterTheCut = list.substr(0, 12005);
  barAfterTheCut[12000] = '|';
  std::string hundred = "o1";
  for (int k = 2; k <= 100; ++k) hundred += "|o" + std::to_string(k);
  return {list.substr(0, 12000), list.substr(0, 12001), blankAtTheCut, barAfterTheCut, hundred};
}

// A few names for one database, used by its fields, its entries and the operations on it.
std::vector<std::string> RandomNames(Random& random) {
  std::vector<std::string> names(1 + random.Below(5));
  for (std::string& name : names) name = random.Pick(kNames);
  return names;
}

std::vector<FieldSpec> RandomFields(Random& random, const std::vector<std::string>& names) {
  static const std::vector<std::string> longLists = LongOptionLists();
  std::vector<FieldSpec> fields(1 + random.Below(4));
  const std::vector<std::int16_t> types = {3, 4, 9, 5, 0, 12};
  for (FieldSpec& field : fields) {
    field.name = random.Pick(names);
    field.type = random.Pick(types);
    field.options = random.Chance(0.2)   ? random.Pick(longLists)
                    : random.Chance(0.5) ? "x|y|z"
                                         : " p | q ";
  }
  return fields;
}

// Random characters, or now and then (mostly, for `numbers`) a number text.
std::string RandomText(Random& random, bool numbers = false) {
  if (random.Chance(numbers ? 0.7 : 0.1)) return random.Pick(kNumberTexts);
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
        record.values.emplace_back(RandomText(random, fields[f].type == 4 || fields[f].type == 9));
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
std::vector<Entry> RawEntries(Random& random, const std::vector<std::string>& names) {
  std::vector<Entry> entries;
  const std::size_t runs = random.Below(30);
  for (std::size_t run = 0; run < runs; ++run) {
    std::string name = random.Chance(0.9) ? random.Pick(names) : random.Pick(kNames);
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
  std::vector<std::string> names;   // the names its fields and entries are made with
  std::vector<std::string> values;  // texts worth searching for
};

Database RandomDatabase(Random& random, bool raw) {
  const std::vector<std::string> names = RandomNames(random);
  const std::vector<FieldSpec> fields = RandomFields(random, names);
  const std::vector<Entry> entries =
      raw ? RawEntries(random, names) : DescribedEntries(random, fields);
  Database database{format::FieldFileBytes(fields), format::RecordFileBytes(entries), names, {}};
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

// One random operation on both states; `nested` when the fast side may run other
// operations inside its scans, which leaves it free to differ in what its operation does
// not write.
class Comparison {
 public:
  Comparison(Random& random, const Database& database, App& fast, App& slow)
      : random_(random), database_(database), fast_(fast), slow_(slow) {}

  // Mostly a name the database is made with, now and then any other.
  std::string RandomName() {
    return random_.Chance(0.8) ? random_.Pick(database_.names) : random_.Pick(kNames);
  }

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
        const std::string name = RandomName();
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
        const std::string name = RandomName();
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
            ReadValue(app, random.Pick(database.names), RandomRecord(random));
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

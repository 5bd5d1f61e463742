#include "storage/record_file.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fakes/fake_platform.h"
#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "support/database_writer.h"
#include "support/record_reads.h"

namespace tomo::testing {
namespace {

// A database of the given entries, with the fields named in them, linked into a test app.
class RecordFileTest : public ::testing::Test {
 protected:
  void Use(const std::vector<Entry>& entries, std::size_t trailingBytes = 0) {
    std::string bytes = format::RecordFileBytes(entries);
    bytes.append(trailingBytes, '\x01');
    t.app.DatabaseFolder =
        WriteDatabaseFiles(temp.path(), "db" + std::to_string(++databases),
                           format::FieldFileBytes({{"Nombre"}, {"Ciudad"}, {"Edad"}}), bytes);
    LoadFieldTable(t.app);
  }
  void Use(const DatabaseSpec& database, const Breakage& breakage = {}) {
    Use(BrokenEntries(database, breakage));
  }
  std::string Read(std::string_view field, std::int64_t record) {
    return ReadValue(t.app, field, record);
  }

  TempFolder temp;
  TestApp t;
  int databases = 0;
};

std::vector<Entry> Concat(std::initializer_list<std::vector<Entry>> parts) {
  std::vector<Entry> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<Entry> Value(const std::string& field, std::int64_t record, const std::string& text) {
  return format::ValueEntries(field, record, text);
}

TEST_F(RecordFileTest, ValuesCountsAndAbsentValues) {
  Use(Value("Nombre", 1, "Ana"));
  EXPECT_EQ(CountRecords(t.app), 1);
  EXPECT_EQ(Read("Nombre", 1), "Ana");
  EXPECT_EQ(Read("Nombre", 2), "No datos");
  EXPECT_EQ(Read("Ciudad", 1), "No datos");
  EXPECT_EQ(Read("nombre", 1), "No datos");  // names compare byte for byte
  // The last entry's record number counts, not the records that have entries.
  Use(Concat({Value("Nombre", 1, "Ana"), Value("Nombre", 7, "Eva")}), 20);
  EXPECT_EQ(CountRecords(t.app), 7);
  t.app.ScanStart = 0;
  for (std::int64_t r = 2; r <= 6; ++r) EXPECT_EQ(Read("Nombre", r), "No datos");
  EXPECT_EQ(Read("Nombre", 7), "Eva");
  Use(std::vector<Entry>{});
  EXPECT_EQ(CountRecords(t.app), 0);
  EXPECT_EQ(Read("Nombre", 1), "No datos");
  t.app.DatabaseFolder =
      WriteDatabaseFiles(temp.path(), "nozbd", std::string(12042, '\0'), std::nullopt);
  EXPECT_EQ(CountRecords(t.app), 0);
  EXPECT_EQ(FindValueStart(t.app, "Nombre", 1), 0);
}

TEST_F(RecordFileTest, BrokenValues) {
  // An entry of another field inside a value restarts it.
  std::vector<Entry> interrupted = Value("Nombre", 1, "Ana");
  interrupted.insert(interrupted.begin() + 1, Entry{'x', "Ciudad", 1, 1});
  Use(interrupted);
  EXPECT_EQ(Read("Nombre", 1), "na");
  // Entries of another record of the same field do not.
  interrupted = Value("Nombre", 1, "Ana");
  interrupted.insert(interrupted.begin() + 1, Entry{'x', "Nombre", 2, 0});
  Use(interrupted);
  t.app.ScanStart = 1;
  EXPECT_EQ(Read("Nombre", 1), "Ana");
  // No last-character mark of exactly 1: never complete.
  for (const std::int32_t mark : {0, 2, -1}) {
    Breakage broken;
    broken.lastMark = mark;
    Use(DatabaseSpec{{{"Nombre"}}, Records({{"Ana"}})}, broken);
    EXPECT_EQ(Read("Nombre", 1), "No datos") << mark;
  }
  // Names of 35 bytes without a zero byte match no field, whatever their first bytes.
  Breakage unterminated;
  unterminated.unterminatedNames = true;
  Use(DatabaseSpec{{{"Nombre"}}, Records({{"Ana"}})}, unterminated);
  EXPECT_EQ(Read("Nombre", 1), "No datos");
  EXPECT_EQ(Read("Nombre" + std::string(29, '_'), 1), "No datos");
  EXPECT_EQ(FindValueStart(t.app, "Nombre", 1), 0);
  // Zero bytes are characters like any other; a partial entry at the end is ignored.
  Use(Value("Nombre", 1, std::string("A\0a", 3)), 53);
  EXPECT_EQ(Read("Nombre", 1), std::string("A\0a", 3));
}

TEST_F(RecordFileTest, ScanStartMovesToTheFirstValueReadForEachRecord) {
  Use(DatabaseSpec{{{"Nombre"}, {"Ciudad"}},
                   Records({{"Ana", "Cadiz"},
                            {"Eva", std::nullopt},
                            {"Luis", "Leon"},
                            {"Pilar", "Jaen"},
                            {"Raul", "Avila"}})});
  t.app.ScanStart = 0;
  t.app.ScanRecord = 0;
  EXPECT_EQ(Read("Nombre", 1), "Ana");
  EXPECT_EQ(t.app.ScanStart, 3);
  EXPECT_EQ(t.app.ScanRecord, 1);
  EXPECT_EQ(Read("Ciudad", 1), "Cadiz");  // same record: ScanStart stays
  EXPECT_EQ(t.app.ScanStart, 3);
  EXPECT_EQ(Read("Nombre", 5), "Raul");
  EXPECT_EQ(t.app.ScanRecord, 5);
  const std::int64_t afterFive = t.app.ScanStart;
  EXPECT_EQ(Read("Nombre", 3), "No datos");  // lies before ScanStart
  EXPECT_EQ(t.app.ScanStart, afterFive);
  EXPECT_EQ(t.app.ScanRecord, 5);
  t.app.ScanStart = 1000;  // beyond the end of the file
  EXPECT_EQ(Read("Nombre", 5), "No datos");
  // FindValueStart always scans from the first entry and moves nothing.
  EXPECT_EQ(FindValueStart(t.app, "Nombre", 3), 3 + 5 + 3 + 1);
  EXPECT_EQ(FindValueStart(t.app, "Ciudad", 2), 0);
  EXPECT_EQ(t.app.ScanStart, 1000);
}

TEST_F(RecordFileTest, SearchFindsTheFirstRecordWithExactlyTheText) {
  Use(DatabaseSpec{{{"Nombre"}, {"Ciudad"}},
                   Records({{"Eva", "Cádiz"},
                            {"Luis", std::nullopt},
                            {"Ana", "León"},
                            {"Pilar", "Jaén"},
                            {"Ana ", "Ávila"},
                            {"Raúl", std::nullopt},
                            {"Ana", "Soria"}})});
  t.app.FirstField = 1;
  t.app.CurrentRow = 1;
  const auto search = [&](const std::string& text) {
    t.app.TypedText = text;
    t.app.FirstRecord = -9;
    return FindRecordByValue(t.app);
  };
  EXPECT_EQ(search("Ana"), 1);
  EXPECT_EQ(t.app.FirstRecord, 3);
  EXPECT_EQ(search("Ana"), 1);  // every search starts at record 1
  EXPECT_EQ(t.app.FirstRecord, 3);
  EXPECT_EQ(search("Ana "), 1);
  EXPECT_EQ(t.app.FirstRecord, 5);
  for (const std::string text : {"ana", "An", "", "Ana  "}) {
    EXPECT_EQ(search(text), 0) << text;
    EXPECT_EQ(t.app.FirstRecord, -9);
  }
  t.app.CurrentRow = 2;
  EXPECT_EQ(search("No datos"), 1);  // the first record without a value
  EXPECT_EQ(t.app.FirstRecord, 2);
  EXPECT_EQ(search("Soria"), 1);
  EXPECT_EQ(t.app.FirstRecord, 7);
  // A field beyond the table finds nothing and moves nothing.
  t.app.CurrentRow = 4;
  t.app.ScanStart = 42;
  EXPECT_EQ(search("Ana"), 0);
  EXPECT_EQ(t.app.ScanStart, 42);
}

TEST_F(RecordFileTest, HugeRecordNumbersDoNotMakeSearchesEndless) {
  const std::int64_t huge = std::int64_t{1} << 62;
  Use(Concat({Value("Nombre", 1, "Ana"), Value("Nombre", 2, "Eva"), Value("Ciudad", 3, "León"),
              Value("Nombre", huge, "Luis")}));
  ASSERT_EQ(CountRecords(t.app), huge);
  t.app.FirstField = 1;
  t.app.CurrentRow = 1;
  const auto started = std::chrono::steady_clock::now();
  t.app.TypedText = "Pilar";
  EXPECT_EQ(FindRecordByValue(t.app), 0);
  t.app.TypedText = "Luis";
  EXPECT_EQ(FindRecordByValue(t.app), 1);
  EXPECT_EQ(t.app.FirstRecord, huge);
  t.app.TypedText = "No datos";
  EXPECT_EQ(FindRecordByValue(t.app), 1);
  EXPECT_EQ(t.app.FirstRecord, 3);
  t.app.CurrentRow = 2;
  EXPECT_EQ(FindRecordByValue(t.app), 1);
  EXPECT_EQ(t.app.FirstRecord, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

}  // namespace
}  // namespace tomo::testing

// The export's choice of reading, on random databases, whether or not its output can take
// back what it got: the records the sink keeps are the reference's, and an output that
// cannot take them back is never asked to.
#include "export/export_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "shell/linked_database.h"
#include "storage/field_table.h"
#include "support/linked_app.h"
#include "support/random_database.h"
#include "support/reference_shown.h"

namespace tomo::testing {
namespace {

class KeptRecords : public ExportSink {
 public:
  void Start() override { ++starts; }
  void Take(std::int64_t record, const RecordValues& values) override {
    EXPECT_EQ(starts, 1) << "a record before Start";
    kept.records.push_back(record);
    auto& row = kept.values.emplace_back();
    for (const auto& value : values) row.emplace_back(value);
  }
  void Complete() override { ++completions; }
  void StartOver() override {
    ++startsOver;
    kept = {};
  }

  int starts = 0, completions = 0, startsOver = 0;
  Shown kept;
};

TEST(ExportReading, KeepsTheReferenceRecordsAndTakesNothingBackFromAnOutputThatCannot) {
  std::mt19937_64 random(11);
  int complete = 0, restarted = 0, appendedStreamed = 0;
  for (int n = 0; n < 1500; ++n) {
    SCOPED_TRACE("database " + std::to_string(n));
    const RandomDatabase files = MakeRandomDatabase(random);
    auto side = std::make_unique<MemoryTestApp>();
    side->Use("\\mem\\db", files.fieldFile, files.recordFile);
    // Small blocks leave the values appended out of the last block looked at.
    if (n % 3 == 2) side->app.ScanBlockEntries = 1 + static_cast<std::int64_t>(random() % 5);
    const Database database = DatabaseOf(side->app);
    ExportReading reading;
    reading.checkFirst = n % 2 == 1;
    KeptRecords sink;
    const ExportOutcome outcome = ReadForExport(database, ReadFieldTable(database), reading, sink);
    if (reading.checkFirst) {
      EXPECT_EQ(sink.startsOver, 0);
    }
    if (outcome.end != ExportEnd::kComplete) {
      EXPECT_EQ(sink.completions, 0);
      continue;
    }
    ++complete;
    restarted += sink.startsOver;
    appendedStreamed += files.appended && sink.startsOver == 0 && !reading.checkFirst;
    EXPECT_EQ(sink.completions, 1);
    EXPECT_EQ(sink.kept, ReferenceShown(side->app));
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(complete, 1000);
  EXPECT_GT(restarted, 10);         // streams that broke off and started over were among them
  EXPECT_GT(appendedStreamed, 30);  // and streams of values appended at the end, not broken off
}

// Reads of the record file that stop halfway: another program cut it short after it was
// opened.
class CutShortReads : public Files {
 public:
  explicit CutShortReads(Files& files) : files_(files) {}
  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override {
    struct Half : ReadOnlyFile {
      std::unique_ptr<ReadOnlyFile> whole;
      std::int64_t Length() override { return whole->Length(); }
      FileStamp Stamp() override { return whole->Stamp(); }
      std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
        const std::int64_t readable = Length() / 2 - offset;
        if (readable <= 0) return 0;
        return whole->ReadAt(offset, buffer, std::min(size, static_cast<std::size_t>(readable)));
      }
    };
    auto file = files_.OpenForReading(path);
    if (!path.ends_with(".zbd")) return file;
    auto half = std::make_unique<Half>();
    half->whole = std::move(file);
    return half;
  }
  std::string CreateTempFile() override { return {}; }
  void DeleteTempFile(const std::string&) override {}

 private:
  Files& files_;
};

// Streamed, or read as shown after the stream broke off, a file cut short while read ends the
// export unfinished: nothing is completed.
TEST(ExportReading, AFileCutShortWhileReadIsNeverCompleted) {
  for (const bool reversed : {false, true}) {
    for (const bool checkFirst : {false, true}) {
      SCOPED_TRACE(::testing::Message()
                   << "reversed " << reversed << ", check first " << checkFirst);
      DatabaseSpec described = NumberedDatabase(40, 2);
      if (reversed) std::reverse(described.records.begin(), described.records.end());
      MemoryTestApp side;
      side.Use("\\mem\\db", format::FieldFileBytes(described.fields),
               format::RecordFileBytes(format::RecordEntries(described)));
      const Database whole = DatabaseOf(side.app);
      CutShortReads cut(whole.files);
      const Database database{cut, whole.pump, whole.fieldFilePath, whole.recordFilePath,
                              whole.state};
      ExportReading reading;
      reading.checkFirst = checkFirst;
      KeptRecords sink;
      const ExportOutcome outcome = ReadForExport(database, ReadFieldTable(whole), reading, sink);
      EXPECT_EQ(outcome.end, ExportEnd::kCutShort);
      EXPECT_EQ(sink.completions, 0);
    }
  }
}

}  // namespace
}  // namespace tomo::testing

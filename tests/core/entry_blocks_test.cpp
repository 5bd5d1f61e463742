// Reading ahead hands out the very blocks that reading one block at a time does.
#include "storage/entry_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

namespace tomo::testing {
namespace {

// A record file of `entries` entries, each holding its own number as its record number,
// whose reads stop after `readable` entries: another program cut it short after it was
// opened.
class CutShortFiles : public Files, public ScanPump {
 public:
  CutShortFiles(std::int64_t entries, std::int64_t readable)
      : bytes_(static_cast<std::size_t>(entries * kEntrySize), '\0'),
        readable_(readable * kEntrySize) {
    for (std::int64_t e = 0; e < entries; ++e) {
      const std::int64_t record = e + 1;
      std::memcpy(bytes_.data() + e * kEntrySize + 40, &record, sizeof record);
    }
  }
  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string&) override {
    return std::make_unique<File>(*this);
  }
  std::string CreateTempFile() override { return {}; }
  void DeleteTempFile(const std::string&) override {}
  void PumpMessages() override {}
  std::int64_t NowMicroseconds() override { return 0; }

 private:
  struct File : ReadOnlyFile {
    explicit File(const CutShortFiles& files) : files_(files) {}
    std::int64_t Length() override { return static_cast<std::int64_t>(files_.bytes_.size()); }
    FileStamp Stamp() override { return FileStamp{.length = Length()}; }
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
      if (offset < 0 || offset >= files_.readable_) return 0;
      const auto n =
          std::min<std::size_t>(size, static_cast<std::size_t>(files_.readable_ - offset));
      std::memcpy(buffer, files_.bytes_.data() + offset, n);
      return n;
    }
    const CutShortFiles& files_;
  };
  std::string bytes_;
  std::int64_t readable_;
};

// Each block read: its first entry, its entries, and the record numbers they hold.
using Blocks = std::vector<std::tuple<std::int64_t, std::int64_t, std::vector<std::int64_t>>>;

Blocks ReadAll(CutShortFiles& files, std::int64_t blockEntries, std::int64_t first, bool ahead) {
  ReadState state;
  state.ScanBlockEntries = blockEntries;
  const Database database{files, files, "f", "r", state};
  EntryBlocks blocks(database, first);
  if (ahead) blocks.ReadAhead();
  Blocks read;
  while (blocks.Next()) {
    std::vector<std::int64_t> records;
    for (std::int64_t k = 0; k < blocks.Count(); ++k)
      records.push_back(EntryRecord(blocks.Bytes(k)));
    read.emplace_back(blocks.First(), blocks.Count(), records);
  }
  return read;
}

TEST(EntryBlocks, ReadingAheadReadsTheSameBlocks) {
  for (const std::int64_t entries : {0, 1, 5, 20}) {
    for (const std::int64_t readable : {entries, std::int64_t{0}, entries / 2, entries - 1}) {
      for (const std::int64_t blockEntries : {1, 2, 3, 7, 100}) {
        for (const std::int64_t first : {1, 2, 6}) {
          SCOPED_TRACE(::testing::Message() << entries << " entries, " << readable << " readable, "
                                            << blockEntries << " per block, from " << first);
          CutShortFiles files(entries, std::max<std::int64_t>(readable, 0));
          EXPECT_EQ(ReadAll(files, blockEntries, first, true),
                    ReadAll(files, blockEntries, first, false));
        }
      }
    }
  }
}

// A pass that stops early (a file out of order) ends the reading thread with it.
TEST(EntryBlocks, APassEndedEarlyStopsReadingAhead) {
  CutShortFiles files(1000, 1000);
  ReadState state;
  state.ScanBlockEntries = 10;
  const Database database{files, files, "f", "r", state};
  for (int taken = 0; taken < 4; ++taken) {
    EntryBlocks blocks(database, 1);
    blocks.ReadAhead();
    for (int k = 0; k < taken; ++k) ASSERT_TRUE(blocks.Next());
  }
}

}  // namespace
}  // namespace tomo::testing

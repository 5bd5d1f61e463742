// The writing thread writes what it is handed, in order, and a failure of the writing reaches
// the reading side.
#include "export/writing_thread.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tomo::cli {
namespace {

// Records of three values: absent, empty, or a text up to 70,000 bytes (batches end inside
// and between records).
std::vector<std::vector<std::optional<std::string>>> Records(int count) {
  std::vector<std::vector<std::optional<std::string>>> records;
  for (int r = 1; r <= count; ++r) {
    records.push_back({r % 3 == 0 ? std::nullopt : std::optional<std::string>(std::to_string(r)),
                       std::string(),
                       r % 1000 == 0 ? std::string(70000, 'x') : std::string(r % 5, 'a')});
  }
  return records;
}

TEST(WritingThread, WritesWhatItIsHandedAndHandsBackItsFailure) {
  struct Case {
    int records;
    int failAt;    // the record whose writing fails; 0 for none
    bool batches;  // handed mostly in batches, which are swapped, not copied
  };
  for (const Case c : {Case{0, 0, false}, Case{1, 0, false}, Case{100000, 0, false},
                       Case{1, 1, false}, Case{100000, 5, false}, Case{100000, 99999, false},
                       Case{100000, 0, true}, Case{100000, 99999, true}}) {
    SCOPED_TRACE(::testing::Message() << c.records << " records, failing at " << c.failAt
                                      << (c.batches ? ", in batches" : ""));
    const auto records = Records(c.records);
    std::vector<std::vector<std::optional<std::string>>> written;
    int batchesWritten = 0;
    bool thrown = false;
    try {
      WritingThread writing([&](RecordBatch& handed) {
        handed.ForEach([&](std::int64_t record, const RecordValues& values) {
          if (record == c.failAt) throw std::runtime_error("disk full");
          EXPECT_EQ(record, static_cast<std::int64_t>(written.size()) + 1);
          auto& copy = written.emplace_back();
          for (const auto& value : values) {
            copy.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
          }
        });
        ++batchesWritten;
      });
      RecordBatch batch;
      for (std::size_t r = 0; r < records.size(); ++r) {
        const auto record = static_cast<std::int64_t>(r) + 1;
        RecordValues values;
        for (const auto& value : records[r]) {
          values.push_back(value ? std::optional<std::string_view>(*value) : std::nullopt);
        }
        // One record in ten of the batches' run is taken on its own, between two batches.
        if (!c.batches || r % 10 == 0) {
          if (!batch.Empty()) writing.Take(batch);
          writing.Take(record, values);
        } else {
          batch.Add(record, values);
        }
      }
      if (!batch.Empty()) writing.Take(batch);
      writing.Finish();
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "disk full");
      thrown = true;
    }
    EXPECT_EQ(thrown, c.failAt != 0);
    if (!thrown) {
      EXPECT_GE(batchesWritten, c.records / 20000);
    }
    const std::size_t expected =
        c.failAt != 0 ? static_cast<std::size_t>(c.failAt - 1) : records.size();
    ASSERT_EQ(written.size(), expected);
    for (std::size_t r = 0; r < expected; ++r)
      EXPECT_EQ(written[r], records[r]) << "record " << r + 1;
  }
}

}  // namespace
}  // namespace tomo::cli

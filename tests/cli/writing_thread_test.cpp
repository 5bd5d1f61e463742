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
    int failAt;  // the record whose writing fails; 0 for none
  };
  for (const Case c : {Case{0, 0}, Case{1, 0}, Case{100000, 0}, Case{1, 1}, Case{100000, 5},
                       Case{100000, 99999}}) {
    SCOPED_TRACE(::testing::Message() << c.records << " records, failing at " << c.failAt);
    const auto records = Records(c.records);
    std::vector<std::vector<std::optional<std::string>>> written;
    bool thrown = false;
    try {
      WritingThread writing(3, [&](std::int64_t record, const RecordValues& values) {
        if (record == c.failAt) throw std::runtime_error("disk full");
        EXPECT_EQ(record, static_cast<std::int64_t>(written.size()) + 1);
        auto& copy = written.emplace_back();
        for (const auto& value : values) {
          copy.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
        }
      });
      for (std::size_t r = 0; r < records.size(); ++r) {
        RecordValues values;
        for (const auto& value : records[r]) {
          values.push_back(value ? std::optional<std::string_view>(*value) : std::nullopt);
        }
        writing.Take(static_cast<std::int64_t>(r) + 1, values);
      }
      writing.Finish();
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "disk full");
      thrown = true;
    }
    EXPECT_EQ(thrown, c.failAt != 0);
    const std::size_t expected =
        c.failAt != 0 ? static_cast<std::size_t>(c.failAt - 1) : records.size();
    ASSERT_EQ(written.size(), expected);
    for (std::size_t r = 0; r < expected; ++r)
      EXPECT_EQ(written[r], records[r]) << "record " << r + 1;
  }
}

}  // namespace
}  // namespace tomo::cli

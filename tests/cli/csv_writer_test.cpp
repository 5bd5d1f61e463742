// CSV quoting of values of every short length, with each byte that makes a value quoted at
// each place: the writer copies values in words, and every byte must be looked at. Words
// with no byte below the comma skip the quoting tests: spaces and the bytes around the comma
// must not quote a value, nor hide a quoting byte in the same word.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "export/record_writer.h"

namespace tomo::cli {
namespace {

std::string Quoted(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string quoted = "\"";
  for (const char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string ReadBack(std::FILE* file) {
  std::string written;
  char block[1 << 16];
  std::rewind(file);
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) written.append(block, n);
  std::fclose(file);
  return written;
}

TEST(CsvWriter, QuotesExactlyTheValuesThatNeedIt) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string expected = "record,A,B\r\n";
  {
    OutputFile out(file);
    const auto writer = MakeCsvWriter(out, {"A", "B"}, false);
    std::int64_t record = 0;
    RecordBatch batch;
    for (std::size_t length = 0; length <= 20; ++length) {
      for (const char special : {',', '"', '\r', '\n', 'x', '\xE9', ' ', '+', '-', '\0'}) {
        for (std::size_t at = 0; at < std::max<std::size_t>(length, 1); ++at) {
          std::string value(length, at % 2 == 0 ? 'v' : ' ');
          if (length > 0) value[at] = special;
          const RecordValues values = {value, std::nullopt};
          batch.Add(++record, values);
          expected += std::to_string(record) + "," + Quoted(value) + ",\r\n";
        }
      }
      writer->Batch(batch);  // a batch per length
      batch.Clear();
    }
    writer->Finish();
    out.Commit();
  }
  EXPECT_EQ(ReadBack(file), expected);
}

// Values about as large as the room the writer gathers its output in, and larger (a quoted
// one doubles): what was gathered before them goes out first, and each goes out whole.
TEST(CsvWriter, WritesValuesLargerThanItsRoom) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string expected = "record,A\r\n";
  {
    OutputFile out(file);
    const auto writer = MakeCsvWriter(out, {"A"}, false);
    std::int64_t record = 0;
    RecordBatch batch;
    for (const std::size_t mib : {1, 2, 3}) {
      for (const char c : {'v', '"'}) {
        for (const std::string& value : {std::string("small"), std::string((mib << 20) + 7, c)}) {
          batch.Add(++record, RecordValues{value});
          expected += std::to_string(record) + "," + Quoted(value) + "\r\n";
        }
        writer->Batch(batch);
        batch.Clear();
      }
    }
    writer->Finish();
    out.Commit();
  }
  const std::string written = ReadBack(file);
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected);  // megabytes: not printed
}

}  // namespace
}  // namespace tomo::cli

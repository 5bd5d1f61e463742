// CSV quoting of values of every short length, with each byte that makes a value quoted at
// each place: the writer copies values in words, and every byte must be looked at. Words
// with no byte below the comma skip the quoting tests: spaces and the bytes around the comma
// must not quote a value, nor hide a quoting byte in the same word. Values shown as they are
// written: the same CSV as of values shown first.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "export/record_writer.h"
#include "export/value_text.h"

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

std::string Csv(const RecordBatch& batch, const ValueTypes& types, ValueText* shown) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return "no temporary file";
  {
    OutputFile out(file);
    const auto writer = MakeCsvWriter(out, {"S", "A", "L", "D"}, false, types, shown);
    writer->Batch(batch);
    writer->Finish();
    out.Commit();
  }
  return ReadBack(file);
}

// The writer given the stored values shows each as it writes it (plain ASCII as stored,
// quoted or not; other text converted), and makes room for values shown longer than stored
// (an option of a megabyte, many times in one batch: more than the room it gathers its output
// in), in the same CSV as of the values shown first.
TEST(CsvWriter, ShowsStoredValuesAsWhenShownFirst) {
  auto field = [](std::int16_t type, std::string options = "") {
    FieldDef def;
    def.Type = type;
    def.Options = std::move(options);
    return def;
  };
  const std::string option(std::size_t{1} << 20, 'o');
  const std::vector<FieldDef> fields = {field(kString), field(kArray, "uno|\"dos\", y|" + option),
                                        field(kLogic), field(kCurrentDate)};
  const Utf8Text text(1252);
  RecordBatch batch;
  std::int64_t record = 0;
  for (int k = 0; k < 3; ++k) {
    for (const char* stored : {"100", "101", "102", "7", ""}) {
      const std::string spain = std::string("Espa\xF1") + "a";
      batch.Add(++record, RecordValues{spain, stored, "1", std::string(" 01/02/2003 ")});
      batch.Add(++record, RecordValues{"a,b ", std::nullopt, stored, "  "});
      batch.Add(++record, RecordValues{"a,\"b\"", stored, "0", "Se\xF1or, \"s\xED\""});
    }
  }
  for (const bool raw : {false, true}) {
    for (const ValueTypes& types :
         {ValueTypes{}, ValueTypes{kString, kArray, kLogic, kCurrentDate}}) {
      SCOPED_TRACE((raw ? "raw, " : "") + std::string(types.empty() ? "text" : "typed"));
      ValueText shownFirst(fields, text, raw);
      RecordBatch rendered = batch;
      shownFirst.Render(rendered);
      const std::string expected = Csv(rendered, types, nullptr);
      ValueText shownAsWritten(fields, text, raw);
      const std::string written = Csv(batch, types, &shownAsWritten);
      EXPECT_EQ(written.size(), expected.size());
      EXPECT_TRUE(written == expected);  // megabytes: not printed
    }
  }
}

}  // namespace
}  // namespace tomo::cli

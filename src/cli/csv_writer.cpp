#include <algorithm>

#include "cli/record_writer.h"

namespace tomo::cli {

namespace {

class CsvWriter : public RecordWriter {
 public:
  CsvWriter(OutputFile& out, const std::vector<Column>& columns, bool bom) : out_(out) {
    if (bom) out_.Write("\xEF\xBB\xBF");
    line_ = "record";
    for (const Column& column : columns) {
      line_ += ',';
      Value(column.name);
    }
    line_ += "\r\n";
    out_.Write(line_);
  }

  void Record(std::int64_t number, const RecordValues& values) override {
    line_ = std::to_string(number);
    for (const auto& value : values) {
      line_ += ',';
      if (value) Value(*value);
    }
    line_ += "\r\n";
    out_.Write(line_);
  }

  void Finish() override {}

 private:
  void Value(std::string_view text) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
      return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
      line_ += text;
      return;
    }
    line_ += '"';
    for (const char c : text) {
      if (c == '"') line_ += '"';
      line_ += c;
    }
    line_ += '"';
  }

  OutputFile& out_;
  std::string line_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeCsvWriter(OutputFile& out, const std::vector<Column>& columns,
                                            bool bom) {
  return std::make_unique<CsvWriter>(out, columns, bom);
}

}  // namespace tomo::cli

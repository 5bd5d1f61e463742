#include <algorithm>
#include <array>
#include <charconv>

#include "cli/record_writer.h"

namespace tomo::cli {

namespace {

// The bytes that make a value quoted. UTF-8 continuation bytes are never among them, so the
// converted text can be looked at byte by byte.
constexpr std::array<bool, 256> kQuoted = [] {
  std::array<bool, 256> quoted{};
  for (const unsigned char c : {',', '"', '\r', '\n'}) quoted[c] = true;
  return quoted;
}();

// The output is gathered in one piece of about this size and handed out whole.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

class CsvWriter : public RecordWriter {
 public:
  CsvWriter(OutputFile& out, const std::vector<Column>& columns, bool bom) : out_(out) {
    text_.reserve(kPieceBytes + (std::size_t{64} << 10));
    if (bom) text_ += "\xEF\xBB\xBF";
    text_ += "record";
    for (const Column& column : columns) {
      text_ += ',';
      Value(column.name);
    }
    text_ += "\r\n";
  }

  void Record(std::int64_t number, const RecordValues& values) override {
    char digits[24];
    text_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    for (const auto& value : values) {
      text_ += ',';
      if (value) Value(*value);
    }
    text_ += "\r\n";
    if (text_.size() >= kPieceBytes) HandOut();
  }

  void Finish() override { HandOut(); }

 private:
  void Value(std::string_view text) {
    const bool plain = std::none_of(text.begin(), text.end(),
                                    [](char c) { return kQuoted[static_cast<unsigned char>(c)]; });
    if (plain) {
      text_ += text;
      return;
    }
    text_ += '"';
    for (const char c : text) {
      if (c == '"') text_ += '"';
      text_ += c;
    }
    text_ += '"';
  }

  void HandOut() {
    out_.Write(text_);
    text_.clear();
  }

  OutputFile& out_;
  std::string text_;  // what is not yet handed to out_
};

}  // namespace

std::unique_ptr<RecordWriter> MakeCsvWriter(OutputFile& out, const std::vector<Column>& columns,
                                            bool bom) {
  return std::make_unique<CsvWriter>(out, columns, bom);
}

}  // namespace tomo::cli

#include "export/json_text.h"
#include "export/record_writer.h"

namespace tomo {

namespace {

class JsonLinesWriter : public RecordWriter {
 public:
  JsonLinesWriter(OutputFile& out, const std::vector<std::string>& keys) : out_(out) {
    // Each member's start, key included, made once.
    for (const std::string& key : keys) {
      std::string member = ",";
      AppendJsonString(key, member);
      member += ':';
      members_.push_back(std::move(member));
    }
  }

  void Record(std::int64_t number, const RecordValues& values) override {
    line_ = "{\"record\":" + std::to_string(number);
    for (std::size_t f = 0; f < values.size(); ++f) {
      line_ += members_[f];
      if (values[f]) {
        AppendJsonString(*values[f], line_);
      } else {
        line_ += "null";
      }
    }
    line_ += "}\n";
    out_.Write(line_);
  }

  void Finish() override {}

 private:
  OutputFile& out_;
  std::vector<std::string> members_;
  std::string line_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeJsonLinesWriter(OutputFile& out,
                                                  const std::vector<std::string>& keys) {
  return std::make_unique<JsonLinesWriter>(out, keys);
}

}  // namespace tomo

#include "export/json_text.h"
#include "export/record_writer.h"
#include "export/typed_value.h"
#include "export/value_text.h"

namespace tomo {

namespace {

class JsonLinesWriter : public RecordWriter {
 public:
  JsonLinesWriter(OutputFile& out, const std::vector<std::string>& keys, const ValueTypes& types,
                  ValueText* shown)
      : out_(out), types_(types), shown_(shown) {
    // Each member's start, key included, made once.
    for (const std::string& key : keys) {
      std::string member = ",";
      AppendJsonString(key, member);
      member += ':';
      members_.push_back(std::move(member));
    }
  }

  void Batch(const RecordBatch& batch) override {
    batch.ForEach([this](std::int64_t number, const RecordValues& values) {
      Record(number, shown_ ? shown_->Shown(values) : values);
    });
  }

  void Finish() override {}

 private:
  void Record(std::int64_t number, const RecordValues& values) {
    line_ = "{\"record\":" + std::to_string(number);
    for (std::size_t f = 0; f < values.size(); ++f) {
      line_ += members_[f];
      if (!values[f]) {
        line_ += "null";
      } else if (types_.empty()) {
        AppendJsonString(*values[f], line_);
      } else {
        AppendTyped(TypeValue(types_[f], *values[f]));
      }
    }
    line_ += "}\n";
    out_.Write(line_);
  }

  // A number's text and true or false are JSON as they are.
  void AppendTyped(const TypedValue& value) {
    if (value.kind == TypedValue::Kind::kText) {
      AppendJsonString(value.Text(), line_);
    } else {
      line_ += value.Text();
    }
  }

  OutputFile& out_;
  const ValueTypes types_;
  ValueText* const shown_;  // none when the values come shown
  std::vector<std::string> members_;
  std::string line_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeJsonLinesWriter(OutputFile& out,
                                                  const std::vector<std::string>& keys,
                                                  const ValueTypes& types, ValueText* shown) {
  return std::make_unique<JsonLinesWriter>(out, keys, types, shown);
}

}  // namespace tomo

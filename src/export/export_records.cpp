#include "export/export_records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "export/failure.h"
#include "export/record_writer.h"
#include "export/writing_thread.h"
#include "storage/value_rendering.h"

namespace tomo {

namespace {

// The values of a record as the export writes them: rendered by the field's type unless
// raw, and in UTF-8.
class ValueText {
 public:
  ValueText(const std::vector<FieldDef>& fields, const Utf8Text& text, bool raw)
      : fields_(fields), text_(text), raw_(raw), scratch_(fields.size()), values_(fields.size()) {}

  // Renders the values of a batch as a reading left it where they lie: most as a part of
  // their stored text, the others added after the batch's text.
  void Render(RecordBatch& batch) {
    made_.clear();
    begins_.resize(batch.ends.size());
    const auto text = reinterpret_cast<std::uintptr_t>(batch.text.data());
    const std::size_t size = batch.text.size();
    std::int64_t stored = 0;  // where the next stored value begins
    std::size_t f = 0;
    for (std::size_t v = 0; v < batch.ends.size(); ++v, f = f + 1 == fields_.size() ? 0 : f + 1) {
      const std::int64_t end = batch.ends[v];
      begins_[v] = RecordBatch::kAbsent;
      if (end == RecordBatch::kAbsent) continue;
      const std::string_view value =
          std::string_view(batch.text)
              .substr(static_cast<std::size_t>(stored), static_cast<std::size_t>(end - stored));
      if ((raw_ || ShownAsStored(fields_[f], value)) && text_.Keeps(value)) {
        begins_[v] = stored;  // shown where it lies
        stored = end;
        continue;
      }
      stored = end;
      const std::string_view shown = Of(f, value);
      // Below the text, the difference wraps around to a large number.
      std::size_t begin = reinterpret_cast<std::uintptr_t>(shown.data()) - text;
      if (shown.empty() || begin > size || shown.size() > size - begin) {
        begin = size + made_.size();
        made_ += shown;
      }
      begins_[v] = static_cast<std::int64_t>(begin);
      batch.ends[v] = static_cast<std::int64_t>(begin + shown.size());
    }
    batch.text += made_;
    std::swap(batch.begins, begins_);
  }

  const RecordValues& Of(const RecordValues& stored) {
    for (std::size_t f = 0; f < stored.size(); ++f) {
      if (!stored[f]) {
        values_[f].reset();
        continue;
      }
      values_[f] = Of(f, *stored[f]);
    }
    return values_;
  }

 private:
  const std::vector<FieldDef>& fields_;
  const Utf8Text& text_;
  const bool raw_;
  std::string_view Of(std::size_t f, std::string_view stored) {
    return text_.Of(raw_ ? stored : RenderValue(fields_[f], stored), scratch_[f]);
  }

  std::vector<std::string> scratch_;
  RecordValues values_;
  // Render's: the texts made, and where each value begins.
  std::string made_;
  std::vector<std::int64_t> begins_;
};

// The export's writing: the records' values as text, to the writer of the format, on a thread
// of its own beside the reading. The stream hands its records over a batch at a time, without
// a copy, and the writing thread renders them where they lie in the batch and formats them.
// SQLite's own work on a row takes about as long as reading the row: for it the reading thread
// renders the values first, and SQLite binds them where they lie.
class WriterSink : public ExportSink {
 public:
  using MakeWriter = std::function<std::unique_ptr<RecordWriter>()>;
  WriterSink(OutputFile& out, MakeWriter make, ValueText& values, bool renderFirst)
      : out_(out), make_(std::move(make)), values_(values), renderFirst_(renderFirst) {}

  void Start() override {
    writer_ = make_();
    writing_.emplace([this](RecordBatch& batch) {
      if (!renderFirst_) values_.Render(batch);
      writer_->Batch(batch);
    });
  }
  void Take(std::int64_t record, const RecordValues& stored) override {
    writing_->Take(record, renderFirst_ ? values_.Of(stored) : stored);
  }
  void Take(RecordBatch& batch) override {
    if (renderFirst_) values_.Render(batch);
    writing_->Take(batch);
  }
  void Complete() override {
    writing_->Finish();
    writer_->Finish();
  }
  void StartOver() override {
    writing_.reset();  // drops what it has not written yet
    writer_.reset();
    out_.Restart();
    Start();
  }

 private:
  OutputFile& out_;
  const MakeWriter make_;
  ValueText& values_;
  const bool renderFirst_;
  std::unique_ptr<RecordWriter> writer_;
  // Last: its thread writes through writer_, so it stops first.
  std::optional<WritingThread> writing_;
};

}  // namespace

void RefuseTooManyColumns(Format format, std::size_t fields) {
  if (format == Format::kSqlite && fields >= 2000) {
    throw Failure("a SQLite table holds at most 2000 columns, and the database has " +
                  std::to_string(fields) + " fields: export it as csv or jsonl");
  }
}

ExportOutcome ExportRecords(const Database& database, const std::vector<FieldDef>& fields,
                            const Utf8Text& text, OutputFile& out, const ExportChoices& choices) {
  std::vector<Column> columns;
  std::vector<std::string> names;
  for (const FieldDef& field : fields) {
    columns.push_back(Column{text.Of(field.Name), text.Of(field.Options), &field});
    names.push_back(columns.back().name);
  }
  const bool sqlite = choices.format == Format::kSqlite;
  const std::vector<std::string> keys =
      UniqueColumnNames(names, sqlite, [&](std::size_t f, const std::string& key) {
        if (choices.renamed) choices.renamed(f, key);
      });
  ValueTypes types;
  if (choices.typed) {
    for (const FieldDef& field : fields) types.push_back(field.Type);
  }
  const auto makeWriter = [&]() -> std::unique_ptr<RecordWriter> {
    switch (choices.format) {
      case Format::kCsv:
        return MakeCsvWriter(out, keys, choices.bom, types);
      case Format::kJsonLines:
        return MakeJsonLinesWriter(out, keys, types);
      case Format::kSqlite:
        return MakeSqliteWriter(out, columns, keys, types);
    }
    return nullptr;
  };
  ValueText values(fields, text, choices.raw);
  WriterSink sink(out, makeWriter, values, sqlite);
  ExportReading reading = choices.reading;
  reading.checkFirst = out.ToStandardOutput();
  return ReadForExport(database, fields, reading, sink);
}

}  // namespace tomo

#include "export/export_records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "export/failure.h"
#include "export/record_writer.h"
#include "export/value_text.h"
#include "export/writing_thread.h"

namespace tomo {

namespace {

// The export's writing: the records' values as text, to the writer of the format, on a thread
// of its own beside the reading. The stream hands its records over a batch at a time, without
// a copy. The CSV and JSON Lines writers show each value as they write it. SQLite's own work
// on a row takes about as long as reading the row: for it the reading thread shows the
// values first, where they lie in the batch, and SQLite binds them there.
class WriterSink : public ExportSink {
 public:
  using MakeWriter = std::function<std::unique_ptr<RecordWriter>()>;
  WriterSink(OutputFile& out, MakeWriter make, ValueText& values, bool showFirst)
      : out_(out), make_(std::move(make)), values_(values), showFirst_(showFirst) {}

  void Start() override {
    writer_ = make_();
    writing_.emplace([this](RecordBatch& batch) { writer_->Batch(batch); });
  }
  void Take(std::int64_t record, const RecordValues& stored) override {
    writing_->Take(record, showFirst_ ? values_.Shown(stored) : stored);
  }
  void Take(RecordBatch& batch) override {
    if (showFirst_) values_.Render(batch);
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
  const bool showFirst_;
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
  ValueText values(fields, text, choices.raw);
  const auto makeWriter = [&]() -> std::unique_ptr<RecordWriter> {
    switch (choices.format) {
      case Format::kCsv:
        return MakeCsvWriter(out, keys, choices.bom, types, &values);
      case Format::kJsonLines:
        return MakeJsonLinesWriter(out, keys, types, &values);
      case Format::kSqlite:
        return MakeSqliteWriter(out, columns, keys, types);
    }
    return nullptr;
  };
  WriterSink sink(out, makeWriter, values, sqlite);
  ExportReading reading = choices.reading;
  reading.checkFirst = out.ToStandardOutput();
  return ReadForExport(database, fields, reading, sink);
}

}  // namespace tomo

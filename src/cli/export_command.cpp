#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

#include "cli/commands.h"
#include "cli/database_files.h"
#include "cli/failure.h"
#include "cli/progress.h"
#include "cli/reading_warnings.h"
#include "cli/text.h"
#include "export/export_reading.h"
#include "export/record_writer.h"
#include "export/writing_thread.h"
#include "storage/record_file.h"
#include "storage/value_rendering.h"

namespace tomo::cli {

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// The file a path names, its links followed: a link stays, and what it names is replaced.
fs::path LinkedFile(fs::path path) {
  std::error_code error;
  for (int links = 0; fs::is_symlink(fs::symlink_status(path, error)); ++links) {
    if (links == 40) throw Failure(Utf8Of(path) + " is a loop of links");
    const fs::path named = fs::read_symlink(path, error);
    if (error) throw Failure("cannot follow the link " + Utf8Of(path) + ": " + error.message());
    path = named.is_absolute() ? named : path.parent_path() / named;
  }
  return path;
}

// Where the export goes. Nothing is ever written into the database folder, nothing replaced
// without --force, and nothing but a regular file ever replaced.
fs::path SafeTarget(const DatabaseFiles& db, const fs::path& given, bool force) {
  const fs::path target = LinkedFile(given);
  const std::string name = Utf8Of(given);
  if (SameFile(target, db.FieldFile()) || SameFile(target, db.RecordFile())) {
    throw Failure("refusing to write over the database file " + name);
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (SameFile(folder, db.Folder())) {
    throw Failure("refusing to write " + name + " into the database folder " + Utf8Of(db.Folder()) +
                  ": tomodb never creates files there");
  }
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (fs::is_directory(status)) throw Failure(name + " is a folder");
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw Failure("refusing to replace " + name + ", " + WhatStandsAt(target) +
                  ": tomodb replaces only regular files");
  }
  if (fs::exists(status) && !force) throw Failure(name + " exists; add --force to replace it");
  return target;
}

// The values of a record as the export writes them: rendered by the field's type unless
// raw, and in UTF-8.
class ValueText {
 public:
  ValueText(const std::vector<FieldDef>& fields, const Utf8Text& text, bool raw)
      : fields_(fields), text_(text), raw_(raw), scratch_(fields.size()), values_(fields.size()) {}

  const RecordValues& Of(const RecordValues& stored) {
    for (std::size_t f = 0; f < stored.size(); ++f) {
      if (!stored[f]) {
        values_[f].reset();
        continue;
      }
      const std::string_view value = raw_ ? *stored[f] : RenderValue(fields_[f], *stored[f]);
      values_[f] = text_.Of(value, scratch_[f]);
    }
    return values_;
  }

 private:
  const std::vector<FieldDef>& fields_;
  const Utf8Text& text_;
  const bool raw_;
  std::vector<std::string> scratch_;
  RecordValues values_;
};

// The export's writing: the records' values as text, to the writer of the format. SQLite's
// work on a row takes about as long as reading the row, so there the writing runs on a
// thread of its own, beside the reading. Formatting CSV or JSON Lines costs less: on two
// processor cores, already busy reading the file and following its runs, a third thread for
// it made the export slower.
class WriterSink : public ExportSink {
 public:
  using MakeWriter = std::function<std::unique_ptr<RecordWriter>()>;
  WriterSink(OutputFile& out, MakeWriter make, ValueText& values, std::size_t fields, bool threaded)
      : out_(out), make_(std::move(make)), values_(values), fields_(fields), threaded_(threaded) {}

  void Start() override {
    writer_ = make_();
    if (threaded_) writing_.emplace(fields_, write_);
  }
  // The values are rendered before the hand-over: SQLite's own work keeps the writing thread
  // the busier of the two.
  void Take(std::int64_t record, const RecordValues& stored) override {
    if (writing_) {
      writing_->Take(record, values_.Of(stored));
    } else {
      writer_->Record(record, values_.Of(stored));
    }
  }
  void Complete() override {
    if (writing_) writing_->Finish();
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
  const std::size_t fields_;
  const bool threaded_;
  std::unique_ptr<RecordWriter> writer_;
  const RecordSink write_ = [this](std::int64_t record, const RecordValues& values) {
    writer_->Record(record, values);
  };
  // Last: its thread writes through writer_, so it stops first.
  std::optional<WritingThread> writing_;
};

}  // namespace

int RunExport(Host& host, const Arguments& args) {
  DatabaseFiles db(host, args.database);
  const Utf8Text text(args.codePage);
  const std::vector<FieldDef>& fields = db.Fields();
  std::vector<Column> columns;
  std::vector<std::string> names;
  for (const FieldDef& field : fields) {
    columns.push_back(Column{text.Of(field.Name), text.Of(field.Options), &field});
    names.push_back(columns.back().name);
  }
  const bool sqlite = args.format == Format::kSqlite;
  if (sqlite && fields.size() >= 2000) {
    throw Failure("a SQLite table holds at most 2000 columns, and the database has " +
                  std::to_string(fields.size()) + " fields: export it as csv or jsonl");
  }

  std::unique_ptr<OutputFile> out;
  if (!args.output || *args.output == "-") {
    out = std::make_unique<OutputFile>(host.out);
  } else {
    out = std::make_unique<OutputFile>(SafeTarget(db, PathOf(*args.output), args.force), sqlite);
  }
  const std::vector<std::string> keys =
      UniqueColumnNames(names, sqlite, [&](std::size_t f, const std::string& key) {
        std::fprintf(
            host.err,
            "tomodb: warning: field %zu is named like an earlier field; its %s is \"%s\"\n", f + 1,
            sqlite ? "column" : "key", key.c_str());
      });
  ValueTypes types;
  if (args.typed) {
    for (const FieldDef& field : fields) types.push_back(field.Type);
  }
  const auto makeWriter = [&]() -> std::unique_ptr<RecordWriter> {
    switch (args.format) {
      case Format::kCsv:
        return MakeCsvWriter(*out, keys, args.bom, types);
      case Format::kJsonLines:
        return MakeJsonLinesWriter(*out, keys, types);
      case Format::kSqlite:
        return MakeSqliteWriter(*out, columns, keys, types);
    }
    return nullptr;
  };
  ValueText values(fields, text, args.raw);
  WriterSink sink(*out, makeWriter, values, fields.size(), sqlite);
  Progress progress(host.err, host.errIsTerminal);
  ExportReading reading;
  reading.checkFirst = out->ToStandardOutput();
  reading.progress = [&](std::int64_t done, std::int64_t entries) {
    progress.Entries(done, entries);
  };
  reading.beforeRecord = StopWhenInterrupted;
  const ExportOutcome outcome = ReadForExport(db.Reading(), fields, reading, sink);
  const std::string recordFile = Utf8Of(db.RecordFile());
  switch (outcome.end) {
    case ExportEnd::kComplete:
      break;
    case ExportEnd::kCutShort:
      throw Failure("cannot read " + recordFile +
                    " to its end (a read error, or another program made it shorter)");
    case ExportEnd::kChanged:
      throw Failure(recordFile + " changed while tomodb read it");
  }
  out->Commit();
  WarnOfReading(host.err, outcome.report, recordFile);
  return 0;
}

}  // namespace tomo::cli

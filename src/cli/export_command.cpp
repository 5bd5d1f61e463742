#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/database_files.h"
#include "cli/failure.h"
#include "cli/progress.h"
#include "cli/reading_warnings.h"
#include "export/export_records.h"
#include "export/target_check.h"
#include "storage/char_entry.h"
#include "storage/record_file.h"

namespace tomo::cli {

namespace {

// Where the export goes. Nothing is ever written into the database folder, nothing replaced
// without --force, and nothing but a regular file ever replaced.
fs::path SafeTarget(const DatabaseFiles& db, const fs::path& given, bool force) {
  const ExportTarget target = CheckTarget(given, db.Folder(), db.FieldFile(), db.RecordFile());
  const std::string name = Utf8Of(given);
  switch (target.refusal) {
    case TargetRefusal::kDatabaseFile:
      throw Failure("refusing to write over the database file " + name);
    case TargetRefusal::kDatabaseFolder:
      throw Failure("refusing to write " + name + " into the database folder " +
                    Utf8Of(db.Folder()) + ": tomodb never creates files there");
    case TargetRefusal::kFolder:
      throw Failure(name + " is a folder");
    case TargetRefusal::kNotRegular:
      throw Failure("refusing to replace " + name + ", " + WhatStandsAt(target.file) +
                    ": tomodb replaces only regular files");
    case TargetRefusal::kNone:
      break;
  }
  if (target.exists && !force) throw Failure(name + " exists; add --force to replace it");
  return target.file;
}

}  // namespace

int RunExport(Host& host, const Arguments& args) {
  DatabaseFiles db(host, args.database);
  const Utf8Text text(args.codePage);
  const std::vector<FieldDef>& fields = db.Fields();
  const bool sqlite = args.format == Format::kSqlite;
  RefuseTooManyColumns(args.format, fields.size());

  std::unique_ptr<OutputFile> out;
  if (!args.output || *args.output == "-") {
    out = std::make_unique<OutputFile>(host.out);
  } else {
    out = std::make_unique<OutputFile>(SafeTarget(db, PathOf(*args.output), args.force), sqlite);
  }
  ExportChoices choices;
  choices.format = args.format;
  choices.bom = args.bom;
  choices.raw = args.raw;
  choices.typed = args.typed;
  choices.renamed = [&](std::size_t f, const std::string& key) {
    std::fprintf(host.err,
                 "tomodb: warning: field %zu is named like an earlier field; its %s is \"%s\"\n",
                 f + 1, sqlite ? "column" : "key", key.c_str());
  };
  Progress progress(host.err, host.errIsTerminal);
  choices.reading.progress = [&](std::int64_t done, std::int64_t entries) {
    progress.Entries(done, entries);
  };
  choices.reading.beforeRecord = StopWhenInterrupted;
  const ExportOutcome outcome = ExportRecords(db.Reading(), fields, text, *out, choices);
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
  WarnOfReading(host.err, outcome.report);
  if (outcome.size.partialBytes > 0) {
    std::fprintf(host.err,
                 "tomodb: warning: %s ends inside an entry: its last %lld bytes, fewer than an "
                 "entry's %lld, were not read\n",
                 recordFile.c_str(), static_cast<long long>(outcome.size.partialBytes),
                 static_cast<long long>(kEntrySize));
  }
  return 0;
}

}  // namespace tomo::cli

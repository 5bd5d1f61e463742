#include "commands/export_database.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "export/export_records.h"
#include "export/failure.h"
#include "export/target_check.h"
#include "shell/linked_database.h"
#include "shell/texts.h"
#include "storage/field_table.h"

namespace tomo {

namespace {

struct ExportType {
  Bilingual name;
  const char* extension;
  Format format;
  bool bom;
};

// CSV for Excel is CSV with the byte order mark, by which Excel reads it as UTF-8.
constexpr ExportType kTypes[] = {
    {{"CSV for Excel (*.csv)", "CSV para Excel (*.csv)"}, "csv", Format::kCsv, true},
    {{"SQLite (*.sqlite)", "SQLite (*.sqlite)"}, "sqlite", Format::kSqlite, false},
    {{"JSON Lines (*.jsonl)", "JSON Lines (*.jsonl)"}, "jsonl", Format::kJsonLines, false},
};

// Thrown between records once the user pressed Esc.
struct Cancelled {};

// The last part of the folder's path, either separator taken.
std::string FolderName(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder.substr(folder.find_last_of("\\/") + 1);
}

// The path as the file system takes it: the program holds paths with backslashes, which only
// Windows reads as separators.
fs::path FileSystemPath(std::string held) {
  if constexpr (fs::path::preferred_separator == '/') {
    std::replace(held.begin(), held.end(), '\\', '/');
  }
  return PathOf(held);
}

// The export's texts are UTF-8, as the paths they name: the program's own texts are in the
// ANSI code page, converted by the converter the export uses.
class Talk {
 public:
  explicit Talk(App& app) : app_(app), ansi_(app.platform.ui.AnsiCodePage()) {}
  std::string Of(Bilingual text) const { return ansi_.Of(Say(app_, text)); }
  void Show(const std::string& text) const {
    app_.platform.ui.ShowUtf8Message(text, kMessageTitle);
  }
  const Utf8Text& Ansi() const { return ansi_; }

 private:
  App& app_;
  const Utf8Text ansi_;
};

// Esc reaches the program while the reading lets messages through.
void StopWhenCancelled(const App& app) {
  if (app.ExportCancelled != 0) throw Cancelled();
}

// The caption says how far the reading is, each time the percentage changes. A pass that
// reads before it hands on records (the exact reading) stops here too.
ReadProgress CaptionProgress(App& app) {
  return [&app, shown = -1](std::int64_t done, std::int64_t entries) mutable {
    StopWhenCancelled(app);
    const int percent = entries > 0 ? static_cast<int>(done * 100 / entries) : 100;
    if (percent == shown) return;
    shown = percent;
    const std::string_view lead = Say(app, {"Exporting ", "Exportando "});
    app.platform.ui.SetCaption(std::string(lead) + std::to_string(percent) + " % ...");
  };
}

// Writes the database to the target; the message that says how it went.
std::string Export(App& app, const Talk& talk, const ExportType& type, const ExportTarget& target,
                   const std::string& shownPath) {
  const Database database = DatabaseOf(app);
  LoadFieldTable(app);
  RefuseTooManyColumns(type.format, app.Fields.size());
  OutputFile out(target.file, type.format == Format::kSqlite);
  ExportChoices choices;
  choices.format = type.format;
  choices.bom = type.bom;
  choices.reading.progress = CaptionProgress(app);
  choices.reading.beforeRecord = [&app] { StopWhenCancelled(app); };
  const ExportOutcome outcome = ExportRecords(database, app.Fields, talk.Ansi(), out, choices);
  if (outcome.end != ExportEnd::kComplete) {
    return talk.Of(
        {"Could not read the database to its end (damaged, or changed while read): "
         "nothing was written",
         "No se pudo leer la base de datos hasta el final (da\xF1"
         "ada, o cambi\xF3 mientras se le\xED"
         "a): no se escribi\xF3 nada"});
  }
  out.Commit();
  return talk.Of({"Exported ", "Exportados "}) + std::to_string(outcome.report.handedOut) +
         talk.Of({" records to ", " registros a "}) + shownPath;
}

// The message for a target that is refused; empty when it may be written.
std::string Refusal(const Talk& talk, const ExportTarget& target, const std::string& couldNot) {
  switch (target.refusal) {
    case TargetRefusal::kDatabaseFile:
    case TargetRefusal::kDatabaseFolder:
      return talk.Of({"TOMO never creates files in the database folder: choose another folder",
                      "TOMO nunca crea archivos en la carpeta de la base de datos: elija otra "
                      "carpeta"});
    case TargetRefusal::kFolder:
    case TargetRefusal::kNotRegular:
      return couldNot + talk.Of({": it is not a file", ": no es un archivo"});
    case TargetRefusal::kNone:
      break;
  }
  return {};
}

void ExportTo(App& app, const Talk& talk, const SaveChoice& choice) {
  const ExportType& type = kTypes[std::min(choice.type, std::size(kTypes) - 1)];
  const std::string couldNot = talk.Of({"Could not write ", "No se pudo escribir "}) + choice.path;
  std::string message;
  app.Exporting = 1;
  app.ExportCancelled = 0;
  try {
    const ExportTarget target =
        CheckTarget(FileSystemPath(choice.path), FileSystemPath(app.DatabaseFolder),
                    FileSystemPath(DatabasePath(app, kFieldFileExtension)),
                    FileSystemPath(DatabasePath(app, kRecordFileExtension)));
    message = Refusal(talk, target, couldNot);
    if (message.empty()) message = Export(app, talk, type, target, choice.path);
  } catch (const Cancelled&) {
    message = talk.Of({"Export cancelled", "Exportaci\xF3n cancelada"});
  } catch (const DiskFull&) {
    message = couldNot + talk.Of({": disk full", ": disco lleno"});
  } catch (const std::exception& failure) {  // Failure, and what else the system throws
    message = couldNot + ": " + failure.what();
  }
  app.Exporting = 0;
  app.platform.ui.SetCaption(kWindowCaption);
  talk.Show(message);
}

}  // namespace

void ExportDatabase(App& app) {
  if (app.DatabaseLinked != 1) return;
  const Talk talk(app);
  std::vector<FileType> types;
  for (const ExportType& type : kTypes) {
    types.push_back({std::string(Say(app, type.name)), type.extension});
  }
  // Documents, never the database folder: nothing is written there.
  const std::optional<SaveChoice> choice = app.platform.ui.ChooseSaveFile(
      types, FolderName(app.DatabaseFolder) + "." + kTypes[0].extension,
      app.platform.ui.DocumentsFolder());
  if (choice) ExportTo(app, talk, *choice);
}

}  // namespace tomo

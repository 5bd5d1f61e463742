#include "cli/options.h"

#include <algorithm>
#include <charconv>

namespace tomo::cli {
namespace {

constexpr Command kAll[] = {Command::kInfo, Command::kExport, Command::kCheck};
constexpr Command kInfoOnly[] = {Command::kInfo};
constexpr Command kExportOnly[] = {Command::kExport};
constexpr Command kReadingText[] = {Command::kInfo, Command::kExport};

Format ParseFormat(const std::string& text) {
  if (text == "csv") return Format::kCsv;
  if (text == "jsonl") return Format::kJsonLines;
  if (text == "sqlite") return Format::kSqlite;
  throw UsageError("unknown format \"" + text + "\" (csv, jsonl or sqlite)");
}

int ParseCodePage(const std::string& text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > 65535) {
    throw UsageError("--code-page takes a code page number, not \"" + text + "\"");
  }
  return number;
}

constexpr CommandSpec kCommands[] = {
    {Command::kInfo, "info", "the files, counts and field table",
     "Prints the folder, both files and their sizes, FieldCount, RecordCount, the entries\n"
     "and the field table (number, name, type, searchable, options)."},
    {Command::kExport, "export", "every record to CSV, JSON Lines or SQLite",
     "Writes every record as the viewer shows it, as UTF-8: CSV (the default), JSON Lines\n"
     "or SQLite. An absent value is an empty CSV field, null in JSON and NULL in SQLite.\n"
     "A file is written beside its target and renamed into place only when complete."},
    {Command::kCheck, "check", "what breaks the well-formed order",
     "Reads both files once and reports what breaks the well-formed order, with counts\n"
     "and the first entries of each kind; exit status 1 when anything does."},
};

// A row per option; a new option is one more row and its apply.
constexpr OptionSpec kOptions[] = {
    {"-o", "--output", "FILE|-", kExportOnly, "write to FILE (- or none: standard output)",
     [](Parsing& p, const std::string& v) { p.arguments.output = v; }},
    {nullptr, "--format", "csv|jsonl|sqlite", kExportOnly,
     "the output format; without it, the extension of -o:\n"
     ".csv; .jsonl or .ndjson; .sqlite, .sqlite3 or .db\n"
     "(any letter case); csv for any other",
     [](Parsing& p, const std::string& v) {
       p.arguments.format = ParseFormat(v);
       p.formatGiven = true;
     }},
    {nullptr, "--raw", nullptr, kExportOnly, "the stored text instead of the shown one",
     [](Parsing& p, const std::string&) { p.arguments.raw = true; }},
    {nullptr, "--typed", nullptr, kExportOnly,
     "numbers, true/false and YYYY-MM-DD dates where the field's\n"
     "type says so and the shown text reads exactly as one",
     [](Parsing& p, const std::string&) { p.arguments.typed = true; }},
    {nullptr, "--code-page", "N", kReadingText, "read text in code page N (default 1252)",
     [](Parsing& p, const std::string& v) { p.arguments.codePage = ParseCodePage(v); }},
    {nullptr, "--bom", nullptr, kExportOnly, "start CSV with a UTF-8 byte order mark",
     [](Parsing& p, const std::string&) { p.arguments.bom = true; }},
    {nullptr, "--force", nullptr, kExportOnly, "replace an existing output file",
     [](Parsing& p, const std::string&) { p.arguments.force = true; }},
    {nullptr, "--json", nullptr, kInfoOnly, "machine-readable JSON instead of the table",
     [](Parsing& p, const std::string&) { p.arguments.json = true; }},
    {"-h", "--help", nullptr, kAll, "this help; after a command, that command's help",
     [](Parsing& p, const std::string&) {
       p.arguments.helpTopic = p.arguments.command;
       p.arguments.command = Command::kHelp;
     }},
};

}  // namespace

std::span<const CommandSpec> Commands() {
  return kCommands;
}
std::span<const OptionSpec> Options() {
  return kOptions;
}

bool Takes(const OptionSpec& option, Command command) {
  return std::ranges::find(option.commands, command) != option.commands.end();
}

std::string CommandsOf(const OptionSpec& option) {
  std::string names;
  for (const Command command : option.commands) {
    names += names.empty() ? "" : ", ";
    names += std::ranges::find(kCommands, command, &CommandSpec::command)->name;
  }
  return names;
}

std::string Synopsis(const OptionSpec& option) {
  std::string text = option.shortName ? std::string(option.shortName) + ", " : "";
  text += option.longName;
  if (option.value) text += std::string(" ") + option.value;
  return text;
}

}  // namespace tomo::cli

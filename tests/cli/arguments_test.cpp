// tomodb's command lines: what each one parses to, or the usage error it is.
#include "cli/arguments.h"

#include <gtest/gtest.h>

namespace tomo::cli {
namespace {

using Args = std::vector<std::string>;

// What a command line parsed to, in words: the command, then every field that differs from
// its default.
std::string Described(const Arguments& a) {
  const char* const commands[] = {"help", "version", "info", "export", "check"};
  const char* const formats[] = {"csv", "jsonl", "sqlite"};
  std::string text = commands[static_cast<int>(a.command)];
  if (a.command == Command::kHelp)
    text += std::string(" ") + commands[static_cast<int>(a.helpTopic)];
  if (!a.database.empty()) text += " [" + a.database + "]";
  if (a.output) text += " -o " + *a.output;
  if (a.command == Command::kExport) text += std::string(" ") + formats[static_cast<int>(a.format)];
  if (a.codePage != 1252) text += " cp" + std::to_string(a.codePage);
  for (const auto& [on, name] :
       {std::pair{a.raw, "raw"}, std::pair{a.typed, "typed"}, std::pair{a.bom, "bom"},
        std::pair{a.force, "force"}, std::pair{a.json, "json"}}) {
    if (on) text += std::string(" ") + name;
  }
  return text;
}

TEST(ParseArguments, AcceptsEachFormOfEachOption) {
  const struct {
    Args args;
    std::string want;
  } cases[] = {
      {{"--help"}, "help help"},
      {{"help", "export"}, "help export"},
      {{"export", "--help"}, "help export"},
      {{"check", "db", "-h"}, "help check [db]"},
      {{"--version"}, "version"},
      {{"info", "db", "--json", "--code-page=850"}, "info [db] cp850 json"},
      {{"export", "db"}, "export [db] csv"},
      {{"export", "db", "-o", "-"}, "export [db] -o - csv"},
      {{"export", "db", "--output=x.csv", "--raw", "--force", "--bom"},
       "export [db] -o x.csv csv raw bom force"},
      {{"export", "db", "--format", "jsonl"}, "export [db] jsonl"},
      {{"export", "db", "--format=sqlite", "-o", "x.csv"}, "export [db] -o x.csv sqlite"},
      {{"export", "db", "-o", "x.SQLite"}, "export [db] -o x.SQLite sqlite"},
      {{"export", "db", "-o", "x.sqlite3"}, "export [db] -o x.sqlite3 sqlite"},
      {{"export", "db", "-o", "d/x.db"}, "export [db] -o d/x.db sqlite"},
      {{"export", "db", "-o", "x.jsonl"}, "export [db] -o x.jsonl jsonl"},
      {{"export", "db", "-o", "x.NDJSON"}, "export [db] -o x.NDJSON jsonl"},
      {{"export", "db", "-o", "x.txt"}, "export [db] -o x.txt csv"},
      {{"export", "db", "-o", "d.db/x"}, "export [db] -o d.db/x csv"},
      {{"export", "db", "-o", "x.jsonl", "--format", "csv"}, "export [db] -o x.jsonl csv"},
      {{"export", "--", "-db-"}, "export [-db-] csv"},
      {{"export", "--", "--raw"}, "export [--raw] csv"},
      {{"export", "db", "--typed", "-o", "x.db"}, "export [db] -o x.db sqlite typed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_EQ(Described(ParseArguments(c.args)), c.want);
  }
}

TEST(ParseArguments, RefusesWhatCannotRun) {
  const struct {
    Args args;
    std::string message;
  } cases[] = {
      {{}, "no command given"},
      {{"frobnicate", "db"}, "unknown command \"frobnicate\""},
      {{"help", "frobnicate"}, "unknown command \"frobnicate\""},
      {{"export"}, "export needs a database folder"},
      {{"export", "a", "b"}, "one database at a time (\"b\" is one too many)"},
      {{"export", "db", "--xls"}, "unknown option --xls"},
      {{"export", "db", "-o"}, "-o needs a value"},
      {{"export", "db", "--format=xls"}, "unknown format \"xls\" (csv, jsonl or sqlite)"},
      {{"export", "db", "--raw=yes"}, "--raw takes no value"},
      {{"export", "db", "-o=x.csv"}, "unknown option -o=x.csv"},
      {{"export", "db", "--json"}, "--json is an option of info"},
      {{"check", "db", "--code-page", "850"}, "--code-page is an option of info, export"},
      {{"info", "db", "--code-page", "0"}, "--code-page takes a code page number, not \"0\""},
      {{"info", "db", "--code-page=12x"}, "--code-page takes a code page number, not \"12x\""},
      {{"export", "db", "--format", "sqlite"},
       "--format sqlite writes a file: give it with -o FILE"},
      {{"export", "db", "-o", "-", "--format=sqlite"},
       "--format sqlite writes a file: give it with -o FILE"},
      {{"export", "db", "--bom", "--format", "jsonl"}, "--bom is for csv only"},
      {{"export", "db", "--bom", "-o", "x.ndjson"}, "--bom is for csv only"},
      {{"export", "db", "--bom", "-o", "x.sqlite"}, "--bom is for csv only"},
      {{"export", "db", "--raw", "--typed"},
       "--typed types the shown values, not the stored ones of --raw"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    try {
      ParseArguments(c.args);
      ADD_FAILURE() << "accepted";
    } catch (const UsageError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace tomo::cli

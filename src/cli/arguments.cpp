#include "cli/arguments.h"

#include <charconv>

namespace tomo::cli {

const char* const kUsage =
    "usage: tomodb info DB [--json] [--code-page N]\n"
    "       tomodb export DB [-o FILE|-] [--format csv|jsonl|sqlite] [--raw]\n"
    "                        [--code-page N] [--bom] [--force]\n"
    "       tomodb check DB\n"
    "       tomodb --help | --version\n";

namespace {

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

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  if (args.empty()) throw UsageError("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") return parsed;
  if (command == "--version") {
    parsed.command = Command::kVersion;
    return parsed;
  }
  if (command == "info") {
    parsed.command = Command::kInfo;
  } else if (command == "export") {
    parsed.command = Command::kExport;
  } else if (command == "check") {
    parsed.command = Command::kCheck;
  } else {
    throw UsageError("unknown command \"" + command + "\"");
  }
  const bool exporting = parsed.command == Command::kExport;
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& arg = args[k];
    const auto value = [&]() -> const std::string& {
      if (k + 1 >= args.size()) throw UsageError(arg + " needs a value");
      return args[++k];
    };
    const auto exportOnly = [&] {
      if (!exporting) throw UsageError(arg + " is an option of export");
    };
    if (arg == "--help" || arg == "-h") {
      parsed.command = Command::kHelp;
      return parsed;
    } else if (arg == "--json" && parsed.command == Command::kInfo) {
      parsed.json = true;
    } else if (arg == "-o" || arg == "--output") {
      exportOnly();
      parsed.output = value();
    } else if (arg == "--format") {
      exportOnly();
      parsed.format = ParseFormat(value());
    } else if (arg == "--raw") {
      exportOnly();
      parsed.raw = true;
    } else if (arg == "--code-page" && parsed.command != Command::kCheck) {
      parsed.codePage = ParseCodePage(value());
    } else if (arg == "--bom") {
      exportOnly();
      parsed.bom = true;
    } else if (arg == "--force") {
      exportOnly();
      parsed.force = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError("unknown option " + arg);
    } else if (parsed.database.empty()) {
      parsed.database = arg;
    } else {
      throw UsageError("one database at a time (\"" + arg + "\" is one too many)");
    }
  }
  if (parsed.database.empty()) throw UsageError(command + " needs a database folder");
  const bool toStandardOutput = !parsed.output || *parsed.output == "-";
  if (parsed.format == Format::kSqlite && toStandardOutput) {
    throw UsageError("--format sqlite writes a file: give it with -o FILE");
  }
  if (parsed.bom && parsed.format == Format::kSqlite) {
    throw UsageError("--bom is for csv and jsonl");
  }
  return parsed;
}

}  // namespace tomo::cli

#include "cli/arguments.h"

#include <cctype>

#include "cli/options.h"

namespace tomo::cli {
namespace {

const OptionSpec& FindOption(const std::string& name) {
  for (const OptionSpec& option : Options()) {
    if (name == option.longName || (option.shortName && name == option.shortName)) return option;
  }
  throw UsageError("unknown option " + name);
}

const CommandSpec& FindCommand(const std::string& name) {
  for (const CommandSpec& command : Commands()) {
    if (name == command.name) return command;
  }
  throw UsageError("unknown command \"" + name + "\"");
}

// The format a file's name asks for; csv when its extension names none.
Format FormatOfName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Format::kCsv;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "jsonl" || extension == "ndjson") return Format::kJsonLines;
  if (extension == "sqlite" || extension == "sqlite3" || extension == "db") return Format::kSqlite;
  return Format::kCsv;
}

// One option at args[k], its value taken from "--name=value" or from the next argument.
void TakeOption(Parsing& parsing, const std::vector<std::string>& args, std::size_t& k) {
  const std::string& arg = args[k];
  const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
  const std::string name = arg.substr(0, equals);
  const OptionSpec& option = FindOption(name);
  if (!Takes(option, parsing.arguments.command)) {
    throw UsageError(name + " is an option of " + CommandsOf(option));
  }
  std::string value;
  if (equals != std::string::npos) {
    if (!option.value) throw UsageError(name + " takes no value");
    value = arg.substr(equals + 1);
  } else if (option.value) {
    if (k + 1 >= args.size()) throw UsageError(name + " needs a value");
    value = args[++k];
  }
  option.apply(parsing, value);
}

void CheckTogether(const Arguments& parsed) {
  const bool toStandardOutput = !parsed.output || *parsed.output == "-";
  if (parsed.format == Format::kSqlite && toStandardOutput) {
    throw UsageError("--format sqlite writes a file: give it with -o FILE");
  }
  if (parsed.bom && parsed.format != Format::kCsv) {
    // JSON readers reject a byte order mark, and a SQLite file has no place for one.
    throw UsageError("--bom is for csv only");
  }
  if (parsed.typed && parsed.raw) {
    // The types read the shown text: a stored LOGIC value is a number, not si or no.
    throw UsageError("--typed types the shown values, not the stored ones of --raw");
  }
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Parsing parsing;
  Arguments& parsed = parsing.arguments;
  if (args.empty()) throw UsageError("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") return parsed;
  if (command == "help") {
    if (args.size() > 1) parsed.helpTopic = FindCommand(args[1]).command;
    return parsed;
  }
  if (command == "--version") {
    parsed.command = Command::kVersion;
    return parsed;
  }
  parsed.command = FindCommand(command).command;
  bool optionsEnded = false;
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      TakeOption(parsing, args, k);
      if (parsed.command == Command::kHelp) return parsed;
    } else if (parsed.database.empty()) {
      parsed.database = arg;
    } else {
      throw UsageError("one database at a time (\"" + arg + "\" is one too many)");
    }
  }
  if (parsed.database.empty()) throw UsageError(command + " needs a database folder");
  if (!parsing.formatGiven && parsed.output) parsed.format = FormatOfName(*parsed.output);
  CheckTogether(parsed);
  return parsed;
}

}  // namespace tomo::cli

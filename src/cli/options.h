// tomodb's commands and options, one table each: parsing, the usage lines and --help all read
// them, so that an option cannot be accepted without being documented, or the reverse.
#pragma once

#include <span>
#include <string>

#include "cli/arguments.h"

namespace tomo::cli {

struct CommandSpec {
  Command command;
  const char* name;
  const char* summary;      // one line, for the list of commands
  const char* description;  // lines, for the command's own help
};

// The arguments as parsed so far, and what only parsing needs to know.
struct Parsing {
  Arguments arguments;
  bool formatGiven = false;
};

struct OptionSpec {
  const char* shortName;  // "-o", or nullptr
  const char* longName;   // "--output"
  const char* value;      // what the value looks like ("FILE|-"); nullptr for a switch
  std::span<const Command> commands;
  const char* help;  // lines
  void (*apply)(Parsing& parsing, const std::string& value);
};

std::span<const CommandSpec> Commands();
std::span<const OptionSpec> Options();

bool Takes(const OptionSpec& option, Command command);

// "info, export": the commands that take the option.
std::string CommandsOf(const OptionSpec& option);

// "-o, --output FILE|-": the option as the help and the README write it.
std::string Synopsis(const OptionSpec& option);

}  // namespace tomo::cli

#include "cli/help.h"

#include <algorithm>

#include "cli/options.h"

namespace tomo::cli {
namespace {

constexpr std::size_t kWidth = 90;
constexpr std::size_t kHelpColumn = 30;

const char* const kOptionForms = "--name=value is --name value; -- ends the options.\n";
const char* const kExitStatus =
    "exit status: 0 done, 1 an error (said on standard error), 2 a usage error,\n"
    "             128 + the signal when interrupted: 130 by Ctrl+C, 143 by SIGTERM,\n"
    "             129 by SIGHUP\n";

bool TakenByAll(const OptionSpec& option) {
  return std::ranges::all_of(Commands(),
                             [&](const CommandSpec& c) { return Takes(option, c.command); });
}

std::string Brief(const OptionSpec& option) {
  std::string text = option.shortName ? option.shortName : option.longName;
  if (option.value) text += std::string(" ") + option.value;
  return text;
}

// "tomodb export DB [-o FILE|-] ...", wrapped under its first option.
std::string UsageLine(const CommandSpec& command, const std::string& lead) {
  std::string line = lead + "tomodb " + command.name + " DB";
  const std::size_t indent = line.size() + 1;
  std::size_t lineStart = 0;
  for (const OptionSpec& option : Options()) {
    if (!Takes(option, command.command) || TakenByAll(option)) continue;
    // Appended piece by piece: MinGW's GCC 12 at -O3 takes "[" + string for an overlapping
    // copy (-Werror=restrict).
    std::string item = "[";
    item += Brief(option);
    item += ']';
    if (line.size() - lineStart + 1 + item.size() > kWidth) {
      lineStart = line.size() + 1;
      line += '\n';
      line.append(indent - 1, ' ');
    }
    line += " " + item;
  }
  return line + "\n";
}

// The lines every command shares: the options all of them take, and --version.
std::string CommonUsage(const std::string& lead) {
  std::string lines;
  for (const OptionSpec& option : Options()) {
    if (!TakenByAll(option)) continue;
    std::string names = option.shortName ? std::string(option.shortName) + "|" : "";
    lines += lead + "tomodb [COMMAND] " + names + option.longName + "\n";
  }
  return lines + lead + "tomodb --version\n";
}

// "  -o, --output FILE|-   write to FILE ...", its further lines under the first.
std::string OptionLines(const OptionSpec& option, bool namingCommands) {
  std::string text = "  " + Synopsis(option);
  text += text.size() + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                        : std::string(kHelpColumn - text.size(), ' ');
  if (namingCommands && !TakenByAll(option)) text += CommandsOf(option) + ": ";
  for (const char* c = option.help; *c; ++c) {
    text += *c;
    if (*c == '\n') text += std::string(kHelpColumn, ' ');
  }
  return text + "\n";
}

}  // namespace

std::string Usage() {
  std::string text;
  for (const CommandSpec& command : Commands()) {
    text += UsageLine(command, text.empty() ? "usage: " : "       ");
  }
  return text + CommonUsage("       ");
}

std::string Help(Command topic) {
  const auto command = std::ranges::find(Commands(), topic, &CommandSpec::command);
  if (command == Commands().end()) {
    std::string text =
        "tomodb: takes the data out of a TOMO database folder, as the viewer shows it.\n\n" +
        Usage() + "\ncommands:\n";
    for (const CommandSpec& spec : Commands()) {
      const std::string name = spec.name;
      text += "  " + name + std::string(9 - name.size(), ' ') + spec.summary + "\n";
    }
    text += "\noptions:\n";
    for (const OptionSpec& option : Options()) text += OptionLines(option, true);
    return text + "\n" + kOptionForms + "\n" + kExitStatus;
  }
  std::string text = UsageLine(*command, "usage: ") + CommonUsage("       ") + "\n" +
                     command->description + "\n\noptions:\n";
  for (const OptionSpec& option : Options()) {
    if (Takes(option, topic)) text += OptionLines(option, false);
  }
  return text + "\n" + kOptionForms + "\n" + kExitStatus;
}

}  // namespace tomo::cli

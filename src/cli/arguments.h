// tomodb's command line: the command, the database folder and the options.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/format.h"

namespace tomo::cli {

enum class Command { kHelp, kVersion, kInfo, kExport, kCheck };

struct Arguments {
  Command command = Command::kHelp;
  Command helpTopic = Command::kHelp;  // for --help: the command asked about; kHelp for all
  std::string database;                // the database folder, UTF-8
  std::optional<std::string> output;   // -o FILE; none or "-" for standard output
  Format format = Format::kCsv;
  bool raw = false;
  bool typed = false;
  int codePage = 1252;
  bool bom = false;
  bool force = false;
  bool json = false;
};

// A command line tomodb cannot run; its text is the one-line message.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The arguments after the program's name. Throws UsageError.
Arguments ParseArguments(const std::vector<std::string>& args);

}  // namespace tomo::cli

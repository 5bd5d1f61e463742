// tomodb's usage lines and --help, made from the tables of commands and options.
#pragma once

#include <string>

#include "cli/arguments.h"

namespace tomo::cli {

// The usage lines of every command.
std::string Usage();

// The help of one command, or of all for Command::kHelp.
std::string Help(Command topic);

}  // namespace tomo::cli

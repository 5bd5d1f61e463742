// tomodb's commands; each returns the exit status or throws Failure or Stopped.
#pragma once

#include "cli/arguments.h"
#include "cli/host.h"

namespace tomo::cli {

int RunInfo(Host& host, const Arguments& args);
int RunExport(Host& host, const Arguments& args);
int RunCheck(Host& host, const Arguments& args);

}  // namespace tomo::cli

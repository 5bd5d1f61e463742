#include <cstdio>

#include "cli/commands.h"
#include "cli/failure.h"
#include "cli/help.h"
#include "cli/host.h"

#ifndef TOMO_VERSION
#define TOMO_VERSION "unknown"
#endif

namespace tomo::cli {

int RunTomodb(Host& host, const std::vector<std::string>& args) {
  Arguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const UsageError& error) {
    std::fprintf(host.err, "tomodb: %s\n%s", error.what(), Usage().c_str());
    return 2;
  }
  try {
    switch (parsed.command) {
      case Command::kHelp:
        std::fputs(Help(parsed.helpTopic).c_str(), host.out);
        return 0;
      case Command::kVersion:
        std::fprintf(host.out, "tomodb %s\n", TOMO_VERSION);
        return 0;
      case Command::kInfo:
        return RunInfo(host, parsed);
      case Command::kExport:
        return RunExport(host, parsed);
      case Command::kCheck:
        return RunCheck(host, parsed);
    }
  } catch (const Failure& failure) {
    std::fprintf(host.err, "tomodb: %s\n", failure.what());
    return 1;
  } catch (const Stopped&) {
    std::fprintf(host.err, "tomodb: interrupted\n");
    return 130;
  } catch (const std::bad_alloc&) {
    std::fprintf(host.err, "tomodb: out of memory\n");
    return 1;
  }
  return 0;
}

}  // namespace tomo::cli

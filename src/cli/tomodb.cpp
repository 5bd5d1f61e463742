#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "cli/commands.h"
#include "cli/failure.h"
#include "cli/help.h"
#include "cli/host.h"

#ifndef TOMO_VERSION
#define TOMO_VERSION "unknown"
#endif

namespace tomo::cli {

namespace {

// What a command wrote to standard output must have got there: a full disk or a closed pipe
// fails it too. (An export checks its own writing.)
int Delivered(Host& host, int status) {
  errno = 0;
  if (std::fflush(host.out) == 0 && !std::ferror(host.out)) return status;
  // The reason is known only when this flush was the write that failed.
  const std::string reason = errno ? ": " + std::generic_category().message(errno) : "";
  std::fprintf(host.err, "tomodb: cannot write to standard output%s\n", reason.c_str());
  return 1;
}

}  // namespace

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
        return Delivered(host, 0);
      case Command::kVersion:
        std::fprintf(host.out, "tomodb %s\n", TOMO_VERSION);
        return Delivered(host, 0);
      case Command::kInfo:
        return Delivered(host, RunInfo(host, parsed));
      case Command::kExport:
        return RunExport(host, parsed);
      case Command::kCheck:
        return Delivered(host, RunCheck(host, parsed));
    }
  } catch (const Failure& failure) {
    std::fprintf(host.err, "tomodb: %s\n", failure.what());
    return 1;
  } catch (const Stopped&) {
    std::fprintf(host.err, "tomodb: interrupted\n");
    return 128 + InterruptingSignal();
  } catch (const std::bad_alloc&) {
    std::fprintf(host.err, "tomodb: out of memory\n");
    return 1;
  }
  return 0;
}

}  // namespace tomo::cli

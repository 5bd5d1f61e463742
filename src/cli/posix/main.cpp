// tomodb on Linux: the arguments as they are (UTF-8), the files read through POSIX.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/host.h"
#include "platform/posix/posix_files.h"

int main(int argc, char** argv) {
  tomo::cli::WatchInterrupts();
  tomo::PosixFiles files;
  tomo::cli::Host host{files, stdout, stderr, isatty(STDERR_FILENO) == 1};
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tomo::cli::RunTomodb(host, args);
}

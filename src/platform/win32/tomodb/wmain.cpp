// tomodb.exe: wide-character arguments as UTF-8, the files read through the Win32 file API
// (shared as the viewer shares them), standard output in binary mode so that CSV line ends
// stay CRLF and nothing else is changed, and what goes to a console shown as written.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/host.h"
#include "console_text.h"
#include "text.h"
#include "win32_files.h"

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  tomo::cli::WatchInterrupts();
  tomo::win32::Win32Files files;
  tomo::cli::Host host{files, stdout, stderr, _isatty(_fileno(stderr)) != 0};
  std::vector<std::string> args;
  for (int k = 1; k < argc; ++k) args.push_back(tomo::win32::WideToUtf8(argv[k]));
  const tomo::win32::ConsoleText console;
  return tomo::cli::RunTomodb(host, args);
}

// What tomodb asks of the system it runs on: the database files (opened as the viewer opens
// them), the standard streams and the interrupt flag.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"

namespace tomo::cli {

struct Host {
  Files& files;
  std::FILE* out;  // standard output, in binary mode
  std::FILE* err;
  bool errIsTerminal = false;
};

// Ctrl+C and the signals that ask a program to end: the platform's entry point starts
// watching; long work asks now and then.
void WatchInterrupts();
bool Interrupted();
// The signal that interrupted the work, 0 while none has.
int InterruptingSignal();

// Runs tomodb with the arguments after the program's name; returns the exit status.
int RunTomodb(Host& host, const std::vector<std::string>& args);

}  // namespace tomo::cli

// Ctrl+C through the C runtime's SIGINT, on Windows too (its runtime turns the console's
// Ctrl+C event into the signal): the handler only sets a flag that long work checks.
#include <csignal>

#include "cli/failure.h"
#include "cli/host.h"

namespace tomo::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

}  // namespace

void WatchInterrupts() {
  std::signal(SIGINT, OnInterrupt);
}

bool Interrupted() {
  return interrupted != 0;
}

void StopWhenInterrupted() {
  if (Interrupted()) throw Stopped();
}

}  // namespace tomo::cli

// Ctrl+C through the C runtime's SIGINT, on Windows too (its runtime turns the console's
// Ctrl+C event into the signal), and on POSIX the requests to end that come from elsewhere
// (SIGTERM, or SIGHUP when the terminal goes): the handler only notes the signal, which long
// work checks, so that each leaves no temporary file behind.
#include <csignal>

#include "cli/failure.h"
#include "cli/host.h"

namespace tomo::cli {

namespace {

volatile std::sig_atomic_t interrupting = 0;

extern "C" void OnInterrupt(int signal) {
  interrupting = signal;
}

void Watch(int signal) {
  // A signal the caller chose to ignore (nohup) stays ignored.
  if (std::signal(signal, OnInterrupt) == SIG_IGN) std::signal(signal, SIG_IGN);
}

}  // namespace

void WatchInterrupts() {
  Watch(SIGINT);
  Watch(SIGTERM);
#ifdef SIGHUP
  Watch(SIGHUP);
#endif
}

bool Interrupted() {
  return interrupting != 0;
}

int InterruptingSignal() {
  return interrupting;
}

void StopWhenInterrupted() {
  if (Interrupted()) throw Stopped();
}

}  // namespace tomo::cli

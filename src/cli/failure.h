// How tomodb's commands end early: a failure with its message in plain words (exit 1), or
// the user's Ctrl+C.
#pragma once

#include <stdexcept>

namespace tomo::cli {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Stopped : std::runtime_error {
  Stopped() : std::runtime_error("interrupted") {}
};

// Throws Stopped once the user has pressed Ctrl+C.
void StopWhenInterrupted();

}  // namespace tomo::cli

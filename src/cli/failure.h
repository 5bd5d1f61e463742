// How tomodb's commands end early: a failure with its message in plain words (exit 1), or
// the user's Ctrl+C.
#pragma once

#include <stdexcept>

#include "export/failure.h"

namespace tomo::cli {

using tomo::Failure;

struct Stopped : std::runtime_error {
  Stopped() : std::runtime_error("interrupted") {}
};

// Throws Stopped once the user has pressed Ctrl+C.
void StopWhenInterrupted();

}  // namespace tomo::cli

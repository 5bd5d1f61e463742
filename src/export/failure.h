// How taking a database out ends early: a failure with its message in plain words, for the
// caller to show.
#pragma once

#include <stdexcept>

namespace tomo {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A write that failed for want of space on the disk.
struct DiskFull : Failure {
  using Failure::Failure;
};

}  // namespace tomo

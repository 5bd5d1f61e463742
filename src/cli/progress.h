// Progress on standard error, only when it is a terminal and the work takes more than about
// a second: the percentage of the record file read and the rate.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace tomo::cli {

class Progress {
 public:
  Progress(std::FILE* err, bool terminal);
  // Clears the line if anything was shown.
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void Entries(std::int64_t done, std::int64_t entries);

 private:
  using Clock = std::chrono::steady_clock;
  std::FILE* err_;
  bool terminal_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point shown_{};
  bool any_ = false;
};

}  // namespace tomo::cli

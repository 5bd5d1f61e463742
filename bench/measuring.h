// Timed runs of the scan operations on the program's state, and plain reads of a record file
// that they are compared with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "benchmark_platform.h"
#include "fakes/fake_platform.h"
#include "support/scan_operations.h"

namespace tomo::bench {

// The program's state over a surface that draws nothing, the fake window services (their
// pump records when it ran) and real files that count the bytes read.
struct Bench {
  explicit Bench(bool cold) : coldCaches(cold) { ui.screen = testing::kScanScreen; }
  const bool coldCaches;
  // Runs after an operation's preparation, before it is timed.
  std::function<void()> afterPrepare;
  NullSurface surface;
  testing::FakeUi ui;
  testing::CountingFiles counting;
  DeadlineFiles files{counting};
  Platform platform{surface, ui, files};

  // A state fresh from the window's initialisation; no folder answer is left from before.
  std::unique_ptr<App> FreshApp();
};

struct Run {
  double seconds = 0;
  bool finished = true;  // false: cut off at the time limit
  std::int64_t bytes = 0;
  std::int64_t longestPause = 0;  // microseconds without letting messages through
  std::string outcome;
};

// One run of the operation, or of the reference's, cut off after `limit` seconds if given.
Run RunOnce(Bench& bench, const testing::ScanOperation& operation, bool reference,
            std::optional<double> limit);
// The fastest of `repeat` runs; the longest pause of them all.
Run BestRun(Bench& bench, const testing::ScanOperation& operation, int repeat);

// Reads the whole file in 1 MiB blocks through the same file access the program uses.
void ReadWhole(const std::filesystem::path& path);
// The fastest of `repeat` plain reads of the file, in seconds.
double PlainRead(const std::filesystem::path& path, int repeat, bool coldCaches);

}  // namespace tomo::bench

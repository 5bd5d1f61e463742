#include "measuring.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/posix/posix_files.h"
#include "shell/repaint.h"

namespace tomo::bench {

namespace {

// The longest stretch of the run from `start` to `end` without a pump.
std::int64_t LongestPause(const std::vector<std::int64_t>& pumps, std::int64_t start,
                          std::int64_t end) {
  std::int64_t longest = 0;
  std::int64_t previous = start;
  for (const std::int64_t pump : pumps) {
    longest = std::max(longest, pump - previous);
    previous = pump;
  }
  return std::max(longest, end - previous);
}

}  // namespace

std::unique_ptr<App> Bench::FreshApp() {
  ui.folderAnswers.clear();
  auto app = std::make_unique<App>(platform);
  InitialiseWindow(*app);
  return app;
}

Run RunOnce(Bench& bench, const testing::ScanOperation& operation, bool reference,
            std::optional<double> limit) {
  const auto app = bench.FreshApp();
  operation.prepare(*app, bench.ui);
  if (bench.afterPrepare) bench.afterPrepare();
  if (bench.coldCaches) EvictProcessorCaches();
  bench.ui.pumpTimes.clear();
  const std::int64_t bytes = bench.counting.bytesRead;
  if (limit) {
    bench.files.SetDeadline(DeadlineFiles::Clock::now() +
                            std::chrono::duration_cast<DeadlineFiles::Clock::duration>(
                                std::chrono::duration<double>(*limit)));
  }
  Run run;
  const std::int64_t start = bench.ui.NowMicroseconds();
  try {
    const std::int64_t result = (reference ? operation.reference : operation.run)(*app);
    run.outcome = testing::Outcome(*app, result);
  } catch (const DeadlinePassed&) {
    run.finished = false;
  }
  const std::int64_t end = bench.ui.NowMicroseconds();
  bench.files.SetDeadline(std::nullopt);
  run.seconds = static_cast<double>(end - start) / 1e6;
  run.bytes = bench.counting.bytesRead - bytes;
  run.longestPause = LongestPause(bench.ui.pumpTimes, start, end);
  return run;
}

Run BestRun(Bench& bench, const testing::ScanOperation& operation, int repeat) {
  Run best;
  std::int64_t longestPause = 0;
  for (int k = 0; k < repeat; ++k) {
    Run run = RunOnce(bench, operation, false, std::nullopt);
    longestPause = std::max(longestPause, run.longestPause);
    if (k == 0 || run.seconds < best.seconds) best = std::move(run);
  }
  best.longestPause = longestPause;
  return best;
}

void ReadWhole(const std::filesystem::path& path) {
  PosixFiles files;
  std::vector<unsigned char> block(std::size_t{1} << 20);
  const auto file = files.OpenForReading(path.string());
  for (std::int64_t offset = 0;;) {
    const std::size_t got = file->ReadAt(offset, block.data(), block.size());
    if (got == 0) break;
    offset += static_cast<std::int64_t>(got);
  }
}

double PlainRead(const std::filesystem::path& path, int repeat, bool coldCaches) {
  double best = 0;
  for (int k = 0; k < repeat; ++k) {
    if (coldCaches) EvictProcessorCaches();
    const auto start = std::chrono::steady_clock::now();
    ReadWhole(path);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (k == 0 || seconds < best) best = seconds;
  }
  return best;
}

}  // namespace tomo::bench

// Measures what the record file operations cost on large generated databases, against a
// plain read of the same file and against the entry-by-entry reference, and checks the
// targets: whole-file operations at most 2x the plain read, the reference at least 50x
// slower at 10^6 entries, 10^7 within 12x of 10^6, messages let through at least every
// 20 ms, and a peak memory below 64 MiB. Moves with the block summary that linking made are
// measured with the record file in the page cache and dropped from it, and must take at most
// 2 ms and 50 ms at 10^7 entries, reading a few blocks.
//
//   tomo_benchmark [--sizes 5,6,7] [--reference-sizes 5,6] [--reference-limit 60]
//                  [--repeat 5] [--cold-processor-caches] [--dir DIR] [--keep]
//
// Size k means a database of about 10^k character entries. The files are in the page cache;
// with --cold-processor-caches every timed run starts with the processor's caches emptied,
// so that files of every size are read from memory alike. Prints one Markdown table;
// exits with 1 when the program and the reference disagree, 3 when a target is missed.
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "benchmark_database.h"
#include "benchmark_export.h"
#include "benchmark_platform.h"
#include "fakes/fake_platform.h"
#include "shell/repaint.h"
#include "storage/char_entry.h"
#include "support/scan_operations.h"

namespace tomo::bench {

namespace {

using testing::ScanOperation;

struct Options {
  std::vector<int> sizes{5, 6, 7};
  std::vector<int> referenceSizes{5, 6};
  double referenceLimit = 60;  // seconds
  int repeat = 5;
  bool coldCaches = false;
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  bool keep = false;
};

std::vector<int> ParseSizes(const std::string& text) {
  std::vector<int> sizes;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    const int k = std::stoi(item);
    if (k < 2 || k > 9) throw std::runtime_error("sizes are powers of ten from 2 to 9");
    sizes.push_back(k);
  }
  return sizes;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int k = 1; k < argc; ++k) {
    const std::string option = argv[k];
    const auto value = [&]() -> std::string {
      if (k + 1 >= argc) throw std::runtime_error(option + " needs a value");
      return argv[++k];
    };
    if (option == "--sizes") {
      options.sizes = ParseSizes(value());
    } else if (option == "--reference-sizes") {
      options.referenceSizes = ParseSizes(value());
    } else if (option == "--reference-limit") {
      options.referenceLimit = std::stod(value());
    } else if (option == "--repeat") {
      options.repeat = std::max(1, std::stoi(value()));
    } else if (option == "--dir") {
      options.dir = value();
    } else if (option == "--cold-processor-caches") {
      options.coldCaches = true;
    } else if (option == "--keep") {
      options.keep = true;
    } else {
      throw std::runtime_error("unknown option " + option);
    }
  }
  return options;
}

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
  std::unique_ptr<App> FreshApp() {
    ui.folderAnswers.clear();
    auto app = std::make_unique<App>(platform);
    InitialiseWindow(*app);
    return app;
  }
};

struct Run {
  double seconds = 0;
  bool finished = true;  // false: cut off at the time limit
  std::int64_t bytes = 0;
  std::int64_t longestPause = 0;  // microseconds without letting messages through
  std::string outcome;
};

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

Run RunOnce(Bench& bench, const ScanOperation& operation, bool reference,
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

// The fastest of `repeat` runs; the longest pause of them all.
Run BestRun(Bench& bench, const ScanOperation& operation, int repeat) {
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

// Reads the whole file in 1 MiB blocks through the same file access the program uses.
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

// The fastest of `repeat` plain reads of the file, in seconds.
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

std::string Seconds(double seconds) {
  return Fixed(seconds, seconds < 10 ? 2 : 0) + " s";
}

std::string Mebibytes(double bytes) {
  return Fixed(bytes / (1 << 20), bytes < (10 << 20) ? 2 : 1);
}

struct Measurement {
  Run tomo;
  std::optional<std::int64_t> peak;
  std::optional<Run> reference;
  bool wholeFile = false;
};

// A move with the block summary that linking made, with the record file in the page cache
// and dropped from it before each timed run.
struct SummaryMeasurement {
  Run warm;
  Run dropped;
  std::int64_t leftInCache = 0;  // the most bytes of the record file mincore still found cached
};

struct SizeResult {
  format::BenchmarkDatabase database;
  double plainRead = 0;
  std::map<std::string, Measurement> operations;
  std::map<std::string, SummaryMeasurement> summaryOperations;
};

std::string MachineDescription() {
  std::string model = "unknown processor";
  std::ifstream cpu("/proc/cpuinfo");
  for (std::string line; std::getline(cpu, line);) {
    if (line.rfind("model name", 0) == 0) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  std::string memory;
  std::ifstream meminfo("/proc/meminfo");
  for (std::string line; std::getline(meminfo, line);) {
    if (line.rfind("MemTotal:", 0) == 0) {
      std::int64_t kilobytes = std::stoll(line.substr(9));
      memory = Fixed(static_cast<double>(kilobytes) / (1 << 20), 1) + " GiB memory";
    }
  }
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores, " + memory;
}

class Targets {
 public:
  void Check(bool holds, const std::string& what) {
    std::cout << "- " << (holds ? "holds" : "MISSED") << ": " << what << "\n";
    missed_ = missed_ || !holds;
  }
  bool Missed() const { return missed_; }

 private:
  bool missed_ = false;
};

void CheckTargets(const std::map<int, SizeResult>& results, Targets& targets) {
  for (const auto& [k, size] : results) {
    double worstRatio = 0;
    std::string worst;
    std::int64_t longestPause = 0;
    std::int64_t peak = 0;
    for (const auto& [name, m] : size.operations) {
      longestPause = std::max(longestPause, m.tomo.longestPause);
      peak = std::max(peak, m.peak.value_or(std::numeric_limits<std::int64_t>::max()));
      if (m.wholeFile && m.tomo.seconds / size.plainRead > worstRatio) {
        worstRatio = m.tomo.seconds / size.plainRead;
        worst = name;
      }
    }
    const std::string at = "10^" + std::to_string(k) + ": ";
    targets.Check(worstRatio <= 2, at + "whole-file operations at most 2x the plain read (worst " +
                                       Fixed(worstRatio, 2) + "x, " + worst + ")");
    targets.Check(longestPause <= 20000, at +
                                             "messages let through at least every 20 ms (longest " +
                                             Milliseconds(longestPause / 1e6) + ")");
    targets.Check(peak < (std::int64_t{64} << 20),
                  at + "peak memory below 64 MiB (highest " + Mebibytes(peak) + " MiB)");
  }
  if (const auto six = results.find(6); six != results.end()) {
    double least = std::numeric_limits<double>::infinity();
    for (const auto& [name, m] : six->second.operations) {
      if (m.wholeFile && m.reference)
        least = std::min(least, m.reference->seconds / m.tomo.seconds);
    }
    if (std::isfinite(least)) {
      targets.Check(least >= 50,
                    "10^6: the reference at least 50x slower (least " + Fixed(least, 0) + "x)");
    }
  }
  const auto six = results.find(6);
  const auto seven = results.find(7);
  if (six != results.end() && seven != results.end()) {
    double most = 0;
    std::string worst;
    for (const auto& [name, m] : seven->second.operations) {
      const double growth = m.tomo.seconds / six->second.operations.at(name).tomo.seconds;
      if (growth > most) {
        most = growth;
        worst = name;
      }
    }
    targets.Check(most <= 12, "10^7 within 12x of 10^6 (most " + Fixed(most, 1) + "x, " + worst +
                                  "; the plain read " +
                                  Fixed(seven->second.plainRead / six->second.plainRead, 1) + "x)");
  }
}

// Prints a row of the table for a move measured with the summary.
void PrintSummaryRow(const std::string& label, const std::string& name, const Run& run,
                     double plainRead, const std::string& reference, const std::string& ratio) {
  std::cout << "| " << label << " | " << name << " | " << Milliseconds(run.seconds) << " | "
            << Fixed(run.seconds / plainRead, 3) << " | "
            << Mebibytes(static_cast<double>(run.bytes)) << " | "
            << Milliseconds(static_cast<double>(run.longestPause) / 1e6) << " | | " << reference
            << " | " << ratio << " |" << std::endl;
}

// The moves with a summary: warm, checked against the reference where it runs, and with the
// record file dropped from the page cache before every timed run. True when the program and
// the reference agree.
bool MeasureSummaryOperations(Bench& bench, SizeResult& size, const std::string& label,
                              const std::filesystem::path& recordFile, const Options& options,
                              bool withReference) {
  bool agree = true;
  for (const ScanOperation& operation : testing::SummaryOperations(size.database)) {
    std::cerr << "  " << operation.name << ", with a summary\n";
    SummaryMeasurement& m = size.summaryOperations[operation.name];
    m.warm = BestRun(bench, operation, options.repeat);
    std::string reference = "not run";
    std::string ratio;
    if (withReference) {
      const Run slow = RunOnce(bench, operation, true, options.referenceLimit);
      reference =
          slow.finished ? Milliseconds(slow.seconds) : "> " + Seconds(options.referenceLimit);
      ratio = Fixed(slow.seconds / m.warm.seconds, 0) + "×";
      if (slow.finished && slow.outcome != m.warm.outcome) {
        agree = false;
        ratio += " (results differ!)";
      }
    }
    PrintSummaryRow(label, operation.name + ", with a summary", m.warm, size.plainRead, reference,
                    ratio);
    bench.afterPrepare = [&] {
      m.leftInCache = std::max(m.leftInCache, DropFromPageCache(recordFile));
    };
    m.dropped = BestRun(bench, operation, options.repeat);
    bench.afterPrepare = nullptr;
    PrintSummaryRow(label, operation.name + ", with a summary, page cache dropped", m.dropped,
                    size.plainRead, "", "");
  }
  return agree;
}

// At 10^7 entries: a move with a summary at most 2 ms with the file in memory and 50 ms with
// it dropped from the page cache, reading a few blocks at most; the file dropped indeed.
void CheckSummaryTargets(const std::map<int, SizeResult>& results, Targets& targets) {
  for (const auto& [k, size] : results) {
    const std::string at = "10^" + std::to_string(k) + ": ";
    double warm = 0, dropped = 0;
    std::int64_t bytes = 0, left = 0;
    for (const auto& [name, m] : size.summaryOperations) {
      warm = std::max(warm, m.warm.seconds);
      dropped = std::max(dropped, m.dropped.seconds);
      bytes = std::max({bytes, m.warm.bytes, m.dropped.bytes});
      left = std::max(left, m.leftInCache);
    }
    const std::int64_t fewBlocks =
        3 * size.database.fieldFileBytes + 3 * ReadState{}.ScanBlockEntries * kEntrySize;
    targets.Check(bytes <= fewBlocks, at + "a move with a summary reads a few blocks at most (" +
                                          Mebibytes(static_cast<double>(bytes)) +
                                          " MiB, field table included)");
    targets.Check(left == 0, at + "the record file dropped from the page cache (" +
                                 Mebibytes(static_cast<double>(left)) + " MiB left)");
    if (k < 7) continue;
    targets.Check(warm <= 0.002, at + "a move with a summary at most 2 ms in memory (slowest " +
                                     Milliseconds(warm) + ")");
    targets.Check(dropped <= 0.050, at +
                                        "a move with a summary at most 50 ms from the disk "
                                        "(slowest " +
                                        Milliseconds(dropped) + ")");
  }
}

int Main(const Options& options) {
  std::string pattern = (options.dir / "tomo-benchmark-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + pattern);
  const std::filesystem::path folder = pattern;
  struct Cleanup {
    std::filesystem::path folder;
    bool keep;
    ~Cleanup() {
      std::error_code ignored;
      if (!keep) std::filesystem::remove_all(folder, ignored);
    }
  } cleanup{folder, options.keep};

  Bench bench(options.coldCaches);
  std::map<int, SizeResult> results;
  std::map<int, ExportResult> exports;
  bool disagree = false;
  std::cout << "| entries | operation | TOMO | × plain read | MiB read | longest pause | "
               "peak memory | reference | reference ÷ TOMO |\n"
               "|---|---|--:|--:|--:|--:|--:|--:|--:|\n";
  for (const int k : options.sizes) {
    const auto entries = static_cast<std::int64_t>(std::llround(std::pow(10.0, k)));
    std::cerr << "writing a database of 10^" << k << " entries...\n";
    SizeResult& size = results[k];
    size.database = format::WriteBenchmarkDatabase(folder, "b" + std::to_string(k), entries);
    const std::string label = "10^" + std::to_string(k);
    const auto recordFile = size.database.folder / ("b" + std::to_string(k) + ".zbd");
    size.plainRead = PlainRead(recordFile, options.repeat + 1, options.coldCaches);
    std::cout << "| " << label << " | plain read, 1 MiB blocks (" << size.database.records
              << " records, " << Mebibytes(static_cast<double>(size.database.recordFileBytes))
              << " MiB) | " << Milliseconds(size.plainRead) << " | 1.00 | "
              << Mebibytes(static_cast<double>(size.database.recordFileBytes)) << " | | | | |\n";
    const bool withReference =
        std::find(options.referenceSizes.begin(), options.referenceSizes.end(), k) !=
        options.referenceSizes.end();
    for (const ScanOperation& operation : testing::ScanOperations(size.database)) {
      std::cerr << "  " << operation.name << "\n";
      Measurement& m = size.operations[operation.name];
      m.wholeFile = operation.wholeFile;
      m.tomo = BestRun(bench, operation, options.repeat);
      std::unique_ptr<App> app;
      m.peak = PeakMemoryOf(
          [&] {
            app = bench.FreshApp();
            operation.prepare(*app, bench.ui);
          },
          [&] { operation.run(*app); });
      std::string reference = "not run";
      std::string ratio;
      if (withReference) {
        m.reference = RunOnce(bench, operation, true, options.referenceLimit);
        if (!m.reference->finished) {
          reference = "> " + Seconds(options.referenceLimit);
          ratio = "> " + Fixed(m.reference->seconds / m.tomo.seconds, 0) + "×";
        } else {
          reference = Milliseconds(m.reference->seconds);
          ratio = Fixed(m.reference->seconds / m.tomo.seconds, 1) + "×";
          if (m.reference->outcome != m.tomo.outcome) {
            disagree = true;
            ratio += " (results differ!)";
          }
        }
      }
      std::cout << "| " << label << " | " << operation.name << " | " << Milliseconds(m.tomo.seconds)
                << " | " << Fixed(m.tomo.seconds / size.plainRead, 2) << " | "
                << Mebibytes(static_cast<double>(m.tomo.bytes)) << " | "
                << Milliseconds(static_cast<double>(m.tomo.longestPause) / 1e6) << " | "
                << (m.peak ? Mebibytes(static_cast<double>(*m.peak)) + " MiB" : "?") << " | "
                << reference << " | " << ratio << " |" << std::endl;
    }
    if (!MeasureSummaryOperations(bench, size, label, recordFile, options, withReference)) {
      disagree = true;
    }
    exports[k] = MeasureExports(
        bench.files, size.database.folder, folder, label, [&recordFile] { ReadWhole(recordFile); },
        options.repeat, options.coldCaches ? EvictProcessorCaches : nullptr);
    std::filesystem::remove_all(size.database.folder);
  }
  std::cout << "\nMachine: " << MachineDescription() << ". Files in the page cache"
            << (options.coldCaches ? ", processor caches emptied before every timed run" : "")
            << ". Times: fastest of " << options.repeat
            << " runs (the reference: one run, cut off at " << Seconds(options.referenceLimit)
            << "); longest pause: the longest time without letting messages through, over "
               "all runs; peak memory: the highest resident memory of a child process while it "
               "ran the operation once.\n\nTargets:\n";
  Targets targets;
  CheckTargets(results, targets);
  CheckSummaryTargets(results, targets);
  CheckExportTargets(
      exports, [&targets](bool holds, const std::string& what) { targets.Check(holds, what); });
  if (disagree) return 1;
  return targets.Missed() ? 3 : 0;
}

}  // namespace

}  // namespace tomo::bench

int main(int argc, char** argv) {
  try {
    return tomo::bench::Main(tomo::bench::ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::cerr << "tomo_benchmark: " << error.what() << "\n";
    return 2;
  }
}

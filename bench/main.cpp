// Measures what the record file operations cost on large generated databases, against a
// plain read of the same file and against the entry-by-entry reference, and checks the
// targets: whole-file operations at most 2x the plain read, the reference at least 50x
// slower at 10^6 entries, 10^7 within 12x of 10^6, messages let through at least every
// 20 ms, and a peak memory below 64 MiB. Moves with the block summary that linking made are
// measured with the record file in the page cache and dropped from it, and must take at most
// 2 ms and 50 ms at 10^7 entries, reading a few blocks. (Options: options.h.)
//
// The files are in the page cache; with --cold-processor-caches every timed run starts with
// the processor's caches emptied, so that files of every size are read from memory alike.
// Prints one Markdown table; exits with 1 when the program and the reference disagree, 3 when
// a target is missed.
#include <algorithm>
#include <iostream>
#include <map>

#include "databases.h"
#include "exports.h"
#include "measuring.h"
#include "operations.h"
#include "options.h"
#include "report.h"
#include "targets.h"

namespace tomo::bench {

namespace {

int Main(const Options& options) {
  const ScratchFolder scratch(options.dir, options.keep);
  Bench bench(options.coldCaches);
  std::map<int, SizeResult> results;
  std::map<int, ExportResult> exports;
  bool agree = true;
  PrintTableHeader();
  for (const int k : options.sizes) {
    std::cerr << "writing a database of 10^" << k << " entries...\n";
    SizeResult& size = results[k];
    size.database = WriteSizeDatabase(scratch.Path(), k);
    const std::string label = SizeLabel(k);
    const auto recordFile = RecordFile(size.database);
    size.plainRead = PlainRead(recordFile, options.repeat + 1, options.coldCaches);
    PrintPlainReadRow(label, size.database, size.plainRead);
    const bool withReference =
        std::ranges::find(options.referenceSizes, k) != options.referenceSizes.end();
    agree = MeasureScanOperations(bench, size, label, options, withReference) && agree;
    agree =
        MeasureSummaryOperations(bench, size, label, recordFile, options, withReference) && agree;
    exports[k] = MeasureExports(
        bench.files, size.database.folder, scratch.Path(), label,
        [&recordFile] { ReadWhole(recordFile); }, options.repeat,
        options.coldCaches ? EvictProcessorCaches : nullptr);
    std::filesystem::remove_all(size.database.folder);
  }
  PrintNotes(options);
  Targets targets;
  CheckTargets(results, targets);
  CheckSummaryTargets(results, targets);
  CheckExportTargets(
      exports, [&targets](bool holds, const std::string& what) { targets.Check(holds, what); });
  if (!agree) return 1;
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

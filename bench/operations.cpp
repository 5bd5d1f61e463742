#include "operations.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "report.h"
#include "support/scan_operations.h"

namespace tomo::bench {

using testing::ScanOperation;

bool MeasureScanOperations(Bench& bench, SizeResult& size, const std::string& label,
                           const Options& options, bool withReference) {
  bool agree = true;
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
          agree = false;
          ratio += " (results differ!)";
        }
      }
    }
    PrintOperationRow(label, operation.name, m, size.plainRead, reference, ratio);
  }
  return agree;
}

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

}  // namespace tomo::bench

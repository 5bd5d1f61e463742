// The scan operations of one size measured, each against the reference where it runs, and
// printed as rows of the table.
#pragma once

#include <filesystem>
#include <string>

#include "measuring.h"
#include "options.h"
#include "results.h"

namespace tomo::bench {

// The operations that read the whole record file and the searches, with their peak memory.
// True when the program and the reference agree.
bool MeasureScanOperations(Bench& bench, SizeResult& size, const std::string& label,
                           const Options& options, bool withReference);

// The moves with a summary: warm, checked against the reference where it runs, and with the
// record file dropped from the page cache before every timed run. True when the program and
// the reference agree.
bool MeasureSummaryOperations(Bench& bench, SizeResult& size, const std::string& label,
                              const std::filesystem::path& recordFile, const Options& options,
                              bool withReference);

}  // namespace tomo::bench

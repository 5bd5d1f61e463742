// What the benchmark measured of one size of database.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "benchmark_database.h"
#include "measuring.h"

namespace tomo::bench {

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

}  // namespace tomo::bench

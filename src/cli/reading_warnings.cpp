#include "cli/reading_warnings.h"

#include <algorithm>
#include <string>

namespace tomo::cli {

namespace {

// "1 record", "2 records": a count and its noun, one or many.
std::string Count(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void WarnOfReading(std::FILE* err, const ShownRecordsReport& report) {
  const std::int64_t counted = std::max<std::int64_t>(report.recordCount, 0);
  if (report.beyondCount > 0) {
    std::fprintf(err,
                 "tomodb: warning: %s above the record count %lld (the record of the last entry) "
                 "%s entries and %s written after it; the highest is %lld\n",
                 Count(report.beyondCount, "record", "records").c_str(),
                 static_cast<long long>(report.recordCount),
                 report.beyondCount == 1 ? "has" : "have", report.beyondCount == 1 ? "was" : "were",
                 static_cast<long long>(report.highest));
  }
  if (report.onlyWithEntries) {
    const std::int64_t left = counted - (report.handedOut - report.beyondCount);
    std::fprintf(err,
                 "tomodb: warning: only the %s that %s entries %s written; the %s without "
                 "entries up to record %lld %s left out\n",
                 Count(report.handedOut, "record", "records").c_str(),
                 report.handedOut == 1 ? "has" : "have", report.handedOut == 1 ? "was" : "were",
                 Count(left, "record", "records").c_str(), static_cast<long long>(counted),
                 left == 1 ? "was" : "were");
  }
  if (report.belowOneCount > 0) {
    std::fprintf(err, "tomodb: warning: %s below 1 %s entries; %s left out\n",
                 Count(report.belowOneCount, "record number", "record numbers").c_str(),
                 report.belowOneCount == 1 ? "has" : "have",
                 report.belowOneCount == 1 ? "its record was" : "their records were");
  }
}

}  // namespace tomo::cli

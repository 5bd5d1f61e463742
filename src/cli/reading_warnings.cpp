#include "cli/reading_warnings.h"

#include <algorithm>

namespace tomo::cli {

void WarnOfReading(std::FILE* err, const ShownRecordsReport& report,
                   const std::string& recordFile) {
  const auto n = [](std::int64_t number) { return static_cast<long long>(number); };
  const std::int64_t counted = std::max<std::int64_t>(report.recordCount, 0);
  if (report.beyondCount > 0) {
    std::fprintf(err,
                 "tomodb: warning: %lld records above the record count %lld (the record of the "
                 "last entry) have entries and were written after it; the highest is %lld\n",
                 n(report.beyondCount), n(report.recordCount), n(report.highest));
  }
  if (report.onlyWithEntries) {
    std::fprintf(err,
                 "tomodb: warning: only the %lld records that have entries were written; the "
                 "%lld records without entries up to record %lld were left out\n",
                 n(report.handedOut), n(counted - (report.handedOut - report.beyondCount)),
                 n(counted));
  }
  if (report.belowOneCount > 0) {
    std::fprintf(err,
                 "tomodb: warning: %lld record numbers below 1 have entries; their records "
                 "were left out\n",
                 n(report.belowOneCount));
  }
  if (report.cutShort) {
    std::fprintf(err,
                 "tomodb: warning: %s became shorter while tomodb read it; the records of the "
                 "entries it lost were not written\n",
                 recordFile.c_str());
  }
}

}  // namespace tomo::cli

#include "targets.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report.h"
#include "storage/char_entry.h"
#include "storage/database.h"

namespace tomo::bench {

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
    const std::string at = SizeLabel(k) + ": ";
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

void CheckSummaryTargets(const std::map<int, SizeResult>& results, Targets& targets) {
  for (const auto& [k, size] : results) {
    const std::string at = SizeLabel(k) + ": ";
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

}  // namespace tomo::bench

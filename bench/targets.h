// The targets the benchmark holds the program to, each printed as it is checked.
#pragma once

#include <iostream>
#include <map>
#include <string>

#include "results.h"

namespace tomo::bench {

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

// Whole-file operations at most 2x the plain read, messages let through at least every
// 20 ms and a peak memory below 64 MiB at every size; the reference at least 50x slower at
// 10^6 entries; 10^7 within 12x of 10^6.
void CheckTargets(const std::map<int, SizeResult>& results, Targets& targets);

// A move with a summary reads a few blocks at most; at 10^7 entries it takes at most 2 ms
// with the file in memory and 50 ms with it dropped from the page cache (dropped indeed).
void CheckSummaryTargets(const std::map<int, SizeResult>& results, Targets& targets);

}  // namespace tomo::bench

#include "report.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>

namespace tomo::bench {

namespace {

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

}  // namespace

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Milliseconds(double seconds) {
  const double ms = seconds * 1e3;
  return Fixed(ms, ms < 1 ? 3 : ms < 10 ? 2 : ms < 100 ? 1 : 0) + " ms";
}

std::string Seconds(double seconds) {
  return Fixed(seconds, seconds < 10 ? 2 : 0) + " s";
}

std::string Mebibytes(double bytes) {
  return Fixed(bytes / (1 << 20), bytes < (10 << 20) ? 2 : 1);
}

std::string SizeLabel(int k) {
  return "10^" + std::to_string(k);
}

void PrintTableHeader() {
  std::cout << "| entries | operation | TOMO | × plain read | MiB read | longest pause | "
               "peak memory | reference | reference ÷ TOMO |\n"
               "|---|---|--:|--:|--:|--:|--:|--:|--:|\n";
}

void PrintPlainReadRow(const std::string& label, const format::BenchmarkDatabase& database,
                       double plainRead) {
  std::cout << "| " << label << " | plain read, 1 MiB blocks (" << database.records << " records, "
            << Mebibytes(static_cast<double>(database.recordFileBytes)) << " MiB) | "
            << Milliseconds(plainRead) << " | 1.00 | "
            << Mebibytes(static_cast<double>(database.recordFileBytes)) << " | | | | |\n";
}

void PrintOperationRow(const std::string& label, const std::string& name, const Measurement& m,
                       double plainRead, const std::string& reference, const std::string& ratio) {
  std::cout << "| " << label << " | " << name << " | " << Milliseconds(m.tomo.seconds) << " | "
            << Fixed(m.tomo.seconds / plainRead, 2) << " | "
            << Mebibytes(static_cast<double>(m.tomo.bytes)) << " | "
            << Milliseconds(static_cast<double>(m.tomo.longestPause) / 1e6) << " | "
            << (m.peak ? Mebibytes(static_cast<double>(*m.peak)) + " MiB" : "?") << " | "
            << reference << " | " << ratio << " |" << std::endl;
}

void PrintSummaryRow(const std::string& label, const std::string& name, const Run& run,
                     double plainRead, const std::string& reference, const std::string& ratio) {
  std::cout << "| " << label << " | " << name << " | " << Milliseconds(run.seconds) << " | "
            << Fixed(run.seconds / plainRead, 3) << " | "
            << Mebibytes(static_cast<double>(run.bytes)) << " | "
            << Milliseconds(static_cast<double>(run.longestPause) / 1e6) << " | | " << reference
            << " | " << ratio << " |" << std::endl;
}

void PrintNotes(const Options& options) {
  std::cout << "\nMachine: " << MachineDescription() << ". Files in the page cache"
            << (options.coldCaches ? ", processor caches emptied before every timed run" : "")
            << ". Times: fastest of " << options.repeat
            << " runs (the reference: one run, cut off at " << Seconds(options.referenceLimit)
            << "); longest pause: the longest time without letting messages through, over "
               "all runs; peak memory: the highest resident memory of a child process while it "
               "ran the operation once.\n\nTargets:\n";
}

}  // namespace tomo::bench

// The benchmark's export rows: tomodb's export of a generated database to CSV and to SQLite,
// one write of a file of the CSV's size, and the export to CSV once one value is appended out
// of order, with the targets they are held to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/files.h"

namespace tomo::bench {

struct ExportResult {
  double plainRead = 0;  // seconds, of the plain reads between the exports
  double csv = 0;
  double sqlite = 0;
  double oneWrite = 0;  // one write of the CSV's bytes
  std::int64_t csvBytes = 0;
  std::optional<std::int64_t> csvPeak;
  std::optional<std::int64_t> sqlitePeak;
  double outOfOrder = 0;      // the CSV export with a value appended out of order
  double outOfOrderRead = 0;  // the plain reads between those exports
  std::optional<std::int64_t> outOfOrderPeak;
};

// Exports the database in `folder` into `outputs` through `files`, in `repeat` rounds that
// each run `plainRead` (one plain read of its record file) and then each export, and prints
// the table rows labelled `label`: the fastest of the rounds for each. Then appends a value
// out of order to the database and exports it to CSV the same way. `evict` empties the
// processor's caches before each timed run when asked to.
ExportResult MeasureExports(Files& files, const std::filesystem::path& folder,
                            const std::filesystem::path& outputs, const std::string& label,
                            const std::function<void()>& plainRead, int repeat,
                            const std::function<void()>& evict);

// Peak memory below 128 MiB, and no more at 10^7 entries than at 10^6 beyond a few MiB; at
// 10^7 entries, CSV within 2x the plain read plus one write of its size and SQLite within
// 4x the plain read; with a value appended out of order, CSV within 3x the plain read and
// a peak memory below 256 MiB.
void CheckExportTargets(const std::map<int, ExportResult>& results,
                        const std::function<void(bool, const std::string&)>& check);

}  // namespace tomo::bench

// The operations whose cost the benchmark measures and the scan-cost test bounds, on a
// database made by WriteBenchmarkDatabase: each as the program runs it and as the
// entry-by-entry reference does the same work.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "benchmark_database.h"
#include "fakes/fake_ui.h"
#include "shell/app.h"

namespace tomo::testing {

// A screen with fewer field rows than the database has fields, so that ↓ moves the view.
inline constexpr ScreenSize kScanScreen{1280, 600};

struct ScanOperation {
  std::string name;
  bool wholeFile = false;  // reads the whole record file: its cost grows with the file
  // Sets the state the operation starts from, on a state fresh from the window's
  // initialisation; not part of what is measured.
  std::function<void(App&, FakeUi&)> prepare;
  // The operation; returns its result, 0 when it has none.
  std::function<std::int64_t(App&)> run;
  std::function<std::int64_t(App&)> reference;
};

// The operations above that read the whole record file, as the first fill after linking
// does, and the searches.
std::vector<ScanOperation> ScanOperations(const format::BenchmarkDatabase& database);
// Moves with the summary that linking made: they read only the blocks of the records shown.
std::vector<ScanOperation> SummaryOperations(const format::BenchmarkDatabase& database);

// What an operation leaves that the user or a later operation sees: its result, the cells,
// the first record and field, and the read positions.
std::string Outcome(const App& app, std::int64_t result);

}  // namespace tomo::testing

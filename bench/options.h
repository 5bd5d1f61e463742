// The benchmark's command line:
//
//   tomo_benchmark [--sizes 5,6,7] [--reference-sizes 5,6] [--reference-limit 60]
//                  [--repeat 5] [--cold-processor-caches] [--dir DIR] [--keep]
//
// Size k means a database of about 10^k character entries.
#pragma once

#include <filesystem>
#include <vector>

namespace tomo::bench {

struct Options {
  std::vector<int> sizes{5, 6, 7};
  std::vector<int> referenceSizes{5, 6};
  double referenceLimit = 60;  // seconds
  int repeat = 5;
  bool coldCaches = false;
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  bool keep = false;
};

// Throws std::runtime_error on an unknown option or a bad value.
Options ParseOptions(int argc, char** argv);

}  // namespace tomo::bench

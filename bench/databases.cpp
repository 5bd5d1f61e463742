#include "databases.h"

#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tomo::bench {

ScratchFolder::ScratchFolder(const std::filesystem::path& parent, bool keep) : keep_(keep) {
  std::string pattern = (parent / "tomo-benchmark-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder in " + pattern);
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!keep_) std::filesystem::remove_all(path_, ignored);
}

format::BenchmarkDatabase WriteSizeDatabase(const std::filesystem::path& folder, int k) {
  const auto entries = static_cast<std::int64_t>(std::llround(std::pow(10.0, k)));
  return format::WriteBenchmarkDatabase(folder, "b" + std::to_string(k), entries);
}

std::filesystem::path RecordFile(const format::BenchmarkDatabase& database) {
  return database.folder / (database.folder.filename().string() + ".zbd");
}

}  // namespace tomo::bench

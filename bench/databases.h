// The databases the benchmark measures: one per size, in a folder of their own.
#pragma once

#include <filesystem>

#include "benchmark_database.h"

namespace tomo::bench {

// A new folder inside `parent`, removed with all it holds at the end unless kept.
class ScratchFolder {
 public:
  ScratchFolder(const std::filesystem::path& parent, bool keep);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  bool keep_;
};

// The database of about 10^k entries, written into `folder`.
format::BenchmarkDatabase WriteSizeDatabase(const std::filesystem::path& folder, int k);
std::filesystem::path RecordFile(const format::BenchmarkDatabase& database);

}  // namespace tomo::bench

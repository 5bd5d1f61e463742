// Database files held in memory, for tests that make thousands of small databases.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/files.h"

namespace tomo::testing {

class MemoryFiles : public Files {
 public:
  // Path (as the program forms it, with backslashes) to the file's bytes.
  std::map<std::string, std::string> files;

  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::string CreateTempFile() override { return {}; }
  void DeleteTempFile(const std::string&) override {}
};

}  // namespace tomo::testing

// Read-only file access on POSIX systems, for the tests and tools of the Linux build.
// Database paths keep the backslash as separator; it becomes a slash here.
#pragma once

#include "platform/files.h"

namespace tomo {

class PosixFiles : public Files {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::string CreateTempFile() override;
  void DeleteTempFile(const std::string& path) override;
};

}  // namespace tomo

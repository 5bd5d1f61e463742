// Read-only access to the database files over the Win32 file API, and the program's own
// temporary files.
#pragma once

#include "platform/files.h"

namespace tomo::win32 {

class Win32Files : public Files {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::string CreateTempFile() override;
  void DeleteTempFile(const std::string& path) override;
};

}  // namespace tomo::win32

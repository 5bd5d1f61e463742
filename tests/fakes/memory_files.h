// Database files held in memory, for tests that make thousands of small databases.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "fakes/fake_surface.h"
#include "fakes/fake_ui.h"
#include "platform/files.h"
#include "shell/app.h"

namespace tomo::testing {

class MemoryFiles : public Files {
 public:
  // Path (as the program forms it, with backslashes) to the file's bytes.
  std::map<std::string, std::string> files;
  // Path to the file's last-write and change times; 0 for a file not listed.
  struct Times {
    std::int64_t lastWrite = 0;
    std::int64_t change = 0;
    bool operator==(const Times&) const = default;
  };
  std::map<std::string, Times> times;
  std::map<std::string, std::int64_t> bytesRead;  // path to the bytes read from it

  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::string CreateTempFile() override { return {}; }
  void DeleteTempFile(const std::string&) override {}
};

// A program state over a fake surface and user interface and in-memory files. The grid is
// left as a test sets it (LastColumn, LastRow, Cells).
struct MemoryTestApp {
  FakeSurface surface;
  FakeUi ui;
  MemoryFiles files;
  Platform platform{surface, ui, files};
  App app{platform};

  // Makes the files of the database folder `folder` (backslash path) and links it.
  void Use(const std::string& folder, std::string fieldFile, std::string recordFile);
};

}  // namespace tomo::testing

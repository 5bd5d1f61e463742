// A whole fake platform and a fresh program state over it, for core tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_surface.h"
#include "fakes/fake_ui.h"
#include "platform/posix/posix_files.h"
#include "shell/app.h"

namespace tomo::testing {

// Real read-only files that count the bytes read through them.
class CountingFiles : public PosixFiles {
 public:
  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::int64_t bytesRead = 0;
  int opens = 0;
  std::vector<std::string> paths;  // every path asked for, in order
};

struct FakePlatform {
  FakeSurface surface;
  FakeUi ui;
  CountingFiles files;
  Platform platform{surface, ui, files};
};

// A program state over a fake platform, started as the window's initialisation leaves it.
struct TestApp {
  TestApp();
  explicit TestApp(ScreenSize screen);
  std::unique_ptr<FakePlatform> fake = std::make_unique<FakePlatform>();
  App app{fake->platform};
  FakeSurface& surface() { return fake->surface; }
  FakeUi& ui() { return fake->ui; }
};

}  // namespace tomo::testing

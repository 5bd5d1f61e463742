#include "fakes/fake_platform.h"

#include "shell/repaint.h"

namespace tomo::testing {

namespace {

class CountingFile : public ReadOnlyFile {
 public:
  CountingFile(std::unique_ptr<ReadOnlyFile> inner, std::int64_t& counter)
      : inner_(std::move(inner)), counter_(counter) {}
  std::int64_t Length() override { return inner_->Length(); }
  FileStamp Stamp() override { return inner_->Stamp(); }
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
    const std::size_t n = inner_->ReadAt(offset, buffer, size);
    counter_ += static_cast<std::int64_t>(n);
    return n;
  }

 private:
  std::unique_ptr<ReadOnlyFile> inner_;
  std::int64_t& counter_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> CountingFiles::OpenForReading(const std::string& path) {
  ++opens;
  paths.push_back(path);
  return std::make_unique<CountingFile>(PosixFiles::OpenForReading(path), bytesRead);
}

TestApp::TestApp() : TestApp(ScreenSize{1024, 768}) {}

TestApp::TestApp(ScreenSize screen) {
  fake->ui.screen = screen;
  InitialiseWindow(app);
}

}  // namespace tomo::testing

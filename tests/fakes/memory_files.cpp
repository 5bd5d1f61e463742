#include "fakes/memory_files.h"

#include <algorithm>
#include <cstring>

namespace tomo::testing {

namespace {

class MemoryFile : public ReadOnlyFile {
 public:
  MemoryFile(const std::string* bytes, const MemoryFiles::Times* times, std::int64_t& bytesRead)
      : bytes_(bytes), times_(times), bytesRead_(bytesRead) {}
  std::int64_t Length() override { return bytes_ ? static_cast<std::int64_t>(bytes_->size()) : 0; }
  FileStamp Stamp() override {
    const MemoryFiles::Times times = times_ ? *times_ : MemoryFiles::Times{};
    return FileStamp{.length = Length(), .lastWrite = times.lastWrite, .change = times.change};
  }
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
    if (!bytes_ || offset < 0 || offset >= Length()) return 0;
    const std::size_t n = std::min(size, bytes_->size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, bytes_->data() + offset, n);
    bytesRead_ += static_cast<std::int64_t>(n);
    return n;
  }

 private:
  const std::string* bytes_;
  const MemoryFiles::Times* times_;
  std::int64_t& bytesRead_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> MemoryFiles::OpenForReading(const std::string& path) {
  const auto file = files.find(path);
  const auto time = times.find(path);
  return std::make_unique<MemoryFile>(file == files.end() ? nullptr : &file->second,
                                      time == times.end() ? nullptr : &time->second,
                                      bytesRead[path]);
}

void MemoryTestApp::Use(const std::string& folder, std::string fieldFile, std::string recordFile) {
  app.DatabaseFolder = folder;
  const std::string name = folder.substr(folder.rfind('\\') + 1);
  files.files[folder + "\\" + name + ".z04"] = std::move(fieldFile);
  files.files[folder + "\\" + name + ".zbd"] = std::move(recordFile);
}

}  // namespace tomo::testing

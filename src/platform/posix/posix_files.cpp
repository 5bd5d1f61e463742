#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace tomo {

namespace {

class PosixFile : public ReadOnlyFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::int64_t Length() override {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<std::int64_t>(st.st_size);
  }

  FileStamp Stamp() override {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const auto nanoseconds = [](const timespec& time) {
      return static_cast<std::int64_t>(time.tv_sec) * 1000000000 +
             static_cast<std::int64_t>(time.tv_nsec);
    };
    return FileStamp{.length = static_cast<std::int64_t>(st.st_size),
                     .lastWrite = nanoseconds(st.st_mtim),
                     .change = nanoseconds(st.st_ctim),
                     .volume = static_cast<std::uint64_t>(st.st_dev),
                     .index = static_cast<std::uint64_t>(st.st_ino)};
  }

  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
    if (fd_ < 0 || offset < 0) return 0;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, size - done,
                              static_cast<off_t>(offset) + static_cast<off_t>(done));
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> PosixFiles::OpenForReading(const std::string& path) {
  // Database paths use the backslash as separator; here it is the slash.
  std::string local = path;
  std::replace(local.begin(), local.end(), '\\', '/');
  // O_RDONLY without O_CREAT: a missing file stays missing and reads as empty.
  const int fd = local.empty() ? -1 : open(local.c_str(), O_RDONLY | O_CLOEXEC);
  return std::make_unique<PosixFile>(fd);
}

std::string PosixFiles::CreateTempFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string name = std::string(dir && *dir ? dir : "/tmp") + "/tomoXXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) return {};
  close(fd);
  return name;
}

void PosixFiles::DeleteTempFile(const std::string& path) {
  if (!path.empty()) unlink(path.c_str());
}

}  // namespace tomo

#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace tomo {

namespace {

class PosixFile : public ReadOnlyFile {
 public:
  PosixFile(int fd, Opening opening) : fd_(fd), opening_(opening) {}
  ~PosixFile() override {
    if (fd_ >= 0) close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  Opening HowOpened() override { return opening_; }

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
  Opening opening_;
};

Opening Failed(int error) {
  return error == ENOENT || error == ENOTDIR ? Opening::kMissing : Opening::kUnreadable;
}

}  // namespace

std::unique_ptr<ReadOnlyFile> PosixFiles::OpenForReading(const std::string& path) {
  // Database paths use the backslash as separator; here it is the slash.
  std::string local = path;
  std::replace(local.begin(), local.end(), '\\', '/');
  if (local.empty()) return std::make_unique<PosixFile>(-1, Opening::kMissing);
  // Only regular files: opening a named pipe waits for a writer, and a device may block or
  // act on being opened. The type is looked at before opening, and again on the open file,
  // which O_NONBLOCK keeps from waiting should the path change in between.
  struct stat st {};
  if (stat(local.c_str(), &st) != 0) return std::make_unique<PosixFile>(-1, Failed(errno));
  if (!S_ISREG(st.st_mode)) return std::make_unique<PosixFile>(-1, Opening::kUnreadable);
  // O_RDONLY without O_CREAT: a missing file stays missing and reads as empty.
  const int fd = open(local.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::make_unique<PosixFile>(-1, Failed(errno));
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return std::make_unique<PosixFile>(-1, Opening::kUnreadable);
  }
  return std::make_unique<PosixFile>(fd, Opening::kOpened);
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

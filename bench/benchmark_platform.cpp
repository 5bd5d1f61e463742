#include "benchmark_platform.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace tomo::bench {

namespace {

class DeadlineFile : public ReadOnlyFile {
 public:
  DeadlineFile(std::unique_ptr<ReadOnlyFile> inner,
               std::optional<DeadlineFiles::Clock::time_point> deadline)
      : inner_(std::move(inner)), deadline_(deadline) {}
  std::int64_t Length() override { return inner_->Length(); }
  FileStamp Stamp() override { return inner_->Stamp(); }
  std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) override {
    // A look at the clock every 1024 reads costs nothing next to the reads.
    if (deadline_ && ++reads_ % 1024 == 0 && DeadlineFiles::Clock::now() > *deadline_) {
      throw DeadlinePassed{};
    }
    return inner_->ReadAt(offset, buffer, size);
  }

 private:
  std::unique_ptr<ReadOnlyFile> inner_;
  std::optional<DeadlineFiles::Clock::time_point> deadline_;
  std::uint64_t reads_ = 0;
};

// A line "Name:   value kB" of /proc/self/status, in bytes.
std::optional<std::int64_t> StatusBytes(const std::string& name) {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == name + ":") {
      std::int64_t kilobytes = 0;
      if (status >> kilobytes) return kilobytes * 1024;
      return std::nullopt;
    }
    status.ignore(1 << 20, '\n');
  }
  return std::nullopt;
}

}  // namespace

std::unique_ptr<ReadOnlyFile> DeadlineFiles::OpenForReading(const std::string& path) {
  return std::make_unique<DeadlineFile>(inner_.OpenForReading(path), deadline_);
}

void EvictProcessorCaches() {
  const long cache = sysconf(_SC_LEVEL3_CACHE_SIZE);
  const std::size_t bytes = 2 * static_cast<std::size_t>(cache > 0 ? cache : 256L << 20);
  // Allocated afresh and given back each time, so that it is never part of the memory that a
  // child process for PeakMemoryOf starts with.
  const std::unique_ptr<char[]> buffer(new char[bytes]);
  for (std::size_t k = 0; k < bytes; k += 64) buffer[k] = static_cast<char>(k);
  const volatile char kept = buffer[bytes / 2];
  (void)kept;
}

std::optional<std::int64_t> PeakMemoryOf(const std::function<void()>& prepare,
                                         const std::function<void()>& work) {
  int channel[2];
  if (pipe(channel) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return std::nullopt;
  }
  if (child == 0) {
    close(channel[0]);
    // The memory the benchmark freed before the fork stays resident in the allocator's free
    // lists, which the child inherits: given back, it does not count as the work's.
    malloc_trim(0);
    prepare();
    // Writing 5 to clear_refs sets the peak back to the memory resident now, so the peak
    // read afterwards is the one reached while `work` ran.
    std::int64_t peak = -1;
    std::ofstream clear("/proc/self/clear_refs");
    if (clear << "5" << std::flush) {
      work();
      peak = StatusBytes("VmHWM").value_or(-1);
    }
    const ssize_t written = write(channel[1], &peak, sizeof peak);
    _exit(written == sizeof peak ? 0 : 1);
  }
  close(channel[1]);
  std::int64_t peak = -1;
  const ssize_t got = read(channel[0], &peak, sizeof peak);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got != sizeof peak || peak < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  return peak;
}

std::int64_t DropFromPageCache(const std::filesystem::path& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path.string());
  struct stat st {};
  fstat(fd, &st);
  fsync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  const auto length = static_cast<std::size_t>(st.st_size);
  std::int64_t resident = 0;
  if (length > 0) {
    void* map = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (map != MAP_FAILED) {
      const long page = sysconf(_SC_PAGESIZE);
      std::vector<unsigned char> pages((length + static_cast<std::size_t>(page) - 1) /
                                       static_cast<std::size_t>(page));
      if (mincore(map, length, pages.data()) == 0) {
        for (const unsigned char p : pages) resident += (p & 1) ? page : 0;
      }
      munmap(map, length);
    }
  }
  close(fd);
  return resident;
}

}  // namespace tomo::bench

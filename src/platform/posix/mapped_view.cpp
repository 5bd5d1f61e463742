#include "platform/posix/mapped_view.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace tomo {

namespace {

// The address ranges of the views alive, which the bus error handler looks up. A fixed table
// of atomics, as a signal handler may neither lock nor allocate.
struct Mapping {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> lost{false};  // pages of it were replaced by zeros
};
constexpr int kMappings = 16;
Mapping mappings[kMappings];
std::uintptr_t pageSize = 4096;
struct sigaction before {};

// A look at a page of a mapped file that no longer reaches it raises SIGBUS. Within a view,
// the rest of the view from that page on becomes zeros, and the look is made again; any other
// bus error is taken as it would have been without this handler.
void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Mapping& mapping : mappings) {
    const std::uintptr_t begin = mapping.begin.load();
    const std::uintptr_t end = mapping.end.load();
    if (at < begin || at >= end) continue;
    const std::uintptr_t page = at & ~(pageSize - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    mapping.lost.store(true);
    return;
  }
  if ((before.sa_flags & SA_SIGINFO) != 0 && before.sa_sigaction != nullptr) {
    before.sa_sigaction(signal, info, context);
  } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
    before.sa_handler(signal);
  } else {
    // The default action ends the program: on return the faulting look is made again, and a
    // signal sent by another program is raised again.
    ::signal(SIGBUS, SIG_DFL);
    if (info->si_code <= 0) raise(SIGBUS);
  }
}

bool HandleBusErrors() {
  static const bool handled = [] {
    const long size = sysconf(_SC_PAGESIZE);
    if (size > 0) pageSize = static_cast<std::uintptr_t>(size);
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGBUS, &action, &before) == 0;
  }();
  return handled;
}

std::int64_t LengthOf(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

class MappedView : public FileView {
 public:
  MappedView(int fd, std::int64_t end, Mapping& mapping, void* base, std::size_t length,
             std::size_t skip)
      : fd_(fd), end_(end), mapping_(mapping), base_(base), length_(length), skip_(skip) {}
  ~MappedView() override {
    mapping_.end.store(0);
    mapping_.begin.store(0);
    munmap(base_, length_);
    mapping_.taken.store(false);
  }
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;

  const unsigned char* Bytes() const override {
    return static_cast<const unsigned char*>(base_) + skip_;
  }
  // A file cut short inside its last page reads as zeros there without a bus error: its
  // length tells.
  bool Whole() override { return !mapping_.lost.load() && LengthOf(fd_) >= end_; }

 private:
  const int fd_;
  const std::int64_t end_;
  Mapping& mapping_;
  void* const base_;
  const std::size_t length_;
  const std::size_t skip_;
};

}  // namespace

std::unique_ptr<FileView> MapView(int fd, std::int64_t offset, std::size_t size) {
  if (size == 0 || offset < 0 || !HandleBusErrors()) return nullptr;
  const std::int64_t end = offset + static_cast<std::int64_t>(size);
  if (LengthOf(fd) < end) return nullptr;
  Mapping* mapping = nullptr;
  for (Mapping& candidate : mappings) {
    if (!candidate.taken.exchange(true)) {
      mapping = &candidate;
      break;
    }
  }
  if (mapping == nullptr) return nullptr;
  const auto skip = static_cast<std::size_t>(offset) & (pageSize - 1);
  const std::size_t length = skip + size;
  void* base = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, offset - static_cast<off_t>(skip));
  if (base == MAP_FAILED) {
    mapping->taken.store(false);
    return nullptr;
  }
  mapping->lost.store(false);
  mapping->begin.store(reinterpret_cast<std::uintptr_t>(base));
  mapping->end.store(reinterpret_cast<std::uintptr_t>(base) + length);
  return std::make_unique<MappedView>(fd, end, *mapping, base, length, skip);
}

}  // namespace tomo

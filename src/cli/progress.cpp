#include "cli/progress.h"

#include "storage/char_entry.h"

namespace tomo::cli {

Progress::Progress(std::FILE* err, bool terminal) : err_(err), terminal_(terminal) {}

Progress::~Progress() {
  if (any_) std::fprintf(err_, "\r%60s\r", "");
}

void Progress::Entries(std::int64_t done, std::int64_t entries) {
  if (!terminal_ || entries <= 0) return;
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - start_).count();
  if (seconds < 1 || now - shown_ < std::chrono::milliseconds(200)) return;
  shown_ = now;
  any_ = true;
  const double bytes = static_cast<double>(done) * static_cast<double>(kEntrySize);
  std::fprintf(err_, "\r%3d%% of the record file read, %.0f MB/s ",
               static_cast<int>(100 * done / entries), bytes / seconds / 1e6);
  std::fflush(err_);
}

}  // namespace tomo::cli

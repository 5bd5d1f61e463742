// What the benchmark runs the program on: a surface that draws nothing, files that give up at
// a deadline, and peak memory measured in a child process.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/drawing.h"
#include "platform/files.h"

namespace tomo::bench {

// Draws nothing: the benchmark measures the program's own work, not a drawing surface's.
class NullSurface : public DrawingSurface {
 public:
  PictureId CreatePicture(int, int) override { return next_++; }
  void DeletePicture(PictureId) override {}
  void SelectTarget(PictureId) override {}
  void SetForeground(Color) override {}
  void SetBackground(std::optional<Color>) override {}
  void Clear(std::optional<Color>) override {}
  void SetPenWidth(int) override {}
  void SetFont(const Font&) override {}
  void SetPosition(int, int) override {}
  void Print(std::string_view, bool) override {}
  void PrintUtf8(std::string_view, bool) override {}
  void Box(int, int, int, int, int, Color, std::optional<Color>) override {}
  void CopyPicture(PictureId) override {}
  void Redraw() override {}
  void ResizeSurface(int, int) override {}
  bool SavePicture(const std::string&) override { return false; }

 private:
  PictureId next_ = 1;
};

// Thrown by a read once the deadline has passed.
struct DeadlinePassed {};

// Files of another Files whose reads throw DeadlinePassed once the deadline has passed, so
// that a run that would take too long is cut off.
class DeadlineFiles : public Files {
 public:
  using Clock = std::chrono::steady_clock;
  explicit DeadlineFiles(Files& inner) : inner_(inner) {}
  void SetDeadline(std::optional<Clock::time_point> deadline) { deadline_ = deadline; }

  std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) override;
  std::string CreateTempFile() override { return inner_.CreateTempFile(); }
  void DeleteTempFile(const std::string& path) override { inner_.DeleteTempFile(path); }

 private:
  Files& inner_;
  std::optional<Clock::time_point> deadline_;
};

// Writes over a buffer twice the size of the processor's last-level cache, so that the next
// read of a file comes from memory (the page cache) and not from the processor's caches.
void EvictProcessorCaches();

// Drops the file's pages from the page cache (fsync, then posix_fadvise with
// POSIX_FADV_DONTNEED), so that the next read comes from the disk; returns the bytes of the
// file still in the page cache afterwards, as mincore reports them.
std::int64_t DropFromPageCache(const std::filesystem::path& path);

// Runs `prepare` and then `work` in a child process, and returns the highest resident memory
// (bytes) of the child while `work` ran; nullopt when that could not be measured.
std::optional<std::int64_t> PeakMemoryOf(const std::function<void()>& prepare,
                                         const std::function<void()>& work);

}  // namespace tomo::bench

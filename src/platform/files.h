// Read-only access to the database files, and the program's own temporary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tomo {

// What tells a file as it is now from the same file changed since, or from another file at
// the same path: its length, its last-write and change times, and where it lies on its
// volume. A platform fills what it has and leaves the rest 0.
struct FileStamp {
  std::int64_t length = 0;
  std::int64_t lastWrite = 0;  // in the platform's own units
  // Set by the system at every write or change of times, and never set back by a tool: a
  // file rewritten with its length and last-write time restored still differs here.
  std::int64_t change = 0;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileStamp&) const = default;
};

// Why a file reads as it does: opened, not there at all, or there but not a regular file
// that can be read (a folder, a device, a named pipe, a link loop, no permission). The viewer
// reads the last two alike, as empty; tomodb tells the user which.
enum class Opening { kOpened, kMissing, kUnreadable };

// An open file, read only. Another process may still read, write or delete it.
class ReadOnlyFile {
 public:
  virtual ~ReadOnlyFile() = default;
  virtual Opening HowOpened() { return Opening::kOpened; }
  virtual std::int64_t Length() = 0;
  // The file as it is now, from the open handle; all 0 for a file that could not be opened.
  virtual FileStamp Stamp() = 0;
  // Reads up to size bytes at offset; returns the bytes read (0 at the end or on error).
  virtual std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // Opens an existing file for reading, sharing read, write and delete. Never creates a
  // file, and opens nothing but regular files (never a named pipe or a device, which could
  // block): a missing, locked or unreadable file gives a file of length 0.
  virtual std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) = 0;
  // Creates a fresh, uniquely named empty file in the user's temporary folder and returns
  // its path; empty text when none can be made.
  virtual std::string CreateTempFile() = 0;
  // Deletes a file that CreateTempFile made; errors are ignored.
  virtual void DeleteTempFile(const std::string& path) = 0;
};

}  // namespace tomo

// Read-only access to the database files, and the program's own temporary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tomo {

// An open file, read only. Another process may still read, write or delete it.
class ReadOnlyFile {
 public:
  virtual ~ReadOnlyFile() = default;
  virtual std::int64_t Length() = 0;
  // Reads up to size bytes at offset; returns the bytes read (0 at the end or on error).
  virtual std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t size) = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // Opens an existing file for reading, sharing read, write and delete. Never creates a
  // file: a missing, locked or unreadable file gives a file of length 0.
  virtual std::unique_ptr<ReadOnlyFile> OpenForReading(const std::string& path) = 0;
  // Creates a fresh, uniquely named empty file in the user's temporary folder and returns
  // its path; empty text when none can be made.
  virtual std::string CreateTempFile() = 0;
  // Deletes a file that CreateTempFile made; errors are ignored.
  virtual void DeleteTempFile(const std::string& path) = 0;
};

}  // namespace tomo

// Where an export goes: standard output, or a temporary file beside the target that is
// renamed into place only once complete, so that an export that fails or is interrupted
// leaves no file behind.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "export/paths.h"

namespace tomo {

class OutputFile {
 public:
  // Writes to standard output.
  explicit OutputFile(std::FILE* out);
  // Makes an empty temporary file beside `target`, opened for writing unless `closed` (for
  // a writer that opens it itself). Throws Failure when it cannot be made.
  OutputFile(const fs::path& target, bool closed);
  // Removes the temporary file unless committed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool ToStandardOutput() const { return target_.empty(); }
  const fs::path& TemporaryPath() const { return temporary_; }
  // Buffered writing; throws Failure on a write error (a full disk).
  void Write(std::string_view bytes);
  // Empties the temporary file, to start over (standard output cannot).
  void Restart();
  // Writes what is buffered and puts the file in place of the target.
  void Commit();

 private:
  void Flush();
  void WriteOut(std::string_view bytes);
  // When the file is to replace another, has the system start writing out to the disk what
  // was written so far, without waiting for it.
  void StartWritingOut();
  void Open(const char* mode);
  [[noreturn]] void WriteFailed();

  std::FILE* file_ = nullptr;
  bool owned_ = false;
  bool closed_ = false;  // kept closed between writes by another writer
  fs::path target_;
  fs::path temporary_;
  std::string buffer_;
  bool replacing_ = false;  // a file stands at the target
  bool committed_ = false;
};

}  // namespace tomo

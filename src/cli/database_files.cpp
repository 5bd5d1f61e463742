#include "cli/database_files.h"

#include <chrono>
#include <cstdio>

#include "cli/failure.h"
#include "storage/field_table.h"
#include "storage/file_names.h"

namespace tomo::cli {

namespace {

fs::path WithoutTrailingSeparators(fs::path path) {
  while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
  return path;
}

// The folder's own name, also for "." and "..".
fs::path FolderName(const fs::path& folder) {
  std::error_code error;
  return WithoutTrailingSeparators(fs::absolute(folder, error).lexically_normal()).filename();
}

}  // namespace

void ConsolePump::PumpMessages() {
  StopWhenInterrupted();
}

std::int64_t ConsolePump::NowMicroseconds() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

DatabaseFiles::DatabaseFiles(Host& host, const std::string& folder) : host_(host) {
  // Blocks of about 4 MiB rather than the viewer's 1 MiB: tomodb reads whole files. The
  // reading of shown records reads them ahead on a thread of its own, and every block handed
  // over wakes a thread (a quarter as many hand-overs made it about a fifth faster); the
  // stream, which reads its own blocks, measured alike with 512 KiB, 1 MiB and 4 MiB.
  state_.ScanBlockEntries *= 4;
  // The folder as given, without trailing separators: its last part names the files.
  folder_ = WithoutTrailingSeparators(PathOf(folder));
  std::error_code error;
  if (!fs::is_directory(folder_, error)) {
    const bool missing = fs::status(folder_, error).type() == fs::file_type::not_found;
    throw Failure("no database folder " + Utf8Of(folder_) + " (" +
                  (missing ? "no such folder" : WhatStandsAt(folder_)) + ")");
  }
  const std::string name = Utf8Of(FolderName(folder_));
  fieldFile_ = folder_ / PathOf(DatabaseFileName(name, kFieldFileExtension));
  recordFile_ = folder_ / PathOf(DatabaseFileName(name, kRecordFileExtension));
  if (OpenedAs(fieldFile_) == Opening::kMissing) {
    throw Failure("not a database: " + Utf8Of(fieldFile_) + " is missing");
  }
  // The viewer's own test of a database folder, so that tomodb reads what the viewer opens.
  const std::int64_t bytes = FieldFileBytes();
  if (!IsFieldFileLength(bytes)) {
    throw Failure("not a database: " + Utf8Of(fieldFile_) +
                  (bytes == 0 ? " has no field definitions (0 bytes)"
                              : " is " + std::to_string(bytes) + " bytes, not a whole number of " +
                                    std::to_string(kFieldRecordSize) + "-byte field records"));
  }
  fields_ = ReadFieldTable(Reading());
  if (fields_.empty()) throw Failure("cannot read " + Utf8Of(fieldFile_));
  // The viewer shows a folder without a record file as a database without records.
  if (OpenedAs(recordFile_) == Opening::kMissing) {
    std::fprintf(host_.err, "tomodb: warning: %s is missing: a database without records\n",
                 Utf8Of(recordFile_).c_str());
  }
}

Opening DatabaseFiles::OpenedAs(const fs::path& file) const {
  const Opening opening = host_.files.OpenForReading(Utf8Of(file))->HowOpened();
  if (opening == Opening::kUnreadable) {
    std::error_code error;
    throw Failure(
        "cannot read " + Utf8Of(file) + " (" +
        (fs::is_regular_file(file, error) ? "no permission to read it" : WhatStandsAt(file)) + ")");
  }
  return opening;
}

std::int64_t DatabaseFiles::FieldFileBytes() const {
  return host_.files.OpenForReading(Utf8Of(fieldFile_))->Length();
}

std::int64_t DatabaseFiles::RecordFileBytes() const {
  return host_.files.OpenForReading(Utf8Of(recordFile_))->Length();
}

}  // namespace tomo::cli

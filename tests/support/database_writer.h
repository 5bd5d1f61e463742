// Database files for tests: written from a short description into a fresh temporary
// folder, whole or broken in chosen ways.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "database_format.h"

namespace tomo::testing {

using format::DatabaseSpec;
using format::Entry;
using format::FieldSpec;
using format::RecordSpec;

// A fresh, empty folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The folder's path as the program holds it: separated by backslashes.
std::string BackslashPath(const std::filesystem::path& folder);

// Records 1, 2, ... with the values given per field (std::nullopt for an absent value).
std::vector<RecordSpec> Records(
    std::initializer_list<std::vector<std::optional<std::string>>> values);

// Ways to break a record file.
struct Breakage {
  bool shuffleRecords = false;  // the records' values in a random order
  bool interruptRuns = false;   // an entry of another field inside every value of 2+ characters
  std::optional<std::int32_t> lastMark;  // the mark of every value's last character
  bool unterminatedNames = false;        // names fill all 35 bytes, with no zero byte
  std::size_t trailingBytes = 0;         // a partial entry at the end
  std::uint32_t seed = 1;
};

// The record file's entries for the description, broken as asked.
std::vector<Entry> BrokenEntries(const DatabaseSpec& database, const Breakage& breakage);

// Writes `name`.z04 and `name`.zbd into the folder `name` inside `parent` and returns that
// folder's backslash path. Without a record file entry list, the description's records are
// written; `recordFile` replaces the .zbd bytes when given.
std::string WriteDatabase(const std::filesystem::path& parent, const std::string& name,
                          const DatabaseSpec& database, const Breakage& breakage = {});
std::string WriteDatabaseFiles(const std::filesystem::path& parent, const std::string& name,
                               const std::optional<std::string>& fieldFile,
                               const std::optional<std::string>& recordFile);

// Every file below the folder with its bytes, to see that nothing was created or changed.
std::vector<std::pair<std::string, std::string>> FolderSnapshot(
    const std::filesystem::path& folder);

}  // namespace tomo::testing

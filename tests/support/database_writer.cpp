#include "support/database_writer.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace tomo::testing {

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tomo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string BackslashPath(const std::filesystem::path& folder) {
  std::string path = folder.string();
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::vector<RecordSpec> Records(
    std::initializer_list<std::vector<std::optional<std::string>>> values) {
  std::vector<RecordSpec> records;
  for (const auto& record : values) {
    records.push_back(RecordSpec{static_cast<std::int64_t>(records.size()) + 1, record});
  }
  return records;
}

std::vector<Entry> BrokenEntries(const DatabaseSpec& database, const Breakage& breakage) {
  std::mt19937 random(breakage.seed);
  DatabaseSpec ordered = database;
  if (breakage.shuffleRecords) std::shuffle(ordered.records.begin(), ordered.records.end(), random);
  std::vector<Entry> entries;
  for (const RecordSpec& record : ordered.records) {
    for (std::size_t f = 0; f < record.values.size() && f < database.fields.size(); ++f) {
      if (!record.values[f]) continue;
      auto value = format::ValueEntries(database.fields[f].name, record.number, *record.values[f]);
      if (breakage.lastMark) value.back().mark = *breakage.lastMark;
      if (breakage.interruptRuns && value.size() >= 2) {
        const std::string other = database.fields[(f + 1) % database.fields.size()].name + "~";
        value.insert(value.begin() + 1, Entry{'#', other, record.number, 1});
      }
      entries.insert(entries.end(), value.begin(), value.end());
    }
  }
  if (breakage.unterminatedNames) {
    for (Entry& entry : entries) entry.name.resize(35, '_');
  }
  return entries;
}

std::string WriteDatabaseFiles(const std::filesystem::path& parent, const std::string& name,
                               const std::optional<std::string>& fieldFile,
                               const std::optional<std::string>& recordFile) {
  const std::filesystem::path folder = parent / name;
  std::filesystem::create_directories(folder);
  if (fieldFile) WriteFile(folder / (name + ".z04"), *fieldFile);
  if (recordFile) WriteFile(folder / (name + ".zbd"), *recordFile);
  return BackslashPath(folder);
}

std::string WriteDatabase(const std::filesystem::path& parent, const std::string& name,
                          const DatabaseSpec& database, const Breakage& breakage) {
  std::string records = format::RecordFileBytes(BrokenEntries(database, breakage));
  records.append(breakage.trailingBytes, '\x01');
  return WriteDatabaseFiles(parent, name, format::FieldFileBytes(database.fields), records);
}

std::vector<std::pair<std::string, std::string>> FolderSnapshot(
    const std::filesystem::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    files.emplace_back(item.path().string(), item.is_regular_file() ? ReadFile(item.path()) : "");
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace tomo::testing

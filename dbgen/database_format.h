// Writing the two database files from a description, for the sample generator and the
// tests. The program itself never writes a database file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tomo::format {

struct FieldSpec {
  FieldSpec() = default;
  FieldSpec(std::string name_, std::int16_t type_ = 3, std::string options_ = {},
            std::int32_t searchFlag_ = 1)
      : name(std::move(name_)),
        type(type_),
        options(std::move(options_)),
        searchFlag(searchFlag_) {}
  std::string name;
  std::int16_t type = 3;  // STRING
  std::string options;
  std::int32_t searchFlag = 1;
};

struct RecordSpec {
  std::int64_t number = 0;
  std::vector<std::optional<std::string>> values;  // by field, in field order; none = absent
};

struct DatabaseSpec {
  std::vector<FieldSpec> fields;
  std::vector<RecordSpec> records;  // written in this order
};

// One character entry. The name fills the 35-byte name field, followed by zero bytes; a name
// of 35 bytes or more leaves no zero byte.
struct Entry {
  char character = 0;
  std::string name;
  std::int64_t record = 0;
  std::int32_t mark = 0;
};

// The field definition file: one 12042-byte record per field.
std::string FieldFileBytes(const std::vector<FieldSpec>& fields);
// The entries of a value, one per character, the last one marked 1.
std::vector<Entry> ValueEntries(const std::string& field, std::int64_t record,
                                const std::string& text);
// The entries of every present value, record by record and field by field.
std::vector<Entry> RecordEntries(const DatabaseSpec& database);
// The record file: 54 bytes per entry.
std::string RecordFileBytes(const std::vector<Entry>& entries);

inline constexpr std::size_t kEntryBytes = 54;
// Writes the 54 bytes of one entry to `bytes`.
void EncodeEntry(const Entry& entry, char* bytes);

// Writes a record file entry by entry in large chunks, so that files of any size can be made
// without holding them in memory. Throws std::runtime_error when the file cannot be written.
class RecordFileWriter {
 public:
  explicit RecordFileWriter(const std::filesystem::path& path);
  void Add(const Entry& entry);
  // The entries of a value, as ValueEntries gives them.
  void AddValue(const std::string& field, std::int64_t record, const std::string& text);
  // Writes what is left; the writer takes no more entries afterwards.
  void Close();
  std::int64_t Entries() const { return entries_; }

 private:
  void Flush();
  std::ofstream out_;
  std::string chunk_;
  std::int64_t entries_ = 0;
};

}  // namespace tomo::format

#include "database_format.h"

#include <algorithm>

namespace tomo::format {

namespace {

constexpr std::size_t kFieldRecordSize = 12042;
constexpr std::size_t kEntrySize = 54;

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint64_t value, int size) {
  for (int k = 0; k < size; ++k) {
    bytes[offset + static_cast<std::size_t>(k)] = static_cast<char>((value >> (8 * k)) & 0xFF);
  }
}

void PutText(std::string& bytes, std::size_t offset, const std::string& text, std::size_t size) {
  std::copy_n(text.begin(), std::min(text.size(), size),
              bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

std::string FieldFileBytes(const std::vector<FieldSpec>& fields) {
  std::string bytes;
  for (const FieldSpec& field : fields) {
    std::string record(kFieldRecordSize, '\0');
    PutLittleEndian(record, 0, static_cast<std::uint32_t>(field.searchFlag), 4);
    PutText(record, 4, field.name, 31);
    PutLittleEndian(record, 35, static_cast<std::uint16_t>(field.type), 2);
    PutText(record, 41, field.options, 12001);
    bytes += record;
  }
  return bytes;
}

std::vector<Entry> ValueEntries(const std::string& field, std::int64_t record,
                                const std::string& text) {
  std::vector<Entry> entries;
  for (std::size_t k = 0; k < text.size(); ++k) {
    entries.push_back(Entry{text[k], field, record, k + 1 == text.size() ? 1 : 0});
  }
  return entries;
}

std::vector<Entry> RecordEntries(const DatabaseSpec& database) {
  std::vector<Entry> entries;
  for (const RecordSpec& record : database.records) {
    for (std::size_t f = 0; f < record.values.size() && f < database.fields.size(); ++f) {
      if (!record.values[f]) continue;
      const auto value = ValueEntries(database.fields[f].name, record.number, *record.values[f]);
      entries.insert(entries.end(), value.begin(), value.end());
    }
  }
  return entries;
}

std::string RecordFileBytes(const std::vector<Entry>& entries) {
  std::string bytes;
  bytes.reserve(entries.size() * kEntrySize);
  for (const Entry& entry : entries) {
    std::string encoded(kEntrySize, '\0');
    encoded[4] = entry.character;
    PutText(encoded, 5, entry.name, 35);
    PutLittleEndian(encoded, 40, static_cast<std::uint64_t>(entry.record), 8);
    PutLittleEndian(encoded, 50, static_cast<std::uint32_t>(entry.mark), 4);
    bytes += encoded;
  }
  return bytes;
}

}  // namespace tomo::format

#include "database_format.h"

#include <algorithm>
#include <stdexcept>

namespace tomo::format {

namespace {

constexpr std::size_t kFieldRecordSize = 12042;
constexpr std::size_t kChunkBytes = std::size_t{4} << 20;

void PutLittleEndian(char* bytes, std::uint64_t value, int size) {
  for (int k = 0; k < size; ++k) bytes[k] = static_cast<char>((value >> (8 * k)) & 0xFF);
}

// The text in a field of `size` bytes that the caller has zeroed.
void PutText(char* bytes, const std::string& text, std::size_t size) {
  std::copy_n(text.begin(), std::min(text.size(), size), bytes);
}

}  // namespace

std::string FieldFileBytes(const std::vector<FieldSpec>& fields) {
  std::string bytes;
  for (const FieldSpec& field : fields) {
    std::string record(kFieldRecordSize, '\0');
    PutLittleEndian(record.data(), static_cast<std::uint32_t>(field.searchFlag), 4);
    PutText(record.data() + 4, field.name, 31);
    PutLittleEndian(record.data() + 35, static_cast<std::uint16_t>(field.type), 2);
    PutText(record.data() + 41, field.options, 12001);
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

void EncodeEntry(const Entry& entry, char* bytes) {
  std::fill_n(bytes, kEntryBytes, '\0');
  bytes[4] = entry.character;
  PutText(bytes + 5, entry.name, 35);
  PutLittleEndian(bytes + 40, static_cast<std::uint64_t>(entry.record), 8);
  PutLittleEndian(bytes + 50, static_cast<std::uint32_t>(entry.mark), 4);
}

std::string RecordFileBytes(const std::vector<Entry>& entries) {
  std::string bytes(entries.size() * kEntryBytes, '\0');
  for (std::size_t k = 0; k < entries.size(); ++k) EncodeEntry(entries[k], &bytes[k * kEntryBytes]);
  return bytes;
}

RecordFileWriter::RecordFileWriter(const std::filesystem::path& path)
    : out_(path, std::ios::binary | std::ios::trunc) {
  if (!out_) throw std::runtime_error("cannot write " + path.string());
  chunk_.reserve(kChunkBytes);
}

void RecordFileWriter::Add(const Entry& entry) {
  const std::size_t at = chunk_.size();
  chunk_.resize(at + kEntryBytes);
  EncodeEntry(entry, &chunk_[at]);
  ++entries_;
  if (chunk_.size() + kEntryBytes > kChunkBytes) Flush();
}

void RecordFileWriter::AddValue(const std::string& field, std::int64_t record,
                                const std::string& text) {
  for (const Entry& entry : ValueEntries(field, record, text)) Add(entry);
}

void RecordFileWriter::Close() {
  Flush();
  out_.close();
  if (!out_) throw std::runtime_error("cannot finish the record file");
}

void RecordFileWriter::Flush() {
  out_.write(chunk_.data(), static_cast<std::streamsize>(chunk_.size()));
  if (!out_) throw std::runtime_error("cannot write the record file");
  chunk_.clear();
}

}  // namespace tomo::format

#include "storage/field_table.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "storage/char_entry.h"

namespace tomo {

namespace {

constexpr std::int64_t kRecordsPerBlock = 87;  // about 1 MiB per read

// Text up to the first zero byte of a field of `size` bytes, at most `limit` characters.
std::string TextField(const unsigned char* bytes, std::size_t size, std::size_t limit) {
  const auto* text = reinterpret_cast<const char*>(bytes);
  const void* zero = std::memchr(text, 0, size);
  const std::size_t length = zero ? static_cast<const char*>(zero) - text : size;
  return std::string(text, std::min(length, limit));
}

FieldDef DecodeField(const unsigned char* bytes) {
  FieldDef field;
  field.SearchFlag =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLittleEndian(bytes, 4)));
  field.Name = TextField(bytes + 4, 31, 30);
  field.Type =
      static_cast<std::int16_t>(static_cast<std::uint16_t>(ReadLittleEndian(bytes + 35, 2)));
  field.Options = TextField(bytes + 41, 12001, 12000);
  return field;
}

}  // namespace

std::vector<FieldDef> ReadFieldTable(const Database& database) {
  auto file = database.files.OpenForReading(database.fieldFilePath);
  const std::int64_t count = std::max<std::int64_t>(file->Length(), 0) / kFieldRecordSize;
  std::vector<FieldDef> fields;
  // Left uninitialised: every block is read over it.
  const auto block = std::make_unique_for_overwrite<unsigned char[]>(
      static_cast<std::size_t>(std::min(kRecordsPerBlock, count) * kFieldRecordSize));
  for (std::int64_t next = 0; next < count;) {
    const std::int64_t wanted = std::min(kRecordsPerBlock, count - next);
    const std::size_t got = file->ReadAt(next * kFieldRecordSize, block.get(),
                                         static_cast<std::size_t>(wanted * kFieldRecordSize));
    const std::int64_t whole = static_cast<std::int64_t>(got) / kFieldRecordSize;
    for (std::int64_t k = 0; k < whole; ++k) {
      fields.push_back(DecodeField(block.get() + k * kFieldRecordSize));
    }
    // A file cut short meanwhile by another program ends at its last whole record.
    if (whole < wanted) break;
    next += whole;
  }
  return fields;
}

bool IsDatabase(const Database& database) {
  return IsFieldFileLength(database.files.OpenForReading(database.fieldFilePath)->Length());
}

}  // namespace tomo

#include "support/reference_files.h"

#include <algorithm>

namespace tomo::testing::reference {

namespace {

constexpr std::int64_t kFieldRecordBytes = 12042;
constexpr std::int64_t kEntryBytes = 54;

// The file of the database folder with the extension: folder\name.ext, the name being the
// folder's last part. No file at all while no folder has been chosen.
std::unique_ptr<ReadOnlyFile> OpenDatabaseFile(App& app, std::string_view extension) {
  const std::string& folder = app.DatabaseFolder;
  if (folder.empty()) return app.platform.files.OpenForReading({});
  const std::size_t slash = folder.rfind('\\');
  const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
  return app.platform.files.OpenForReading(folder + "\\" + name + std::string(extension));
}

std::int64_t WholeRecords(ReadOnlyFile& file, std::int64_t recordBytes) {
  return std::max<std::int64_t>(file.Length(), 0) / recordBytes;
}

// An integer of `size` bytes, the least significant first.
std::uint64_t LittleEndian(const unsigned char* bytes, int size) {
  std::uint64_t value = 0;
  for (int k = 0; k < size; ++k) value |= std::uint64_t{bytes[k]} << (8 * k);
  return value;
}

// The text of a field of `size` bytes up to its first zero byte; none when it has none.
std::optional<std::string> ZeroEndedText(const unsigned char* bytes, std::size_t size) {
  const unsigned char* zero = std::find(bytes, bytes + size, 0);
  if (zero == bytes + size) return std::nullopt;
  return std::string(bytes, zero);
}

// A text field of the field definitions: up to its first zero byte, at most `limit`
// characters of it.
std::string LimitedText(const unsigned char* bytes, std::size_t size, std::size_t limit) {
  const std::string text(bytes, std::find(bytes, bytes + size, 0));
  return text.substr(0, limit);
}

}  // namespace

std::vector<FieldDef> LoadFields(App& app) {
  const auto file = OpenDatabaseFile(app, ".z04");
  const std::int64_t count = WholeRecords(*file, kFieldRecordBytes);
  std::vector<FieldDef> fields;
  std::vector<unsigned char> bytes(kFieldRecordBytes);
  for (std::int64_t i = 0; i < count; ++i) {
    if (file->ReadAt(i * kFieldRecordBytes, bytes.data(), bytes.size()) != bytes.size()) break;
    FieldDef& field = fields.emplace_back();
    field.SearchFlag =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(&bytes[0], 4)));
    field.Name = LimitedText(&bytes[4], 31, 30);
    field.Type = static_cast<std::int16_t>(static_cast<std::uint16_t>(LittleEndian(&bytes[35], 2)));
    field.Options = LimitedText(&bytes[41], 12001, 12000);
  }
  return fields;
}

RecordFile::RecordFile(App& app)
    : file_(OpenDatabaseFile(app, ".zbd")), entries_(WholeRecords(*file_, kEntryBytes)) {}

Entry RecordFile::Read(std::int64_t i) {
  unsigned char bytes[kEntryBytes];
  if (file_->ReadAt((i - 1) * kEntryBytes, bytes, sizeof bytes) != sizeof bytes) return {};
  Entry entry;
  entry.character = static_cast<char>(bytes[4]);
  entry.name = ZeroEndedText(bytes + 5, 35);
  entry.record = static_cast<std::int64_t>(LittleEndian(bytes + 40, 8));
  entry.mark = static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(bytes + 50, 4)));
  return entry;
}

}  // namespace tomo::testing::reference

// One 54-byte character entry of the record file, decoded.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tomo {

inline constexpr std::int64_t kEntrySize = 54;
inline constexpr std::size_t kEntryNameOffset = 5;
inline constexpr std::size_t kEntryNameSize = 35;

struct CharEntry {
  char character = 0;
  std::string_view name;  // up to the first zero byte of the name field
  bool named = false;     // the name field holds a zero byte; without one it matches no field
  std::int64_t record = 0;
  std::int32_t mark = 0;  // exactly 1 on a value's last character

  bool Is(std::string_view field) const { return named && name == field; }
};

// An unsigned integer of `size` bytes (at most 8), least significant byte first. On a
// little-endian machine that is one load, which a scan does for every entry.
inline std::uint64_t ReadLittleEndian(const unsigned char* bytes, int size) {
  std::uint64_t value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, bytes, static_cast<std::size_t>(size));
  } else {
    for (int k = size - 1; k >= 0; --k) value = (value << 8) | bytes[k];
  }
  return value;
}

// The parts of the entry at `bytes`, read one at a time for scans that need only some.
inline char EntryCharacter(const unsigned char* bytes) {
  return static_cast<char>(bytes[4]);
}
inline std::int64_t EntryRecord(const unsigned char* bytes) {
  return static_cast<std::int64_t>(ReadLittleEndian(bytes + 40, 8));
}
inline std::int32_t EntryMark(const unsigned char* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLittleEndian(bytes + 50, 4)));
}

// Decodes the entry at `bytes`; the name stays a view into those bytes.
inline CharEntry DecodeEntry(const unsigned char* bytes) {
  CharEntry entry;
  entry.character = EntryCharacter(bytes);
  const auto* name = reinterpret_cast<const char*>(bytes + kEntryNameOffset);
  const void* zero = std::memchr(name, 0, kEntryNameSize);
  entry.named = zero != nullptr;
  if (zero) entry.name = std::string_view(name, static_cast<const char*>(zero) - name);
  entry.record = EntryRecord(bytes);
  entry.mark = EntryMark(bytes);
  return entry;
}

}  // namespace tomo

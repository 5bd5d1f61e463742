// Field names compared with entries' name fields a word at a time: every length, the word
// boundaries, bytes after the zero, name fields without a zero byte.
#include "storage/name_key.h"

#include <gtest/gtest.h>

#include <array>

#include "database_format.h"

namespace tomo::testing {
namespace {

using Bytes = std::array<unsigned char, kEntrySize>;

// An entry whose name field holds `name` (zero bytes after it when shorter than 35 bytes),
// with the record number and mark bytes that follow the name field all set.
Bytes EntryNamed(const std::string& name) {
  std::array<char, kEntrySize> encoded{};
  format::EncodeEntry(format::Entry{'x', name, -1, -1}, encoded.data());
  Bytes bytes;
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<unsigned char>(encoded[k]);
  return bytes;
}

TEST(NameKey, MatchesTheSameNameOnlyAtEveryLengthAndWordBoundary) {
  for (std::size_t length = 0; length <= 34; ++length) {
    const std::string name(length, 'n');
    SCOPED_TRACE("length " + std::to_string(length));
    const NameKey key(name);
    EXPECT_TRUE(key.Matches(EntryNamed(name).data()));
    EXPECT_EQ(NameKey::Of(EntryNamed(name).data()), key);
    // One byte more, one byte less, and each byte changed.
    if (length < 34) {
      EXPECT_FALSE(key.Matches(EntryNamed(name + "n").data()));
    }
    if (length > 0) {
      EXPECT_FALSE(key.Matches(EntryNamed(name.substr(1)).data()));
    }
    for (std::size_t k = 0; k < length; ++k) {
      std::string other = name;
      other[k] = 'N';
      EXPECT_FALSE(key.Matches(EntryNamed(other).data())) << k;
    }
  }
}

TEST(NameKey, BytesAfterTheZeroDoNotCount) {
  const NameKey key("Nombre");
  const Bytes junk = EntryNamed(std::string("Nombre\0junk after the zero", 26));
  EXPECT_TRUE(key.Matches(junk.data()));
  EXPECT_EQ(NameKey::Of(junk.data()), key);
  EXPECT_FALSE(NameKey("Nombre\x01junk").Matches(junk.data()));
  EXPECT_TRUE(NameKey("").Matches(EntryNamed(std::string("\0abc", 4)).data()));
}

TEST(NameKey, ANameFieldWithoutZeroHasNoNameAndMatchesNothing) {
  const std::string full(35, 'A');
  const Bytes unterminated = EntryNamed(full);
  EXPECT_FALSE(NameKey::Of(unterminated.data()).has_value());
  EXPECT_FALSE(NameKey(full.substr(0, 34)).Matches(unterminated.data()));
  // A name too long for a name field matches no entry, not even one holding its bytes.
  EXPECT_FALSE(NameKey(full).Matches(unterminated.data()));
  EXPECT_FALSE(NameKey(full + "B").Matches(unterminated.data()));
  // The zero in the field's last byte still ends a name of 34 bytes.
  EXPECT_TRUE(NameKey(full.substr(0, 34)).Matches(EntryNamed(full.substr(0, 34)).data()));
}

}  // namespace
}  // namespace tomo::testing

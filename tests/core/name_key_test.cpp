// Field names compared with entries' name fields a word at a time: every length, the word
// boundaries, bytes after the zero, name fields without a zero byte; and which field an
// entry names.
#include "storage/name_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "database_format.h"
#include "storage/field_names.h"

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

// The names the stream tries first at a run start compare their first two words only; a
// longer name must still be told from another sharing those words.
TEST(FieldNames, AfterNamesEveryEntryAsOfDoes) {
  const std::vector<std::string> names = {
      "Codigo",
      "Observaciones de",  // the first 16 bytes of the next two
      "Observaciones del cliente",
      "Observaciones del proveedor",
      "Nombre",
      std::string(35, 'L'),  // too long for a name field: no entry names it
      "Pais",
      "Codigo postal X",  // 15 bytes and its zero: two words exactly
      "Fecha de alta del socio",
  };
  std::vector<FieldDef> fields;
  for (const std::string& name : names) {
    FieldDef field;
    field.Name = name;
    fields.push_back(field);
  }
  const FieldNames fieldNames(fields);
  std::vector<std::string> entryNames = names;
  entryNames.push_back("Observaciones del client");
  entryNames.push_back("Observaciones del clientes");
  entryNames.push_back(std::string(34, 'L'));
  entryNames.push_back("Otro");
  for (const std::string& entryName : entryNames) {
    const Bytes entry = EntryNamed(entryName);
    const auto at = std::find(names.begin(), names.end(), entryName);
    const std::uint32_t expected = at == names.end() || entryName.size() >= kEntryNameSize
                                       ? FieldNames::kNone
                                       : static_cast<std::uint32_t>(at - names.begin());
    for (std::uint32_t before = 0; before <= names.size(); ++before) {
      const std::uint32_t b = before == names.size() ? FieldNames::kNone : before;
      SCOPED_TRACE(entryName + " after " + std::to_string(static_cast<int>(b)));
      EXPECT_EQ(fieldNames.After(entry.data(), b), expected);
      EXPECT_EQ(fieldNames.Of(entry.data(), b), expected);
    }
  }
}

}  // namespace
}  // namespace tomo::testing

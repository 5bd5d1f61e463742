// The field table's names as entries hold them, for passes that tell which field an entry
// belongs to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "storage/field_def.h"
#include "storage/name_key.h"

namespace tomo {

// The field table's distinct names, numbered in field order: fields of the same name read
// the same values. Where every name is distinct, a name's number is its field's.
class FieldNames {
 public:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  explicit FieldNames(const std::vector<FieldDef>& fields);
  std::size_t Count() const { return keys_.size(); }
  std::uint32_t OfField(std::size_t field) const { return ofField_[field]; }
  const NameKey& Key(std::uint32_t name) const { return keys_[name]; }
  // The name in two words, which a loop over many entries keeps in registers; none for a
  // name that does not fit in them.
  const std::optional<NameKey::Prefix<2>>& Short(std::uint32_t name) const { return short_[name]; }
  // The name of the entry; kNone when it names no field. Entries mostly keep the name of the
  // entry before (`before`) or take one of the next two fields' or field 1's, tried first.
  std::uint32_t Of(const unsigned char* entry, std::uint32_t before) const;
  // The same for an entry that starts a run in the well-formed order after a run of name
  // `before` (kNone at a record's first run), tried first with the next few names in order:
  // a record mostly goes on with the next field, or leaves out one or two.
  std::uint32_t After(const unsigned char* entry, std::uint32_t before) const {
    const std::uint32_t first = before == kNone ? 0 : before + 1;
    const std::size_t last = std::min<std::size_t>(std::size_t{first} + kTriedAfter, Count());
    for (std::uint32_t name = first; name < last; ++name) {
      if (leading_[name].Matches(entry) && (short_[name] || keys_[name].Matches(entry)))
        return name;
    }
    return Of(entry, before);
  }

 private:
  static constexpr std::size_t kTriedAfter = 4;
  std::vector<NameKey> keys_;
  std::vector<std::optional<NameKey::Prefix<2>>> short_;
  std::vector<NameKey::Prefix<2>> leading_;
  std::vector<std::uint32_t> ofField_;
  std::map<std::string, std::uint32_t, std::less<>> byName_;
};

}  // namespace tomo

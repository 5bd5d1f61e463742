#include "storage/field_names.h"

#include "storage/char_entry.h"

namespace tomo {

FieldNames::FieldNames(const std::vector<FieldDef>& fields) {
  for (const FieldDef& field : fields) {
    const auto [at, added] = byName_.emplace(field.Name, static_cast<std::uint32_t>(keys_.size()));
    if (added) {
      keys_.emplace_back(field.Name);
      short_.push_back(keys_.back().Within<2>());
      leading_.push_back(keys_.back().Leading<2>());
    }
    ofField_.push_back(at->second);
  }
}

std::uint32_t FieldNames::Of(const unsigned char* entry, std::uint32_t before) const {
  const auto names = [&](std::uint32_t name) {
    if (name >= keys_.size()) return false;
    return short_[name] ? short_[name]->Matches(entry) : keys_[name].Matches(entry);
  };
  // A record without a value of the next field goes on with the one after it.
  if (before != kNone) {
    if (names(before)) return before;
    if (names(before + 1)) return before + 1;
    if (names(before + 2)) return before + 2;
  }
  if (names(0)) return 0;
  const CharEntry decoded = DecodeEntry(entry);
  if (!decoded.named) return kNone;
  const auto found = byName_.find(decoded.name);
  return found == byName_.end() ? kNone : found->second;
}

}  // namespace tomo

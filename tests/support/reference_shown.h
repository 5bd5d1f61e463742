// Every record as the reference shows it when the user goes to it with field 1 at the top:
// the records and values the export writes, by definition.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/app.h"

namespace tomo::testing {

using RecordTable = std::vector<std::vector<std::optional<std::string>>>;

struct Shown {
  std::vector<std::int64_t> records;
  RecordTable values;  // by record, then field; none for an absent value
  bool operator==(const Shown&) const = default;
};

// Records 1..RecordCount and those above it that have entries, or only the records that
// have entries when those without would be far too many; each one's values read from
// FindValueStart of field 1 in it, as stored.
Shown ReferenceShown(App& app);

}  // namespace tomo::testing

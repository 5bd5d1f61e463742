// The one pass over the record file behind ReadShownRecords (shown_records.h): every value a
// ReadValue could return (an entry marked 1, its character and those of its name and record
// before it, back to the last entry of another name), and where each record's value of
// field 1 starts. Choosing among them is left to the caller.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"
#include "storage/found_values.h"
#include "storage/name_key.h"
#include "storage/well_formed.h"

namespace tomo {

// The field table's distinct names, numbered in field order: fields of the same name read
// the same values.
class FieldNames {
 public:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};

  explicit FieldNames(const std::vector<FieldDef>& fields);
  std::size_t Count() const { return keys_.size(); }
  std::uint32_t OfField(std::size_t field) const { return ofField_[field]; }
  const NameKey& Key(std::uint32_t name) const { return keys_[name]; }
  // The name of the entry; kNone when it names no field. Entries mostly keep the name of the
  // entry before (`before`) or take one of the next two fields' or field 1's, tried first.
  std::uint32_t Of(const unsigned char* entry, std::uint32_t before) const;

 private:
  std::vector<NameKey> keys_;
  std::vector<std::uint32_t> ofField_;
  std::map<std::string, std::uint32_t, std::less<>> byName_;
};

struct RecordStart {
  std::int64_t record = 0;
  std::int64_t start = 0;  // its first entry of field 1's name; 0 for none
};

struct ShownValues {
  // Only the first value of a record within a stretch of entries of one name is kept: a scan
  // that reaches a later one stops at the first.
  FoundValues values;
  std::vector<RecordStart> records;  // every record number that has an entry, ascending
  std::int64_t lastRecord = 0;       // of the last entry read
  bool cutShort = false;
};

ShownValues FindShownValues(const Database& database, const FieldNames& names,
                            const ReadProgress& progress);

}  // namespace tomo

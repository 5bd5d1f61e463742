// The field definition file: 12042-byte records read into the field table.
#pragma once

#include <cstdint>
#include <vector>

#include "storage/database.h"
#include "storage/field_def.h"

namespace tomo {

inline constexpr std::int64_t kFieldRecordSize = 12042;

// The database test: a field definition file of whole field records, at least one.
constexpr bool IsFieldFileLength(std::int64_t bytes) {
  return bytes > 0 && bytes % kFieldRecordSize == 0;
}

// The field definitions of the database's field definition file, in field order.
std::vector<FieldDef> ReadFieldTable(const Database& database);
// True when the field definition file's length is a positive multiple of kFieldRecordSize.
bool IsDatabase(const Database& database);

}  // namespace tomo
